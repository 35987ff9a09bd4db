#include "initfile/Recovery.h"

#include "platform/FileIO.h"
#include "platform/FileStamp.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Header = "Wordlark recovery 1\n";
constexpr std::string_view EndField = "end ";

void AddField(std::string& out, std::string_view name, std::string_view value) {
    out.append(name);
    out += ' ';
    out += std::to_string(value.size());
    out += '\n';
    out.append(value);
    out += '\n';
}

template <class Number> bool ParseNumber(std::string_view text, Number& number, int base = 10) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, number, base);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

std::string Hex(std::uint64_t value) {
    char buffer[17];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
    return std::string(buffer, result.ptr);
}

// The process a recovery file's name says it belongs to:
// Prefix + id + "-" + start (hex) + "-" + random part (hex) + Suffix.
std::optional<platform::TProcessIdentity> OwnerOf(std::string_view name) {
    const std::string_view prefix = TRecoveryStore::Prefix;
    const std::string_view suffix = TRecoveryStore::Suffix;
    if (name.size() <= prefix.size() + suffix.size() || name.substr(0, prefix.size()) != prefix ||
        name.substr(name.size() - suffix.size()) != suffix)
        return std::nullopt;
    name = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    const auto first = name.find('-');
    const auto second = name.find('-', first == std::string_view::npos ? first : first + 1);
    platform::TProcessIdentity owner;
    std::uint64_t random = 0;
    if (second == std::string_view::npos || !ParseNumber(name.substr(0, first), owner.Id) ||
        !ParseNumber(name.substr(first + 1, second - first - 1), owner.Started, 16) ||
        !ParseNumber(name.substr(second + 1), random, 16))
        return std::nullopt;
    return owner;
}

std::string RandomPart() {
    static std::atomic<unsigned> counter{0};
    std::random_device device;
    const std::uint64_t time =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    // The counter keeps two stores of one process apart whatever the rest gives.
    return Hex((static_cast<std::uint64_t>(device()) ^ (time << 16)) & 0xFFFFFFFFull) +
           Hex(counter++);
}

} // namespace

std::string RecoveryBytes(const TRecoveredWork& work) {
    std::string out(Header);
    out.reserve(work.Text.size() + 1024);
    AddField(out, "saved", std::to_string(work.SavedAt));
    AddField(out, "program", work.ProgramName);
    AddField(out, "catalogue", work.CataloguePath);
    AddField(out, "translation", work.TranslationPath);
    AddField(out, "settings", work.SettingsFilePath);
    for (const TCatalogueEntry& entry : work.Entries) {
        AddField(out, "entry-name", entry.Name);
        AddField(out, "entry-path", entry.Path);
    }
    AddField(out, "default", work.DefaultLanguage);
    AddField(out, "selected", std::to_string(work.SelectedEntry));
    AddField(out, "text", work.Text);
    const std::uint64_t hash = platform::HashBytes(out);
    out += EndField;
    out += Hex(hash);
    out += '\n';
    return out;
}

std::optional<TRecoveredWork> ParseRecovery(std::string_view bytes) {
    if (bytes.substr(0, Header.size()) != Header)
        return std::nullopt;
    TRecoveredWork work;
    bool hasText = false;
    std::size_t pos = Header.size();
    for (;;) {
        const std::size_t lineEnd = bytes.find('\n', pos);
        if (lineEnd == std::string_view::npos)
            return std::nullopt;
        const std::string_view line = bytes.substr(pos, lineEnd - pos);
        if (line.substr(0, EndField.size()) == EndField) {
            std::uint64_t hash = 0;
            if (!hasText || lineEnd + 1 != bytes.size() ||
                !ParseNumber(line.substr(EndField.size()), hash, 16) ||
                hash != platform::HashBytes(bytes.substr(0, pos)))
                return std::nullopt;
            if (work.SelectedEntry < -1 ||
                work.SelectedEntry >= static_cast<int>(work.Entries.size()))
                work.SelectedEntry = -1;
            return work;
        }
        const std::size_t blank = line.find(' ');
        std::size_t length = 0;
        if (blank == std::string_view::npos || !ParseNumber(line.substr(blank + 1), length) ||
            length >= bytes.size() - lineEnd - 1 || bytes[lineEnd + 1 + length] != '\n')
            return std::nullopt;
        const std::string_view name = line.substr(0, blank);
        const std::string_view value = bytes.substr(lineEnd + 1, length);
        pos = lineEnd + 1 + length + 1;

        bool ok = true;
        if (name == "saved")
            ok = ParseNumber(value, work.SavedAt);
        else if (name == "program")
            work.ProgramName = value;
        else if (name == "catalogue")
            work.CataloguePath = value;
        else if (name == "translation")
            work.TranslationPath = value;
        else if (name == "settings")
            work.SettingsFilePath = value;
        else if (name == "entry-name")
            work.Entries.push_back({std::string(value), std::string()});
        else if (name == "entry-path" && !work.Entries.empty())
            work.Entries.back().Path = value;
        else if (name == "entry-path")
            ok = false;
        else if (name == "default")
            work.DefaultLanguage = value;
        else if (name == "selected")
            ok = ParseNumber(value, work.SelectedEntry);
        else if (name == "text") {
            work.Text = value;
            hasText = true;
        }
        if (!ok)
            return std::nullopt;
    }
}

TRecoveryStore::TRecoveryStore(const std::string& dataFolder,
                               const platform::TProcessIdentity& owner)
    : FFolder(dataFolder) {
    const std::string name = std::string(Prefix) + std::to_string(owner.Id) + "-" +
                             Hex(owner.Started) + "-" + RandomPart() + Suffix;
    FPath =
        platform::Utf8FromPath(platform::PathFromUtf8(dataFolder) / platform::PathFromUtf8(name));
}

std::string TRecoveryStore::Write(TRecoveredWork work) const {
    work.SavedAt = std::chrono::duration_cast<std::chrono::seconds>(
                       std::chrono::system_clock::now().time_since_epoch())
                       .count();
    return platform::ReplaceFileBytes(FPath, RecoveryBytes(work));
}

std::string TRecoveryStore::Remove() const {
    return Discard(FPath);
}

std::string TRecoveryStore::Discard(const std::string& path) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(platform::PathFromUtf8(path), ec)))
        return std::string();
    return platform::RemoveFile(path);
}

std::vector<TRecoveryFile> TRecoveryStore::LeftBehind() const {
    std::vector<TRecoveryFile> files;
    std::error_code ec;
    for (fs::directory_iterator it(platform::PathFromUtf8(FFolder), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string path = platform::Utf8FromPath(it->path());
        const auto owner = OwnerOf(platform::Utf8FromPath(it->path().filename()));
        if (!owner || path == FPath || platform::ProcessRunning(*owner))
            continue;
        std::string bytes;
        if (!platform::ReadFileBytes(path, bytes))
            continue;
        if (auto work = ParseRecovery(bytes))
            files.push_back({path, std::move(*work)});
    }
    std::stable_sort(files.begin(), files.end(),
                     [](const TRecoveryFile& a, const TRecoveryFile& b) {
                         return a.Work.SavedAt > b.Work.SavedAt;
                     });
    return files;
}

std::optional<TRecoveredWork> TRecoveryStore::Adopt(const std::string& path) const {
    std::error_code ec;
    fs::rename(platform::PathFromUtf8(path), platform::PathFromUtf8(FPath), ec);
    if (ec)
        return std::nullopt;
    std::string bytes;
    std::optional<TRecoveredWork> work;
    if (platform::ReadFileBytes(FPath, bytes))
        work = ParseRecovery(bytes);
    if (!work)
        Remove();
    return work;
}
