// Where the help, licence, change log and update page are: the help file in the
// interface language, and the maker's update page for this version.
#pragma once

#include <string>

// Help files ship beside the executable as "Wordlark_<tag>" + this extension:
// compiled help on Windows, web pages elsewhere.
#ifdef _WIN32
inline constexpr const char* HelpFileExtension = ".chm";
#else
inline constexpr const char* HelpFileExtension = ".html";
#endif

// The language tag of an interface-language file: in its file name, the text
// behind the last "_" that comes before the first "."; empty when the name has
// no "_" before a "." ("Lang_De_Neu.ini" gives "Neu", "German.ini" gives "").
std::string HelpLanguageTag(const std::string& languageFilePath);

// The help file for the interface language loaded from `languageFilePath`
// (empty when none is loaded): programFolder + "Wordlark_" + tag + extension
// when that file exists, otherwise the English one, whether or not it exists.
std::string HelpFilePath(const std::string& programFolder, const std::string& languageFilePath);

// The maker's update page, told this program's version; the query always asks
// for English.
std::string UpdateAddress();
