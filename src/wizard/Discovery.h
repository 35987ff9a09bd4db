// Finding the maker's installed programs: each leaves a registration file,
// <maker folder><name>/Installation.ini, in the maker's folder of the
// all-users data folder, naming its installation folder, its language
// catalogue and its per-user settings file.
#pragma once

#include <string>
#include <vector>

// One installed program as the wizard lists it.
struct TInstalledProgram {
    std::string Name;                  // the registration folder's name
    std::string Version;               // shown as it stands
    std::string InstallationDirectory; // as registered, with its trailing separator
    std::string LanguageFile;          // the catalogue's file name in that folder
    std::string SettingsPath;          // the per-user settings file, or empty

    std::string CataloguePath() const { return InstallationDirectory + LanguageFile; }
};

struct TDiscoveryFolders {
    // The maker's folders in the all-users data folders, best first; a name
    // registered in several of them is taken from the first. Each ends with
    // a separator, as do the two below.
    std::vector<std::string> CommonMakerFolders;
    std::string LocalMakerFolder;   // settings files are looked for here first,
    std::string RoamingMakerFolder; // then here
};

// One row per registered program whose catalogue exists, in byte order of
// their names. Registrations that cannot be read, or that name no catalogue,
// are passed over without a word; a folder that cannot be listed lists
// nothing.
std::vector<TInstalledProgram> FindInstalledPrograms(const TDiscoveryFolders& folders);

// Whether a value read from a registration file can stand for a file in the
// folder it is joined to: not empty, not "." or "..", and without a path
// separator, so that it never reaches a file outside that folder.
bool IsPlainFileName(const std::string& name);
