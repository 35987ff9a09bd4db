#include "initfile/WorkbenchChoices.h"

#include "encoding/TextEncoding.h"

#include "initfile/KeyValueLine.h"
#include "platform/FileIO.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

const char* const ReferenceKind = "reference";
const char* const ShowAsKind = "show-as";
const char* const RecentKind = "recent";
const char* const OpenFolderKind = "open-folder";
const char* const MasterKind = "master";
const char* const CheckKind = "check";
const char* const PhraseKind = "phrase";
const char* const ViewKind = "view";
const char* const SpellingKind = "spelling";
const char* const TranslatedValue = "translated";
const char* const ToBeCheckedValue = "check";

// Kinds whose value may be empty.
bool MayBeEmpty(const std::string& kind) {
    return kind == RecentKind;
}

std::size_t Kept(const std::string& kind) {
    if (kind == RecentKind)
        return TWorkbenchChoices::MaxRecentCatalogues;
    if (kind == PhraseKind)
        return TWorkbenchChoices::MaxPhraseMarks;
    return TWorkbenchChoices::MaxChoices;
}

std::string Escaped(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '%':
            out += "%25";
            break;
        case '\t':
            out += "%09";
            break;
        case '\r':
            out += "%0D";
            break;
        case '\n':
            out += "%0A";
            break;
        default:
            out += c;
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Any "%" followed by two hex digits stands for that byte; other bytes are
// themselves.
std::string Unescaped(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string PhraseSubject(const std::string& filePath, const std::string& key) {
    return Escaped(filePath) + '\t' + Escaped(key);
}

// The mark a phrase line's value holds; none for a value of no mark.
std::optional<TPhraseMark> MarkOfValue(const std::string& value) {
    if (value == ToBeCheckedValue)
        return TPhraseMark{TPhraseStatus::ToBeChecked, {}};
    const std::string translated = std::string(TranslatedValue) + '\t';
    if (value.compare(0, translated.size(), translated) == 0)
        return TPhraseMark{TPhraseStatus::Translated, value.substr(translated.size())};
    return std::nullopt;
}

bool IsValid(const std::string& kind, const std::string& subject, const std::string& value) {
    if (subject.empty() || (value.empty() && !MayBeEmpty(kind)))
        return false;
    if (kind == ReferenceKind || kind == RecentKind || kind == OpenFolderKind ||
        kind == MasterKind || kind == SpellingKind)
        return true;
    if (kind == ShowAsKind)
        return EncodingFromName(value).has_value();
    if (kind == CheckKind || kind == ViewKind)
        return value == "on" || value == "off";
    if (kind == PhraseKind)
        return subject.find('\t') != std::string::npos && MarkOfValue(value).has_value();
    return false;
}

} // namespace

bool TWorkbenchChoices::Load(const std::string& path) {
    FChoices.clear();
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes))
        return false;
    Parse(bytes);
    return true;
}

std::string TWorkbenchChoices::Save(const std::string& path) const {
    return platform::ReplaceFileBytes(path, Text());
}

std::string TWorkbenchChoices::Update(const std::string& path,
                                      const std::function<void(TWorkbenchChoices&)>& change) {
    if (!Load(path) && platform::FileSize(path) >= 0)
        return "cannot read " + path;
    change(*this);
    return Save(path);
}

std::string TWorkbenchChoices::Text() const {
    std::string text = "# Wordlark workbench: reference language per catalogue, \"Show as\" and "
                       "master per file, recent catalogues, checks, marks of phrases, view\n";
    for (const TChoice& c : FChoices)
        text += c.Kind + '\t' + Escaped(c.Subject) + '\t' + Escaped(c.Value) + '\n';
    return text;
}

void TWorkbenchChoices::Parse(std::string_view text) {
    FChoices.clear();
    ForEachLine(text, [this](std::string_view line) {
        const std::size_t tab1 = line.find('\t');
        if (tab1 == std::string_view::npos)
            return;
        const std::size_t tab2 = line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos || line.find('\t', tab2 + 1) != std::string_view::npos)
            return;
        std::string kind(line.substr(0, tab1));
        std::string subject = Unescaped(line.substr(tab1 + 1, tab2 - tab1 - 1));
        std::string value = Unescaped(line.substr(tab2 + 1));
        if (IsValid(kind, subject, value))
            FChoices.push_back({std::move(kind), std::move(subject), std::move(value)});
    });
    Compact();
}

void TWorkbenchChoices::Compact() {
    // From the newest back: the first of each kind and subject is the one
    // that stays, while its kind keeps that many.
    std::unordered_set<std::string> seen;
    std::unordered_map<std::string, std::size_t> ofKind;
    std::vector<TChoice> kept;
    for (auto c = FChoices.rbegin(); c != FChoices.rend(); ++c) {
        if (!seen.insert(c->Kind + '\t' + c->Subject).second)
            continue;
        if (++ofKind[c->Kind] > Kept(c->Kind))
            continue;
        kept.push_back(std::move(*c));
    }
    FChoices.assign(std::make_move_iterator(kept.rbegin()), std::make_move_iterator(kept.rend()));
}

const TWorkbenchChoices::TChoice* TWorkbenchChoices::Find(const std::string& kind,
                                                          const std::string& subject) const {
    for (const TChoice& c : FChoices)
        if (c.Kind == kind && c.Subject == subject)
            return &c;
    return nullptr;
}

void TWorkbenchChoices::Set(const std::string& kind, const std::string& subject,
                            const std::string& value) {
    Remove(kind, subject);
    FChoices.push_back({kind, subject, value});
    const auto ofKind = std::count_if(FChoices.begin(), FChoices.end(),
                                      [&](const TChoice& c) { return c.Kind == kind; });
    if (static_cast<std::size_t>(ofKind) > Kept(kind))
        FChoices.erase(std::find_if(FChoices.begin(), FChoices.end(),
                                    [&](const TChoice& c) { return c.Kind == kind; }));
}

void TWorkbenchChoices::Remove(const std::string& kind, const std::string& subject) {
    std::erase_if(FChoices,
                  [&](const TChoice& c) { return c.Kind == kind && c.Subject == subject; });
}

std::optional<std::string>
TWorkbenchChoices::ReferenceLanguage(const std::string& cataloguePath) const {
    if (const TChoice* c = Find(ReferenceKind, cataloguePath))
        return c->Value;
    return std::nullopt;
}

void TWorkbenchChoices::SetReferenceLanguage(const std::string& cataloguePath,
                                             const std::string& language) {
    if (!cataloguePath.empty() && !language.empty())
        Set(ReferenceKind, cataloguePath, language);
}

std::optional<TEncoding> TWorkbenchChoices::ShowAs(const std::string& filePath) const {
    if (const TChoice* c = Find(ShowAsKind, filePath))
        return EncodingFromName(c->Value);
    return std::nullopt;
}

void TWorkbenchChoices::SetShowAs(const std::string& filePath, TEncoding encoding) {
    if (!filePath.empty())
        Set(ShowAsKind, filePath, std::string(EncodingName(encoding)));
}

void TWorkbenchChoices::CopyShowAs(const std::string& masterPath, const std::string& newPath) {
    if (const std::optional<TEncoding> encoding = ShowAs(masterPath))
        SetShowAs(newPath, *encoding);
}

std::optional<std::string> TWorkbenchChoices::Master(const std::string& filePath) const {
    if (const TChoice* c = Find(MasterKind, filePath))
        return c->Value;
    return std::nullopt;
}

void TWorkbenchChoices::SetMaster(const std::string& filePath, const std::string& masterPath) {
    if (!filePath.empty() && !masterPath.empty())
        Set(MasterKind, filePath, masterPath);
}

std::optional<std::string> TWorkbenchChoices::SpellingLanguage(const std::string& filePath) const {
    if (const TChoice* c = Find(SpellingKind, filePath))
        return c->Value;
    return std::nullopt;
}

void TWorkbenchChoices::SetSpellingLanguage(const std::string& filePath,
                                            const std::optional<std::string>& tag) {
    if (filePath.empty())
        return;
    if (!tag)
        Remove(SpellingKind, filePath);
    else if (!tag->empty())
        Set(SpellingKind, filePath, *tag);
}

bool TWorkbenchChoices::IsCheckOn(const std::string& name) const {
    const TChoice* c = Find(CheckKind, name);
    return !c || c->Value == "on";
}

void TWorkbenchChoices::SetCheckOn(const std::string& name, bool on) {
    if (!name.empty())
        Set(CheckKind, name, on ? "on" : "off");
}

void TWorkbenchChoices::CopyFileChoices(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty() || from == to)
        return;
    const std::string fromPrefix = Escaped(from) + '\t';
    const std::string toPrefix = Escaped(to) + '\t';
    std::vector<TChoice> copies;
    for (const TChoice& c : FChoices) {
        if ((c.Kind == ShowAsKind || c.Kind == MasterKind || c.Kind == ReferenceKind) &&
            c.Subject == from)
            copies.push_back({c.Kind, to, c.Value});
        else if (c.Kind == PhraseKind && c.Subject.compare(0, fromPrefix.size(), fromPrefix) == 0)
            copies.push_back({c.Kind, toPrefix + c.Subject.substr(fromPrefix.size()), c.Value});
    }
    for (const TChoice& c : copies)
        Set(c.Kind, c.Subject, c.Value);
}

bool TWorkbenchChoices::IsViewOn(const std::string& name) const {
    const TChoice* c = Find(ViewKind, name);
    return c && c->Value == "on";
}

void TWorkbenchChoices::SetViewOn(const std::string& name, bool on) {
    if (!name.empty())
        Set(ViewKind, name, on ? "on" : "off");
}

std::vector<std::pair<std::string, TPhraseMark>>
TWorkbenchChoices::PhraseMarks(const std::string& filePath) const {
    std::vector<std::pair<std::string, TPhraseMark>> marks;
    const std::string prefix = Escaped(filePath) + '\t';
    for (const TChoice& c : FChoices) {
        if (c.Kind != PhraseKind || c.Subject.compare(0, prefix.size(), prefix) != 0)
            continue;
        if (const std::optional<TPhraseMark> mark = MarkOfValue(c.Value))
            marks.emplace_back(Unescaped(std::string_view(c.Subject).substr(prefix.size())), *mark);
    }
    return marks;
}

void TWorkbenchChoices::SetPhraseMark(const std::string& filePath, const std::string& key,
                                      const TPhraseMark& mark) {
    if (filePath.empty() || key.empty())
        return;
    const std::string subject = PhraseSubject(filePath, key);
    switch (mark.Status) {
    case TPhraseStatus::None:
        Remove(PhraseKind, subject);
        break;
    case TPhraseStatus::Translated:
        Set(PhraseKind, subject, std::string(TranslatedValue) + '\t' + mark.ReferencePhrase);
        break;
    case TPhraseStatus::ToBeChecked:
        Set(PhraseKind, subject, ToBeCheckedValue);
        break;
    }
}

std::vector<TWorkbenchChoices::TRecentCatalogue> TWorkbenchChoices::RecentCatalogues() const {
    std::vector<TRecentCatalogue> recent;
    for (auto c = FChoices.rbegin(); c != FChoices.rend(); ++c)
        if (c->Kind == RecentKind)
            recent.push_back({c->Subject, c->Value});
    return recent;
}

void TWorkbenchChoices::AddRecentCatalogue(const std::string& path,
                                           const std::string& programName) {
    if (!path.empty())
        Set(RecentKind, path, programName);
}

void TWorkbenchChoices::RemoveRecentCatalogue(const std::string& path) {
    std::erase_if(FChoices,
                  [&](const TChoice& c) { return c.Kind == RecentKind && c.Subject == path; });
}

std::string TWorkbenchChoices::DialogFolder(const std::string& dialog) const {
    const TChoice* c = Find(OpenFolderKind, dialog);
    return c ? c->Value : std::string();
}

void TWorkbenchChoices::SetDialogFolder(const std::string& dialog, const std::string& folder) {
    if (!folder.empty())
        Set(OpenFolderKind, dialog, folder);
}

TEncoding ShownEncoding(const TWorkbenchChoices& choices, const std::string& path,
                        std::string_view bytes) {
    if (IsValidUtf8(bytes))
        return TEncoding::Utf8;
    return choices.ShowAs(path).value_or(TEncoding::Windows1252);
}

std::optional<std::size_t> ChooseReference(const std::vector<TCatalogueEntry>& entries,
                                           const std::string& editedPath,
                                           const std::optional<std::string>& remembered) {
    const auto listed = [&](const std::string& name) -> std::optional<std::size_t> {
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].Name == name && entries[i].Path != editedPath)
                return i;
        return std::nullopt;
    };
    if (remembered)
        if (const auto i = listed(*remembered))
            return i;
    if (const auto i = listed("English"))
        return i;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].Path != editedPath)
            return i;
    return std::nullopt;
}

void TChoicesStore::Open(const std::string& path) {
    FPath = path;
    FChoices = TWorkbenchChoices();
    FChoices.Load(path);
}

void TChoicesStore::Update(const std::function<void(TWorkbenchChoices&)>& change) {
    change(FChoices);
    if (!FPath.empty())
        TWorkbenchChoices().Update(FPath, change);
}
