// The user's own copy of a translation: where the translation and the
// catalogue of a program installed in a folder the user may not write are
// saved instead, a folder of the data folder for that program:
//
//   <data folder>Translations/<program>/
//
// It holds the catalogue and each translation saved there under their own
// file names, and a small file, InstalledCatalogue.txt, that names the
// installed catalogue the copy belongs to; by it the copy is found again when
// that catalogue is opened, whatever the folder is called. The other
// translations the catalogue lists stay where they are installed and are read
// from there.
#pragma once

#include "initfile/Catalogue.h"

#include <string>
#include <vector>

struct TUserCopyFolder {
    // The copy's folder, with a trailing separator; empty: no copy.
    std::string Folder;
    // The installed catalogue the copy belongs to.
    std::string InstalledCatalogue;

    bool Empty() const { return Folder.empty(); }
    // The copy's catalogue: the installed catalogue's file name in the copy's
    // folder.
    std::string Catalogue() const;
    // The folder of the installed catalogue.
    std::string InstalledFolder() const;
    // Where the file at `path` is saved in the copy: its own name in the
    // copy's folder.
    std::string CopyPath(const std::string& path) const;
    // Whether `path` names a file in the copy's folder.
    bool Holds(const std::string& path) const;
    // The entries of the copy's catalogue as they are worked on: each file the
    // copy does not hold is read from the installed folder, where it is there.
    std::vector<TCatalogueEntry> Resolved(std::vector<TCatalogueEntry> entries) const;

    bool operator==(const TUserCopyFolder&) const = default;
};

// The folder of the data folder that holds the copies, and the file in each
// copy that names its installed catalogue.
inline constexpr const char* UserCopiesFolderName = "Translations";
inline constexpr const char* UserCopyRecordName = "InstalledCatalogue.txt";

// `name` made safe as the name of a folder on every system: no separators,
// no characters Windows refuses, no leading or trailing blanks and points, no
// device name (CON, NUL, COM1...), at most 64 bytes (never half a UTF-8
// letter); "Program" when nothing is left.
std::string SafeFolderName(const std::string& name);

// The copy whose folder holds the file at `path`, when that folder is a copy;
// else an empty one.
TUserCopyFolder UserCopyHolding(const std::string& path);

// The copy of the installed catalogue at `installedCatalogue` in the data
// folder `dataFolder` (with a trailing separator), when there is one whose
// catalogue has been saved; else an empty one.
TUserCopyFolder FindUserCopy(const std::string& dataFolder, const std::string& installedCatalogue);

// The folder MakeUserCopy would use, without making anything.
TUserCopyFolder PlannedUserCopy(const std::string& dataFolder,
                                const std::string& installedCatalogue,
                                const std::string& programName);

// The folder for a copy of `installedCatalogue`, made when it is not there
// yet: the existing copy of that catalogue, else a new folder named after
// `programName` (empty: the installed catalogue's folder), made safe, with
// " 2", " 3"... added when a folder of that name holds something else. Empty,
// with the reason in `error`, when it cannot be made.
TUserCopyFolder MakeUserCopy(const std::string& dataFolder, const std::string& installedCatalogue,
                             const std::string& programName, std::string& error);
