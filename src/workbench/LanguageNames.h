// Names of translations as catalogues give them ("Deutsch", "Français",
// "Francais", "English (UK)"), compared the way a person reads them, and the
// spelling dictionary each stands for.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The name as UTF-8 text: kept when it is valid UTF-8, else read as
// Windows-1252 (catalogues written by older tools).
std::string LanguageNameText(std::string_view bytes);

// The name folded for comparing: letters in lower case, the accents of Latin
// letters dropped ("Français" and "FRANCAIS" both give "francais"), blanks at
// either end removed and inner runs of blanks made one.
std::string FoldedLanguageName(std::string_view name);

// The dictionary tag (as Enchant names dictionaries: "de_DE", "fr", "pl_PL")
// for a translation's name, in the language's own name or in English; none
// for a name the table does not know. "Deutsch (Schweiz)" finds de_CH when the
// table names that variant, else the tag of "Deutsch".
std::optional<std::string> DictionaryForLanguage(std::string_view name);
