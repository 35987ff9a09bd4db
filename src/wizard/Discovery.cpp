#include "wizard/Discovery.h"

#include "initfile/InitFile.h"
#include "platform/Platform.h"

#include <algorithm>
#include <unordered_set>

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
#ifdef _WIN32
    return name.find_first_of("/\\:") == std::string::npos;
#else
    return name.find_first_of("/\\") == std::string::npos;
#endif
}

namespace {
// The settings file of a program: the copy in the local maker folder wins over
// the one in the roaming maker folder; empty when there is neither.
std::string SettingsPath(const TDiscoveryFolders& folders, const std::string& name,
                         const std::string& iniFile) {
    if (!IsPlainFileName(iniFile))
        return std::string();
    for (const std::string* maker : {&folders.LocalMakerFolder, &folders.RoamingMakerFolder}) {
        const std::string path = *maker + name + platform::PathDelim + iniFile;
        if (!maker->empty() && platform::FileExists(path))
            return path;
    }
    return std::string();
}
} // namespace

std::vector<TInstalledProgram> FindInstalledPrograms(const TDiscoveryFolders& folders) {
    std::vector<TInstalledProgram> rows;
    // The names registered in an earlier maker folder; a later one's
    // registration of the same name is not looked at.
    std::unordered_set<std::string> taken;
    TInitFile doc(TInitFile::TForm::Ini);
    platform::Platform& os = platform::Get();
    for (const std::string& maker : folders.CommonMakerFolders) {
        for (const std::string& name : os.ListFolder(maker)) {
            // "." and ".." (listed on Windows) are the maker folder and its
            // parent, never a program. An entry that is not a folder has no
            // registration file inside it, so the test below drops it.
            if (!IsPlainFileName(name) || taken.count(name) != 0)
                continue;
            const std::string registration =
                maker + name + platform::PathDelim + "Installation.ini";
            if (!os.FileExists(registration))
                continue;
            taken.insert(name);
            doc.Clear();
            if (!doc.Load(registration))
                continue;
            TInstalledProgram row;
            row.Name = name;
            row.InstallationDirectory = doc.GetString("InstallationDirectory", "");
            row.LanguageFile = doc.GetString("LanguageFile", "");
            if (!IsPlainFileName(row.LanguageFile) || !os.FileExists(row.CataloguePath()))
                continue;
            row.Version = doc.GetString("Version", "");
            row.SettingsPath = SettingsPath(folders, name, doc.GetString("IniFile", ""));
            rows.push_back(std::move(row));
        }
    }
    std::sort(rows.begin(), rows.end(), [](const TInstalledProgram& a, const TInstalledProgram& b) {
        return a.Name < b.Name;
    });
    return rows;
}
