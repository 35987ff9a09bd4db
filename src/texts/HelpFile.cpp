#include "texts/HelpFile.h"

#include "platform/Platform.h"
#include "texts/Maker.h"
#include "texts/Registration.h"

std::string HelpLanguageTag(const std::string& languageFilePath) {
    if (languageFilePath.empty())
        return std::string();
    const std::string name = platform::ExtractFileName(languageFilePath);
    std::string::size_type start = std::string::npos;
    for (std::string::size_type i = 0; i < name.size(); ++i) {
        if (name[i] == '_') {
            start = i + 1;
        } else if (name[i] == '.') {
            if (start == std::string::npos)
                return std::string();
            return name.substr(start, i - start);
        }
    }
    return std::string();
}

std::string HelpFilePath(const std::string& programFolder, const std::string& languageFilePath) {
    const std::string path =
        programFolder + "Wordlark_" + HelpLanguageTag(languageFilePath) + HelpFileExtension;
    if (platform::FileExists(path))
        return path;
    return programFolder + "Wordlark_English" + HelpFileExtension;
}

std::string UpdateAddress() {
    return std::string("https://") + MakerHost +
           "/pages/c_wordlark.php?lang=ENG&progvers=" + WordlarkVersionNumber;
}
