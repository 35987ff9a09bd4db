#include "initfile/WorkbenchChoices.h"

#include "encoding/TextEncoding.h"

#include "initfile/KeyValueLine.h"
#include "platform/FileIO.h"

#include <algorithm>

namespace {

const char* const ReferenceKind = "reference";
const char* const ShowAsKind = "show-as";
const char* const RecentKind = "recent";
const char* const OpenFolderKind = "open-folder";

// Kinds whose value may be empty.
bool MayBeEmpty(const std::string& kind) {
    return kind == RecentKind;
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
    std::string text = "# Wordlark workbench: reference language per catalogue, \"Show as\" per "
                       "file, recent catalogues\n";
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
        const std::string kind(line.substr(0, tab1));
        const std::string subject = Unescaped(line.substr(tab1 + 1, tab2 - tab1 - 1));
        const std::string value = Unescaped(line.substr(tab2 + 1));
        if (subject.empty() || (value.empty() && !MayBeEmpty(kind)))
            return;
        if (kind == ReferenceKind || kind == RecentKind || kind == OpenFolderKind ||
            (kind == ShowAsKind && EncodingFromName(value)))
            Set(kind, subject, value);
    });
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
    std::erase_if(FChoices,
                  [&](const TChoice& c) { return c.Kind == kind && c.Subject == subject; });
    FChoices.push_back({kind, subject, value});
    const auto ofKind = std::count_if(FChoices.begin(), FChoices.end(),
                                      [&](const TChoice& c) { return c.Kind == kind; });
    const std::size_t kept = kind == RecentKind ? MaxRecentCatalogues : MaxChoices;
    if (static_cast<std::size_t>(ofKind) > kept)
        FChoices.erase(std::find_if(FChoices.begin(), FChoices.end(),
                                    [&](const TChoice& c) { return c.Kind == kind; }));
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
