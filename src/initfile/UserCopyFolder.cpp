#include "initfile/UserCopyFolder.h"

#include "platform/FileIO.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

constexpr std::size_t MaxNameBytes = 64;

bool IsReservedDeviceName(const std::string& name) {
    // The part before the first point counts, in any case.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (stem == device)
            return true;
    return stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) &&
           stem[3] >= '0' && stem[3] <= '9';
}

void TrimBlanksAndPoints(std::string& name) {
    const auto trimmed = [](char c) { return c == ' ' || c == '.'; };
    while (!name.empty() && trimmed(name.back()))
        name.pop_back();
    const auto first = std::find_if_not(name.begin(), name.end(), trimmed);
    name.erase(name.begin(), first);
}

// The installed catalogue a folder's record names; empty when it has none.
std::string RecordedCatalogue(const std::string& folder) {
    std::string bytes;
    if (!platform::ReadFileBytes(folder + UserCopyRecordName, bytes))
        return std::string();
    while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r'))
        bytes.pop_back();
    return bytes;
}

std::string CopiesFolder(const std::string& dataFolder) {
    return dataFolder + UserCopiesFolderName + platform::PathDelim;
}

// The name of the folder a path lies in, without separators.
std::string FolderName(const std::string& path) {
    std::string folder = platform::ExtractFilePath(path);
    while (!folder.empty() && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    return platform::ExtractFileName(folder);
}

} // namespace

std::string TUserCopyFolder::Catalogue() const {
    return Empty() ? std::string() : Folder + platform::ExtractFileName(InstalledCatalogue);
}

std::string TUserCopyFolder::InstalledFolder() const {
    return platform::ExtractFilePath(InstalledCatalogue);
}

std::string TUserCopyFolder::CopyPath(const std::string& path) const {
    return Empty() ? path : Folder + platform::ExtractFileName(path);
}

bool TUserCopyFolder::Holds(const std::string& path) const {
    return !Empty() && platform::ExtractFilePath(path) == Folder;
}

std::vector<TCatalogueEntry> TUserCopyFolder::Resolved(std::vector<TCatalogueEntry> entries) const {
    if (Empty())
        return entries;
    for (TCatalogueEntry& entry : entries) {
        const std::string name = platform::ExtractFileName(entry.Path);
        const std::string installed = InstalledFolder() + name;
        if (!platform::FileExists(Folder + name) && platform::FileExists(installed))
            entry.Path = installed;
    }
    return entries;
}

std::string SafeFolderName(const std::string& name) {
    std::string safe;
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        const bool refused = byte < 32 || byte == 127 ||
                             std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
        safe += refused ? '_' : c;
    }
    TrimBlanksAndPoints(safe);
    if (safe.size() > MaxNameBytes) {
        std::size_t cut = MaxNameBytes;
        // Never within a letter: back to the first byte of the one cut.
        while (cut > 0 && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80)
            --cut;
        safe.resize(cut);
        TrimBlanksAndPoints(safe);
    }
    if (safe.empty())
        return "Program";
    if (IsReservedDeviceName(safe))
        safe.insert(0, "_");
    return safe;
}

TUserCopyFolder UserCopyHolding(const std::string& path) {
    const std::string folder = platform::ExtractFilePath(path);
    if (folder.empty())
        return {};
    const std::string installed = RecordedCatalogue(folder);
    if (installed.empty())
        return {};
    return {folder, installed};
}

namespace {
// The folder of the copies whose record names `installedCatalogue`; empty when
// there is none.
std::string RecordedCopy(const std::string& dataFolder, const std::string& installedCatalogue) {
    if (installedCatalogue.empty())
        return std::string();
    const std::string copies = CopiesFolder(dataFolder);
    std::vector<std::string> names = platform::Get().ListFolder(copies);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string folder = copies + name + platform::PathDelim;
        if (RecordedCatalogue(folder) == installedCatalogue)
            return folder;
    }
    return std::string();
}
} // namespace

TUserCopyFolder FindUserCopy(const std::string& dataFolder, const std::string& installedCatalogue) {
    const std::string folder = RecordedCopy(dataFolder, installedCatalogue);
    if (folder.empty())
        return {};
    TUserCopyFolder copy{folder, installedCatalogue};
    return platform::FileExists(copy.Catalogue()) ? copy : TUserCopyFolder();
}

TUserCopyFolder PlannedUserCopy(const std::string& dataFolder,
                                const std::string& installedCatalogue,
                                const std::string& programName) {
    // The copy made before, whatever it is called.
    if (const std::string folder = RecordedCopy(dataFolder, installedCatalogue); !folder.empty())
        return {folder, installedCatalogue};
    const std::string copies = CopiesFolder(dataFolder);
    const std::string base =
        SafeFolderName(programName.empty() ? FolderName(installedCatalogue) : programName);
    for (int number = 1; number < 100; ++number) {
        const std::string folder = copies + base +
                                   (number > 1 ? " " + std::to_string(number) : std::string()) +
                                   platform::PathDelim;
        // A folder of another copy, or one the user filled, is left alone.
        if (platform::DirectoryExists(folder) &&
            (!RecordedCatalogue(folder).empty() || !platform::Get().ListFolder(folder).empty()))
            continue;
        if (platform::FileExists(folder.substr(0, folder.size() - 1)))
            continue;
        return {folder, installedCatalogue};
    }
    return {};
}

TUserCopyFolder MakeUserCopy(const std::string& dataFolder, const std::string& installedCatalogue,
                             const std::string& programName, std::string& error) {
    error.clear();
    const std::string copies = CopiesFolder(dataFolder);
    platform::CreateDir(copies);
    const TUserCopyFolder copy = PlannedUserCopy(dataFolder, installedCatalogue, programName);
    if (copy.Empty()) {
        error = "Cannot create a folder for the copy in \"" + copies + "\"";
        return {};
    }
    if (!platform::DirectoryExists(copy.Folder) && !platform::CreateDir(copy.Folder)) {
        error = "Cannot create folder \"" + copy.Folder + "\"";
        return {};
    }
    if (RecordedCatalogue(copy.Folder) != installedCatalogue) {
        error =
            platform::ReplaceFileBytes(copy.Folder + UserCopyRecordName, installedCatalogue + "\n");
        if (!error.empty())
            return {};
    }
    return copy;
}
