#include "initfile/Catalogue.h"

#include "initfile/InitFile.h"
#include "platform/Platform.h"

#include <stdexcept>

TCatalogueContents ReadCatalogue(const std::string& path) {
    TCatalogueContents result;
    if (!platform::FileExists(path))
        return result;
    result.FileFound = true;
    result.DefaultChoices.push_back("English");
    result.SelectedChoice = 0;

    TInitFile doc(TInitFile::TForm::Ini);
    doc.Load(path);

    std::string defaultLanguage = doc.GetString(MisspelledDefaultKey, "");
    result.UsesMisspelledDefaultKey = !defaultLanguage.empty();
    if (defaultLanguage.empty())
        defaultLanguage = doc.GetString("LanguageDefault", "");

    const std::string folder = platform::ExtractFilePath(path);
    std::string name = doc.GetString("LanguageName", "");
    std::string file = doc.GetString("LanguageFile", "");
    auto& choices = result.DefaultChoices;
    while (!name.empty() && !file.empty()) {
        result.Entries.push_back({name, folder + platform::ExtractFileName(file)});
        choices.push_back(name);
        if (name == "English" && !choices.empty()) {
            // The "English" offered first gives way to the listed one; when it
            // was the selected item, the listed English takes the selection.
            choices.erase(choices.begin());
            if (result.SelectedChoice == 0)
                result.SelectedChoice = static_cast<int>(choices.size()) - 1;
            else if (result.SelectedChoice > 0)
                --result.SelectedChoice;
        }
        if (name == defaultLanguage) {
            result.SelectedChoice = static_cast<int>(choices.size()) - 1;
            result.DefaultLanguageIndex = result.SelectedChoice;
        }
        name = doc.GetNextString("LanguageName");
        file = doc.GetNextString("LanguageFile");
    }
    return result;
}

std::string ListedDefault(const std::string& chosen, const std::string& openingDefault,
                          const std::vector<TCatalogueEntry>& entries) {
    const auto listed = [&](const std::string& name) {
        for (const TCatalogueEntry& entry : entries)
            if (entry.Name == name)
                return true;
        return false;
    };
    if (entries.empty() || listed(chosen))
        return chosen;
    if (!openingDefault.empty() && listed(openingDefault))
        return openingDefault;
    return entries.front().Name;
}

std::string GeneratedFileMarker(const std::string& programName) {
    std::string upper = programName;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return "[" + upper + "_WORDLARK_GENERATED_FILE]";
}

std::string BuildCatalogueText(const std::string& programName,
                               const std::vector<TCatalogueEntry>& entries,
                               const std::string& defaultLanguage, bool usesMisspelledDefaultKey) {
    TInitFile doc(TInitFile::TForm::Ini);
    for (size_t i = 0; i < entries.size(); ++i) {
        const TCatalogueEntry& entry = entries[i];
        if (entry.Path.empty())
            throw std::runtime_error("The translation \"" + entry.Name + "\" has no file.");
        if (i == 0)
            doc.AddString(GeneratedFileMarker(programName) + "\r\nLanguageName", entry.Name);
        else
            doc.AddString("LanguageName", entry.Name);
        doc.AddString("LanguageFile", platform::ExtractFileName(entry.Path));
    }
    if (usesMisspelledDefaultKey)
        doc.AddString(std::string("\r\n") + MisspelledDefaultKey, defaultLanguage);
    else
        doc.AddString("LanguageDefault", defaultLanguage);
    return doc.GetText();
}

std::string NewTranslationPath(const std::string& firstPath, const std::string& name,
                               const std::string& catalogueFolder) {
    const std::string fileName = platform::ExtractFileName(firstPath);
    const size_t underscore = fileName.find('_');
    if (underscore == std::string::npos)
        return catalogueFolder + "_" + name + ".ini";
    return firstPath.substr(0, firstPath.size() - fileName.size() + underscore) + "_" + name +
           ".ini";
}

std::string LanguageNameProblem(const std::string& name) {
    if (name.find("..") != std::string::npos)
        return "it must not hold \"..\"";
    for (unsigned char c : name) {
        if (c < 32)
            return "it must not hold line breaks or control characters";
        switch (c) {
        case '"':
            return "it must not hold a double quote";
        case '/':
        case '\\':
            return "it must not hold a path separator";
        case '<':
        case '>':
        case ':':
        case '|':
        case '?':
        case '*':
            return "it must not hold any of the characters < > : | ? *";
        default:
            break;
        }
    }
    if (!name.empty() && (name.back() == '.' || name.back() == ' '))
        return "it must not end with a point or a blank";
    return std::string();
}
