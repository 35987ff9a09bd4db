// What the translator chose and the workbench remembers between runs: the
// reference language of each catalogue, how each translation file is shown
// ("Show as"), the translation each one was copied from, the catalogues
// opened last, the folder last chosen in the catalogue's file dialog, the
// checks switched on or off, the translator's marks of single phrases and how
// the workbench was laid out ("Side by side").
// Kept in a small file of its own in the data folder, beside Wordlark.ini
// (whose keys are fixed), one choice per line:
//
//   reference<TAB>catalogue path<TAB>language name
//   show-as<TAB>file path<TAB>encoding name
//   master<TAB>file path<TAB>path of the file it was copied from
//   recent<TAB>catalogue path<TAB>program name (may be empty)
//   open-folder<TAB>dialog (catalogue, exchange, ...)<TAB>folder path
//   check<TAB>check name<TAB>on or off
//   phrase<TAB>file path %09 key<TAB>translated %09 reference phrase, or check
//   view<TAB>view option (side-by-side)<TAB>on or off
//
// Paths and names are bytes as they are, except that "%", tab, CR and LF are
// written as %25, %09, %0D and %0A (in a phrase's subject the path and the key
// are each written so before they are joined by a tab). Lines ending in CR LF
// read the same. Lines the program does not understand are skipped; a later
// line wins over an earlier one. The file keeps the most recent choices of
// each kind only.
//
// Several parts of the program keep their choices here: each change reads the
// file, changes it and writes it at once (Update), so that none writes over
// what another one remembered meanwhile.
#pragma once

#include "encoding/Codec.h"
#include "initfile/Catalogue.h"
#include "initfile/PhraseMark.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TWorkbenchChoices {
public:
    // The file's name in the data folder.
    static constexpr const char* FileName = "Workbench.txt";
    // How many choices of each kind are kept; the oldest go first.
    static constexpr std::size_t MaxChoices = 500;
    // How many marks of phrases are kept, of all files together.
    static constexpr std::size_t MaxPhraseMarks = 50000;

    // Reads the file at `path`; a missing or unreadable file holds no choices.
    // Returns whether the file could be read.
    bool Load(const std::string& path);
    // Replaces the file at `path` safely; empty on success, else why it failed.
    std::string Save(const std::string& path) const;
    // Reads the file at `path`, lets `change` change the choices and writes
    // them back; empty on success, else why it failed. A file that is there
    // but cannot be read is left as it is.
    std::string Update(const std::string& path,
                       const std::function<void(TWorkbenchChoices&)>& change);

    std::string Text() const;
    void Parse(std::string_view text);

    std::optional<std::string> ReferenceLanguage(const std::string& cataloguePath) const;
    void SetReferenceLanguage(const std::string& cataloguePath, const std::string& language);

    std::optional<TEncoding> ShowAs(const std::string& filePath) const;
    void SetShowAs(const std::string& filePath, TEncoding encoding);
    // A translation made as a copy of `masterPath` starts as its master is shown.
    void CopyShowAs(const std::string& masterPath, const std::string& newPath);

    // The translation the file at `filePath` was made from as a copy.
    std::optional<std::string> Master(const std::string& filePath) const;
    void SetMaster(const std::string& filePath, const std::string& masterPath);

    // The dictionary chosen for spelling the translation at `filePath` (a
    // tag as Enchant names it, or "-" for no spelling); none: the one its
    // name stands for. SetSpellingLanguage with none forgets the choice.
    std::optional<std::string> SpellingLanguage(const std::string& filePath) const;
    void SetSpellingLanguage(const std::string& filePath, const std::optional<std::string>& tag);

    // Whether the check of this name is on; every check is, until switched off.
    bool IsCheckOn(const std::string& name) const;
    void SetCheckOn(const std::string& name, bool on);

    // The translator's marks of the phrases of the translation at `filePath`,
    // by key, the oldest mark first.
    std::vector<std::pair<std::string, TPhraseMark>> PhraseMarks(const std::string& filePath) const;
    // Keeps the mark of a phrase; a mark of status None takes it away.
    void SetPhraseMark(const std::string& filePath, const std::string& key,
                       const TPhraseMark& mark);

    // Keeps what is kept for the file at `from` (Show as, the master, the marks
    // of its phrases, and as a catalogue its reference language) for `to` as
    // well, so that a translation saved at another place keeps all of it.
    void CopyFileChoices(const std::string& from, const std::string& to);

    // Whether the view option of this name is on; off until switched on.
    bool IsViewOn(const std::string& name) const;
    void SetViewOn(const std::string& name, bool on);

    // How many recent catalogues are kept.
    static constexpr std::size_t MaxRecentCatalogues = 8;
    struct TRecentCatalogue {
        std::string Path;
        std::string ProgramName;
        bool operator==(const TRecentCatalogue&) const = default;
    };
    // The catalogues opened last, the most recent first.
    std::vector<TRecentCatalogue> RecentCatalogues() const;
    // Puts the catalogue at the head of the list, with the program it was
    // opened for (empty when opened by hand).
    void AddRecentCatalogue(const std::string& path, const std::string& programName);
    void RemoveRecentCatalogue(const std::string& path);

    // The folder last chosen in the catalogue's file dialog, or empty.
    std::string OpenFolder() const { return DialogFolder("catalogue"); }
    void SetOpenFolder(const std::string& folder) { SetDialogFolder("catalogue", folder); }
    // The same for another file dialog, named by `dialog`.
    std::string DialogFolder(const std::string& dialog) const;
    void SetDialogFolder(const std::string& dialog, const std::string& folder);

private:
    struct TChoice {
        std::string Kind;
        std::string Subject; // the catalogue or file path
        std::string Value;
    };
    const TChoice* Find(const std::string& kind, const std::string& subject) const;
    void Set(const std::string& kind, const std::string& subject, const std::string& value);
    void Remove(const std::string& kind, const std::string& subject);
    // Drops all but the last of each kind and subject, and the oldest of a
    // kind beyond what it keeps.
    void Compact();

    std::vector<TChoice> FChoices; // oldest first
};

// The choices of this run, and their file: Open reads it, and each change is
// made both here and to what the file holds at that moment, so that what
// another running Wordlark remembered meanwhile is kept. Choices that cannot be
// written are no reason to stop the work: they still hold for this run.
class TChoicesStore {
public:
    void Open(const std::string& path);
    const TWorkbenchChoices& Get() const { return FChoices; }
    void Update(const std::function<void(TWorkbenchChoices&)>& change);

private:
    std::string FPath;
    TWorkbenchChoices FChoices;
};

// How the bytes of the file at `path` are shown: UTF-8 when they are valid
// UTF-8, else as the file was shown last ("Show as"), else Windows-1252.
TEncoding ShownEncoding(const TWorkbenchChoices& choices, const std::string& path,
                        std::string_view bytes);

// The reference language to offer for the translation at `editedPath`: the
// remembered one while the catalogue still lists it, else English when listed,
// else the first entry; never the edited translation itself. The index into
// `entries`, or none when the catalogue lists no other translation.
std::optional<std::size_t> ChooseReference(const std::vector<TCatalogueEntry>& entries,
                                           const std::string& editedPath,
                                           const std::optional<std::string>& remembered);
