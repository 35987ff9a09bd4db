#include "workbench/PoFile.h"

#include "encoding/TextEncoding.h"

#include <optional>

namespace {

// A PO string's contents: backslash, double quote and the three control
// characters the tools escape by name; every other character as it is.
void AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
}

void AppendString(std::string& out, std::string_view keyword, std::string_view text) {
    out += keyword;
    out += " \"";
    AppendEscaped(out, text);
    out += "\"\n";
}

// A header value on one line.
std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line)
        if (c == '\r' || c == '\n')
            c = ' ';
    return line;
}

} // namespace

std::string WritePo(const TExchangeHeader& header, const std::vector<TExchangeUnit>& units,
                    bool isTemplate) {
    std::string out;
    out += isTemplate ? "# Template for translations of " : "# Translation of ";
    out += OneLine(header.Original);
    out += "\n";
    if (isTemplate)
        out += "#, fuzzy\n";
    out += "msgid \"\"\nmsgstr \"\"\n";
    const auto field = [&](std::string_view name, std::string_view value) {
        out += '"';
        AppendEscaped(out, std::string(name) + ": " + OneLine(value) + "\n");
        out += "\"\n";
    };
    field("Project-Id-Version", header.Original);
    if (!header.Date.empty()) {
        field("POT-Creation-Date", header.Date);
        field("PO-Revision-Date", header.Date);
    }
    field("Last-Translator", "");
    field("Language-Team", "");
    field("Language", isTemplate ? "" : header.Language);
    field("MIME-Version", "1.0");
    field("Content-Type", "text/plain; charset=UTF-8");
    field("Content-Transfer-Encoding", "8bit");
    field("X-Generator", header.Generator);

    for (const TExchangeUnit& unit : units) {
        out += '\n';
        for (const std::string& comment : unit.Comments)
            out += "#. " + OneLine(comment) + "\n";
        if (unit.Fuzzy && !isTemplate)
            out += "#, fuzzy\n";
        AppendString(out, "msgctxt", unit.Key);
        AppendString(out, "msgid", unit.Source);
        AppendString(out, "msgstr", isTemplate ? std::string_view() : unit.Target);
    }
    return out;
}

// ---- Reading ----------------------------------------------------------------------

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The bytes of one quoted string (`text` starts at its opening quote and holds
// nothing else but blanks after the closing one), escapes undone.
std::string Unquote(std::string_view text, std::size_t line) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"')
        throw TExchangeFileError(line, "a string in double quotes was expected");
    std::string out;
    const std::string_view s = text.substr(1, text.size() - 2);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"')
            throw TExchangeFileError(line, "a double quote inside a string must be escaped");
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == s.size())
            throw TExchangeFileError(line, "the string ends in a backslash");
        switch (const char e = s[i]) {
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case 'a':
            out += '\a';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'v':
            out += '\v';
            break;
        case '\\':
        case '"':
        case '\'':
        case '?':
            out += e;
            break;
        case 'x': {
            int value = 0;
            std::size_t digits = 0;
            while (i + 1 < s.size() && HexValue(s[i + 1]) >= 0 && digits < 2) {
                value = value * 16 + HexValue(s[++i]);
                ++digits;
            }
            if (digits == 0)
                throw TExchangeFileError(line, "\\x without hexadecimal digits");
            out += static_cast<char>(value);
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                int value = e - '0';
                for (int k = 0; k < 2 && i + 1 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '7';
                     ++k)
                    value = value * 8 + (s[++i] - '0');
                out += static_cast<char>(value & 0xFF);
            } else {
                throw TExchangeFileError(line, std::string("unknown escape \\") + e);
            }
        }
    }
    return out;
}

// The value of a header field ("Content-Type"), or none.
std::optional<std::string> HeaderField(std::string_view header, std::string_view name) {
    std::size_t start = 0;
    while (start < header.size()) {
        std::size_t end = header.find('\n', start);
        if (end == std::string_view::npos)
            end = header.size();
        const std::string_view line = header.substr(start, end - start);
        if (line.size() > name.size() && line.substr(0, name.size()) == name &&
            line[name.size()] == ':')
            return std::string(Trimmed(line.substr(name.size() + 1)));
        start = end + 1;
    }
    return std::nullopt;
}

// The encoding a charset names: UTF-8 (or plain ASCII, or the template's
// placeholder) or a Windows code page ("windows-1250", "CP1250").
std::optional<TEncoding> CharsetEncoding(std::string charset) {
    for (char& c : charset)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (charset.empty() || charset == "utf-8" || charset == "utf8" || charset == "charset" ||
        charset == "ascii" || charset == "us-ascii")
        return TEncoding::Utf8;
    for (const std::string_view prefix : {"windows-", "cp", "win"})
        if (charset.starts_with(prefix))
            return EncodingFromName("Windows-" + charset.substr(prefix.size()));
    return std::nullopt;
}

// One entry as read, its strings still bytes in the file's charset.
struct TRawEntry {
    std::size_t Line = 0; // of its first keyword
    bool Obsolete = false;
    bool Fuzzy = false;
    std::vector<std::string> Comments;
    std::optional<std::string> Context;
    std::optional<std::string> Id;
    std::optional<std::string> Str;
    bool Started() const { return Line != 0; }
};

class TPoReader {
public:
    explicit TPoReader(std::string_view bytes) : FBytes(bytes) {
        if (FBytes.starts_with("\xEF\xBB\xBF"))
            FBytes.remove_prefix(3);
    }

    TExchangeDocument Read() {
        std::size_t start = 0;
        while (start <= FBytes.size()) {
            std::size_t end = FBytes.find('\n', start);
            if (end == std::string_view::npos)
                end = FBytes.size();
            ++FLine;
            ReadLine(Trimmed(FBytes.substr(start, end - start)));
            start = end + 1;
        }
        Finish();
        return Decode();
    }

private:
    void ReadLine(std::string_view line) {
        if (line.empty()) {
            Finish();
            return;
        }
        if (line.starts_with("#~")) {
            // An obsolete entry: read on, but it is dropped.
            if (FEntry.Str)
                Finish();
            FEntry.Obsolete = true;
            return;
        }
        if (line.front() == '#') {
            if (FEntry.Str)
                Finish();
            if (line.starts_with("#,")) {
                std::string_view flags = line.substr(2);
                while (!flags.empty()) {
                    const std::size_t comma = flags.find(',');
                    if (Trimmed(flags.substr(0, comma)) == "fuzzy")
                        FEntry.Fuzzy = true;
                    flags = comma == std::string_view::npos ? std::string_view()
                                                            : flags.substr(comma + 1);
                }
            } else if (line.starts_with("#.")) {
                FEntry.Comments.emplace_back(Trimmed(line.substr(2)));
            }
            return;
        }
        if (line.front() == '"') {
            if (!FField)
                throw TExchangeFileError(FLine, "a string without a keyword before it");
            *FField += Unquote(line, FLine);
            return;
        }
        const std::size_t blank = line.find_first_of(" \t");
        if (blank == std::string_view::npos)
            throw TExchangeFileError(FLine, "a keyword and a string were expected");
        const std::string_view keyword = line.substr(0, blank);
        std::string value = Unquote(Trimmed(line.substr(blank)), FLine);
        if (FEntry.Obsolete)
            FEntry = {}; // the obsolete entry before this one had no blank line after it
        if ((keyword == "msgctxt" || keyword == "msgid") && FEntry.Str)
            Finish();
        if (!FEntry.Started())
            FEntry.Line = FLine;
        if (keyword == "msgctxt") {
            if (FEntry.Context || FEntry.Id)
                throw TExchangeFileError(FLine, "msgctxt in the middle of an entry");
            FField = &FEntry.Context.emplace(std::move(value));
        } else if (keyword == "msgid") {
            if (FEntry.Id)
                throw TExchangeFileError(FLine, "a second msgid in one entry");
            FField = &FEntry.Id.emplace(std::move(value));
        } else if (keyword == "msgid_plural") {
            FPlural.clear();
            FField = &FPlural;
        } else if (keyword == "msgstr" || keyword == "msgstr[0]") {
            if (!FEntry.Id)
                throw TExchangeFileError(FLine, "msgstr without a msgid before it");
            FField = &FEntry.Str.emplace(std::move(value));
        } else if (keyword.starts_with("msgstr[")) {
            FPlural.clear();
            FField = &FPlural; // further plural forms are not carried
        } else {
            throw TExchangeFileError(FLine, "unknown keyword " + std::string(keyword));
        }
    }

    void Finish() {
        if (FEntry.Started() && !FEntry.Obsolete) {
            if (!FEntry.Id || !FEntry.Str)
                throw TExchangeFileError(FEntry.Line, "an entry without msgid and msgstr");
            FEntries.push_back(std::move(FEntry));
        }
        FEntry = {};
        FField = nullptr;
    }

    std::string Text(const std::string& bytes, TEncoding encoding, std::size_t line) const {
        if (encoding != TEncoding::Utf8)
            return DecodeText(bytes, encoding);
        // The text itself: no character of it stands for a byte here.
        if (!IsValidUtf8(bytes))
            throw TExchangeFileError(line, "the text is not valid UTF-8");
        return bytes;
    }

    TExchangeDocument Decode() {
        TExchangeDocument document;
        TEncoding encoding = TEncoding::Utf8;
        const TRawEntry* header = nullptr;
        for (const TRawEntry& entry : FEntries)
            if (!entry.Context && entry.Id->empty())
                header = &entry;
        if (header) {
            const std::string type = HeaderField(*header->Str, "Content-Type").value_or("");
            const std::size_t at = type.find("charset=");
            const std::string charset = at == std::string::npos ? "" : type.substr(at + 8);
            const std::optional<TEncoding> known = CharsetEncoding(std::string(Trimmed(charset)));
            if (!known)
                throw TExchangeFileError(header->Line, "the charset " + charset +
                                                           " is not supported; save "
                                                           "the file as UTF-8");
            encoding = *known;
            const std::string text = Text(*header->Str, encoding, header->Line);
            document.Header.Original = HeaderField(text, "Project-Id-Version").value_or("");
            document.Header.Language = HeaderField(text, "Language").value_or("");
            document.Header.Generator = HeaderField(text, "X-Generator").value_or("");
            document.Header.Date = HeaderField(text, "PO-Revision-Date").value_or("");
        }
        for (const TRawEntry& entry : FEntries) {
            if (&entry == header)
                continue;
            if (!entry.Context) {
                document.Unkeyed.push_back(entry.Line);
                continue;
            }
            TExchangeUnit unit;
            unit.Key = Text(*entry.Context, encoding, entry.Line);
            unit.Source = Text(*entry.Id, encoding, entry.Line);
            unit.Target = Text(*entry.Str, encoding, entry.Line);
            unit.Fuzzy = entry.Fuzzy;
            for (const std::string& comment : entry.Comments)
                unit.Comments.push_back(Text(comment, encoding, entry.Line));
            unit.Line = entry.Line;
            document.Units.push_back(std::move(unit));
        }
        return document;
    }

    std::string_view FBytes;
    std::size_t FLine = 0;
    TRawEntry FEntry;
    std::string* FField = nullptr;
    std::string FPlural;
    std::vector<TRawEntry> FEntries;
};

} // namespace

TExchangeDocument ReadPo(std::string_view bytes) {
    return TPoReader(bytes).Read();
}
