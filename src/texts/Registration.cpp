#include "texts/Registration.h"

#include "initfile/InitFile.h"
#include "platform/Platform.h"

#include <ctime>

namespace {
std::string RegistrationFolder(const std::string& makerFolder) {
    return makerFolder + "Wordlark" + platform::PathDelim;
}
} // namespace

void WriteRegistration(const std::vector<std::string>& searchedMakerFolders,
                       const std::vector<std::string>& makerFolders,
                       const std::string& programFolder, const std::string& installDate) {
    TInitFile doc(TInitFile::TForm::Ini);
    for (const std::string& maker : searchedMakerFolders) {
        const std::string file = RegistrationFolder(maker) + "Installation.ini";
        if (!platform::FileExists(file))
            continue;
        doc.Clear();
        doc.Load(file);
        if (doc.GetString("Version", "") == WordlarkVersionText)
            return;
    }
    doc.Clear();
    doc.AddString("InstallationDirectory", programFolder);
    doc.AddString("LanguageFile", "Languages.ini");
    doc.AddString("IniFile", "Wordlark.ini");
    doc.AddString("Version", WordlarkVersionText);
    doc.AddString("InstallDate", installDate);
    for (const std::string& maker : makerFolders) {
        platform::CreateDir(maker);
        const std::string folder = RegistrationFolder(maker);
        platform::CreateDir(folder);
        if (doc.Save(folder + "Installation.ini"))
            return;
    }
}

void WriteRegistration(const std::string& commonMakerFolder, const std::string& programFolder,
                       const std::string& installDate) {
    WriteRegistration(std::vector<std::string>{commonMakerFolder},
                      std::vector<std::string>{commonMakerFolder}, programFolder, installDate);
}

std::vector<std::string> MakerFolders(const std::vector<std::string>& dataFolders) {
    std::vector<std::string> folders;
    for (const std::string& folder : dataFolders)
        if (!folder.empty())
            folders.push_back(folder + platform::PathDelim + "Brightmoor" + platform::PathDelim);
    return folders;
}

std::string CurrentInstallDate() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return buffer;
}
