#include "texts/Registration.h"

#include "initfile/InitFile.h"
#include "platform/Platform.h"

#include <ctime>

void WriteRegistration(const std::string& commonMakerFolder, const std::string& programFolder,
                       const std::string& installDate) {
    TInitFile doc(TInitFile::TForm::Ini);
    platform::CreateDir(commonMakerFolder);
    const std::string folder = commonMakerFolder + "Wordlark" + platform::PathDelim;
    platform::CreateDir(folder);
    const std::string file = folder + "Installation.ini";
    if (platform::FileExists(file)) {
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
    doc.Save(file);
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
