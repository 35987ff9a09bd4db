// Reading and writing language catalogues: the LanguageName/LanguageFile pairs
// of a program's Languages.ini and its default language.
#pragma once

#include <string>
#include <vector>

struct TCatalogueEntry {
    std::string Name; // display name, e.g. Deutsch
    std::string Path; // full path of the translation file
    bool operator==(const TCatalogueEntry&) const = default;
};

// What the main window keeps of a loaded catalogue.
struct TCatalogueContents {
    bool FileFound = false;
    std::vector<TCatalogueEntry> Entries;
    // The items of the default-language box, in order, and the one selected.
    std::vector<std::string> DefaultChoices;
    int SelectedChoice = -1;
    // Index of the default language as read, or -1 (kept as stored at the
    // match, not moved when a later "English" entry removes item 0).
    int DefaultLanguageIndex = -1;
    bool UsesMisspelledDefaultKey = false;
};

// The misspelled default key some catalogues use instead of LanguageDefault.
inline const char* const MisspelledDefaultKey = "DefautltLanguage";

// Reads the catalogue at `path`. Each listed file is taken from the catalogue's
// own folder, whatever folder its LanguageFile value names.
TCatalogueContents ReadCatalogue(const std::string& path);

// The catalogue text written on saving: the generated-file marker line (when
// anything is listed), one pair per entry in order and the default line last.
// Throws std::runtime_error when an entry has no file path.
std::string BuildCatalogueText(const std::string& programName,
                               const std::vector<TCatalogueEntry>& entries,
                               const std::string& defaultLanguage, bool usesMisspelledDefaultKey);

// The default language a catalogue names when it is saved: `chosen` while
// `entries` list it; else the default the catalogue had when it was opened,
// `openingDefault`, while listed; else the first listed translation. With
// nothing listed, `chosen` stays.
std::string ListedDefault(const std::string& chosen, const std::string& openingDefault,
                          const std::vector<TCatalogueEntry>& entries);

// The marker line's text: "[" + program name in upper case + "_WORDLARK_GENERATED_FILE]".
std::string GeneratedFileMarker(const std::string& programName);

// The path of a new translation named `name`, after the naming pattern of the
// first listed file: its file name is cut before its first "_" and "_" + name +
// ".ini" appended. Only the file-name part is searched, never its folders; a
// file name without "_" leaves only "_" + name + ".ini" in the catalogue folder.
std::string NewTranslationPath(const std::string& firstPath, const std::string& name,
                               const std::string& catalogueFolder);

// Empty when `name` can name a translation file and a catalogue entry;
// otherwise why not.
std::string LanguageNameProblem(const std::string& name);
