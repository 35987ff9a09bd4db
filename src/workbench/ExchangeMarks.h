// The translator's marks of phrases on their way to the translators' other
// tools and back: a phrase marked as to be checked travels flagged ("fuzzy"),
// one marked as translated with its phrase as the translation although it is
// the reference's; and the flags of what comes back set the marks again.
#pragma once

#include "initfile/PhraseMark.h"
#include "workbench/Exchange.h"
#include "workbench/TranslationChecker.h"

#include <string>
#include <utility>
#include <vector>

// The keys to export as to be checked and as marked translated: those whose
// mark holds today (a translated mark made against a reference phrase that
// has changed since does not).
TExportChoices ExportChoicesOf(const TTranslationChecker& checker);

// The marks to set after an exchange file's phrases came back (`translated`
// and `toBeChecked` as the import found them; `checker` already checks the
// text with them): a phrase flagged in the file is marked as to be checked
// (unless its key is one the reference lacks, which travels flagged anyway);
// one that came back unflagged loses its mark "to be checked", and is marked
// as translated where it reads as the reference's (or the master's) phrase.
// Only marks that change are returned, in the order of `translated`.
std::vector<std::pair<std::string, TPhraseStatus>>
MarksAfterImport(const TTranslationChecker& checker, const std::vector<std::string>& translated,
                 const std::vector<std::string>& toBeChecked);
