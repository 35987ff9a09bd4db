// Unsaved work kept safe from a crash: each window writes what the editor holds,
// with what is needed to put it back, to a recovery file of its own in the data
// folder, and removes it once the work is saved or discarded. A file whose
// window is gone is offered at the next start.
//
// A recovery file is bytes, not text: a header line, then fields each written
// as "<name> <length>\n<bytes>\n", and a last line "end <hash>\n" whose hash
// covers everything before it, so a file cut short or damaged is never taken
// for work. Fields the program does not know are skipped.
#pragma once

#include "initfile/Catalogue.h"
#include "platform/ProcessIdentity.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a window needs to put unsaved work back as it was.
struct TRecoveredWork {
    std::string ProgramName;
    std::string CataloguePath;
    std::string TranslationPath;          // the file the editor's text is saved to
    std::string SettingsFilePath;         // the translated program's settings file
    std::vector<TCatalogueEntry> Entries; // the translations listed, in order
    std::string DefaultLanguage;          // the default language chosen
    int SelectedEntry = -1;               // index into Entries, or -1
    std::string Text;                     // the editor's bytes, exactly
    std::int64_t SavedAt = 0;             // seconds since 1970-01-01 UTC
    bool operator==(const TRecoveredWork&) const = default;
};

std::string RecoveryBytes(const TRecoveredWork& work);
// The work in a recovery file's bytes; none when they are not a whole one.
std::optional<TRecoveredWork> ParseRecovery(std::string_view bytes);

// A recovery file another window left behind.
struct TRecoveryFile {
    std::string Path;
    TRecoveredWork Work;
};

// The recovery file of one window. Its name holds the process it belongs to
// and a random part, so no two windows, in one process or in two, share one.
class TRecoveryStore {
public:
    // The file name starts and ends so.
    static constexpr const char* Prefix = "Recovery-";
    static constexpr const char* Suffix = ".recovery";

    // A store in `dataFolder` for the running process (tests name another).
    explicit TRecoveryStore(const std::string& dataFolder,
                            const platform::TProcessIdentity& owner = platform::CurrentProcess());

    const std::string& Path() const { return FPath; }

    // Replaces this window's recovery file with `work`, dated now, so that a
    // crash at any moment leaves the previous one or the new one whole. Empty on
    // success, otherwise why it failed.
    std::string Write(TRecoveredWork work) const;
    // Removes this window's recovery file (saved or discarded work). Empty on
    // success or when there was none, otherwise why it failed.
    std::string Remove() const;

    // The whole recovery files in the folder whose window's process no longer
    // runs, the newest first. Files that are damaged or not whole are skipped.
    std::vector<TRecoveryFile> LeftBehind() const;
    // Takes over a file LeftBehind gave: it becomes this window's recovery file
    // (replacing what this store held), so no other window offers it again.
    // None when another window took it first or it is no longer whole.
    std::optional<TRecoveredWork> Adopt(const std::string& path) const;
    // Discards a file LeftBehind gave. Empty on success or when it is gone,
    // otherwise why it failed.
    static std::string Discard(const std::string& path);

private:
    std::string FFolder;
    std::string FPath;
};
