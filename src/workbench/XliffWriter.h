// XLIFF 1.2, the exchange format of the CAT tools: one trans-unit per key
// (id and resname the key), its source, and a target whose state says whether
// it is new, translated or to be reviewed.
#pragma once

#include "workbench/Exchange.h"

#include <string>
#include <vector>

// An XLIFF 1.2 document in UTF-8 with LF line breaks. A phrase holding a
// character that XML cannot carry (a control character other than the tab)
// is written without it, in a unit marked translate="no" that is never
// brought back.
std::string WriteXliff(const TExchangeHeader& header, const std::vector<TExchangeUnit>& units);

// A language tag as XML wants it: the code of a known language, else the
// name as a private tag ("x-klingon"); "und" for none.
std::string LanguageTag(std::string_view name);
