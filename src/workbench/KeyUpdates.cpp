#include "workbench/KeyUpdates.h"

#include "initfile/KeyValueLine.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <unordered_map>

namespace {

// The translation's lines, each as bytes (where it starts and where its line
// break starts) and as the text the bytes show. Every encoding shows a byte
// CR or LF as that character and no other byte as one, so both have the
// same lines.
struct TLines {
    std::string Text;
    std::vector<std::size_t> Starts;
    std::vector<std::size_t> Ends;
    std::vector<std::string_view> Texts;

    TLines(std::string_view bytes, TTextEncoding encoding) : Text(DecodeText(bytes, encoding)) {
        ForEachLine(bytes, [&](std::string_view line) {
            const auto start = static_cast<std::size_t>(line.data() - bytes.data());
            Starts.push_back(start);
            Ends.push_back(start + line.size());
        });
        ForEachLine(Text, [&](std::string_view line) { Texts.push_back(line); });
        if (Texts.size() != Starts.size())
            throw std::logic_error("the decoded translation has other lines than its bytes");
    }
    TLines(const TLines&) = delete;
    TLines& operator=(const TLines&) = delete;

    std::size_t Count() const { return Starts.size(); }
    std::string_view Key(std::size_t line) const {
        const TKeyValueLine parsed = ParseKeyValueLine(Texts[line]);
        return parsed.IsEntry() ? parsed.Key(Texts[line]) : std::string_view();
    }
};

// The first line break of the text, CR LF when it has none.
std::string_view LineBreakOf(std::string_view bytes) {
    const std::size_t at = bytes.find_first_of("\r\n");
    if (at == std::string_view::npos)
        return "\r\n";
    if (bytes[at] == '\n')
        return "\n";
    return at + 1 < bytes.size() && bytes[at + 1] == '\n' ? "\r\n" : "\r";
}

} // namespace

TMissingKeyInsertions MissingKeyInsertions(std::string_view translation, TTextEncoding encoding,
                                           const TReferenceText& reference) {
    const TLines lines(translation, encoding);
    std::unordered_map<std::string_view, std::size_t> firstLineOfKey;
    std::optional<std::size_t> firstEntry;
    for (std::size_t line = 0; line < lines.Count(); ++line) {
        const std::string_view key = lines.Key(line);
        if (key.empty())
            continue;
        firstLineOfKey.try_emplace(key, line);
        if (!firstEntry)
            firstEntry = line;
    }

    // The missing keys in runs, each after the key before it that both have.
    struct TRun {
        std::optional<std::size_t> After;
        std::vector<std::size_t> ReferenceLines;
    };
    std::vector<TRun> runs;
    std::optional<std::size_t> after;
    bool inRun = false;
    for (std::size_t line = 0; line < reference.LineCount(); ++line) {
        if (!reference.IsFirstOfKey(line))
            continue;
        if (const auto hit = firstLineOfKey.find(reference.Key(line));
            hit != firstLineOfKey.end()) {
            after = hit->second;
            inRun = false;
            continue;
        }
        if (!inRun)
            runs.push_back({after, {}});
        inRun = true;
        runs.back().ReferenceLines.push_back(line);
    }

    const std::string_view lineBreak = LineBreakOf(translation);
    TMissingKeyInsertions result;
    for (const TRun& run : runs) {
        TKeyInsertion insertion;
        if (run.After) {
            insertion.Line = *run.After;
        } else if (firstEntry) {
            insertion.Line = *firstEntry;
            insertion.BeforeLine = true;
        } else {
            // No entry at all: at the end, on the empty line after a last
            // line break if there is one.
            insertion.Line = lines.Count() - 1;
            insertion.BeforeLine = lines.Texts.back().empty();
        }
        insertion.Offset =
            insertion.BeforeLine ? lines.Starts[insertion.Line] : lines.Ends[insertion.Line];
        for (std::size_t line : run.ReferenceLines) {
            const std::string_view text = reference.Line(line);
            if (const std::optional<char32_t> c = FirstUnencodable(text, encoding)) {
                result.Unencodable.push_back({std::string(reference.Key(line)), *c});
                continue;
            }
            const std::string bytes = EncodeText(text, encoding);
            if (!insertion.BeforeLine) {
                insertion.Bytes += lineBreak;
                insertion.Text += lineBreak;
            }
            insertion.Bytes += bytes;
            insertion.Text += text;
            if (insertion.BeforeLine) {
                insertion.Bytes += lineBreak;
                insertion.Text += lineBreak;
            }
            insertion.Keys.emplace_back(reference.Key(line));
        }
        if (!insertion.Keys.empty())
            result.Insertions.push_back(std::move(insertion));
    }
    std::sort(result.Insertions.begin(), result.Insertions.end(),
              [](const TKeyInsertion& a, const TKeyInsertion& b) { return a.Offset < b.Offset; });
    return result;
}

std::vector<TKeyRemoval> ObsoleteKeyRemovals(std::string_view translation, TTextEncoding encoding,
                                             const TReferenceText& reference) {
    const TLines lines(translation, encoding);
    std::vector<TKeyRemoval> removals;
    const auto obsolete = [&](std::size_t line) {
        const std::string_view key = lines.Key(line);
        return !key.empty() && !reference.LineOfKey(key);
    };
    for (std::size_t line = 0; line < lines.Count();) {
        if (!obsolete(line)) {
            ++line;
            continue;
        }
        TKeyRemoval removal;
        removal.FirstLine = line;
        for (; line < lines.Count() && obsolete(line); ++line)
            removal.Keys.emplace_back(lines.Key(line));
        removal.EndLine = line;
        if (removal.EndLine < lines.Count())
            removal.Offset = lines.Starts[removal.FirstLine];
        else if (removal.FirstLine > 0)
            removal.Offset = lines.Ends[removal.FirstLine - 1];
        const std::size_t end =
            removal.EndLine < lines.Count() ? lines.Starts[removal.EndLine] : translation.size();
        removal.Length = end - removal.Offset;
        removals.push_back(std::move(removal));
    }
    return removals;
}

std::string WithInsertions(std::string_view translation,
                           const std::vector<TKeyInsertion>& insertions) {
    std::string out(translation);
    for (auto i = insertions.rbegin(); i != insertions.rend(); ++i)
        out.insert(i->Offset, i->Bytes);
    return out;
}

std::string WithRemovals(std::string_view translation, const std::vector<TKeyRemoval>& removals) {
    std::string out(translation);
    for (auto r = removals.rbegin(); r != removals.rend(); ++r)
        out.erase(r->Offset, r->Length);
    return out;
}
