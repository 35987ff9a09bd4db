#include "workbench/XliffWriter.h"

#include "encoding/Utf8.h"

namespace {

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

bool AllXmlChars(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const TUtf8Char c = NextUtf8(text, i);
        if (!IsXmlChar(c.Code))
            return false;
        i += c.Length;
    }
    return true;
}

// Text or an attribute's value, escaped; characters XML cannot carry dropped.
// Line breaks and tabs in an attribute are written as references, so that
// reading it back does not turn them into blanks.
void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
    for (std::size_t i = 0; i < text.size();) {
        const TUtf8Char c = NextUtf8(text, i);
        const std::string_view bytes = text.substr(i, c.Length);
        i += c.Length;
        switch (c.Code) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        case '\r':
            out += "&#13;";
            break; // never read as a line break of the file
        case '\n':
            out += attribute ? "&#10;" : "\n";
            break;
        case '\t':
            out += attribute ? "&#9;" : "\t";
            break;
        default:
            if (IsXmlChar(c.Code))
                out += bytes;
        }
    }
}

std::string Escaped(std::string_view text, bool attribute = false) {
    std::string out;
    AppendEscaped(out, text, attribute);
    return out;
}

} // namespace

std::string LanguageTag(std::string_view name) {
    if (const auto code = LanguageCode(name)) {
        std::string tag = *code;
        for (char& c : tag)
            if (c == '_')
                c = '-';
        if (const std::size_t at = tag.find('@'); at != std::string::npos)
            tag.resize(at);
        return tag;
    }
    std::string letters;
    for (const char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            letters += c;
        else if (c >= 'A' && c <= 'Z')
            letters += static_cast<char>(c - 'A' + 'a');
        if (letters.size() == 8)
            break;
    }
    return letters.empty() ? "und" : "x-" + letters;
}

std::string WriteXliff(const TExchangeHeader& header, const std::vector<TExchangeUnit>& units) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<xliff version=\"1.2\" xmlns=\"urn:oasis:names:tc:xliff:document:1.2\">\n";
    out += "  <file original=\"" + Escaped(header.Original, true) +
           "\" datatype=\"plaintext\" source-language=\"" + LanguageTag(header.SourceLanguage) +
           "\"";
    if (!header.Language.empty())
        out += " target-language=\"" + LanguageTag(header.Language) + "\"";
    out += ">\n    <header>\n      <tool tool-id=\"wordlark\" tool-name=\"Wordlark\"";
    if (const std::size_t blank = header.Generator.rfind(' '); blank != std::string::npos)
        out += " tool-version=\"" + Escaped(header.Generator.substr(blank + 1), true) + "\"";
    out += "/>\n    </header>\n    <body>\n";
    for (const TExchangeUnit& unit : units) {
        const std::string key = Escaped(unit.Key, true);
        const bool carried = AllXmlChars(unit.Source) && AllXmlChars(unit.Target);
        out += "      <trans-unit id=\"" + key + "\" resname=\"" + key + "\"";
        if (!carried)
            out += " translate=\"no\"";
        // Tools that know no states go by "approved".
        if (!unit.Target.empty())
            out += unit.Fuzzy ? " approved=\"no\"" : " approved=\"yes\"";
        out += " xml:space=\"preserve\">\n";
        out += "        <source>" + Escaped(unit.Source) + "</source>\n";
        const char* state = unit.Target.empty() ? "new"
                            : unit.Fuzzy        ? "needs-review-translation"
                                                : "translated";
        out += std::string("        <target state=\"") + state + "\">" + Escaped(unit.Target) +
               "</target>\n";
        for (const std::string& comment : unit.Comments)
            out += "        <note>" + Escaped(comment) + "</note>\n";
        if (!carried)
            out += "        <note>Holds a control character that XLIFF cannot carry</note>\n";
        out += "      </trans-unit>\n";
    }
    out += "    </body>\n  </file>\n</xliff>\n";
    return out;
}
