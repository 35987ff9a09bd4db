// Scans one arbitrary line with TSynIniSyn the way the editor hands it over:
// NUL-terminated, cut at the input's first NUL. The line sits in a heap block
// of exactly its size plus the NUL, so a read past the end is caught.
//
// Checked: the tokens tile the line in order with no gap, overlap or empty
// token; the scan ends with tkNull on the NUL and stays there; every token's
// kind fits its characters and column.
#include "editor/SynIniSyn.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "SynIniSynFuzz: %s\n", what);
        std::abort();
    }
}

bool IsSpace(unsigned char c) {
    return c >= 1 && c <= 32;
}

bool IsLineEnd(unsigned char c) {
    return c == 0 || c == '\n' || c == '\r';
}

bool IsAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsNumberChar(unsigned char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E';
}

// What a token of this kind may hold, and where it must stop; `next` is the
// character behind it (the NUL at the end of the line).
void CheckToken(int kind, const std::string& token, int pos, unsigned char next) {
    const auto first = static_cast<unsigned char>(token[0]);
    switch (kind) {
    case tkComment:
        Check(pos == 0 && first == ';', "a comment not at the start of the line");
        Check(token.find_first_of("\r\n") == std::string::npos, "a comment runs over a line end");
        Check(IsLineEnd(next), "a comment stops before the line end");
        break;
    case tkSection:
        Check(pos == 0 && first == '[', "a section not at the start of the line");
        Check(token.find(']') == std::string::npos || token.find(']') == token.size() - 1,
              "a section runs past its closing bracket");
        Check(token.find_first_of("\r\n") == std::string::npos, "a section runs over a line end");
        Check(token.back() == ']' || IsLineEnd(next), "a section stops too early");
        break;
    case tkKey:
        Check(pos == 0, "a key not at the start of the line");
        Check(token.find_first_of("=\r\n", 1) == std::string::npos,
              "a key runs over an equals sign or a line end");
        Check(IsLineEnd(next) || next == '=', "a key stops before the equals sign");
        break;
    case tkSpace:
        if (token == "\n" || token == "\r" || token == "\r\n")
            break;
        for (char c : token) {
            const auto u = static_cast<unsigned char>(c);
            Check(IsSpace(u) && !IsLineEnd(u), "a blank run holds something else");
        }
        Check(!IsSpace(next) || IsLineEnd(next), "a blank run stops before the last blank");
        break;
    case tkSymbol:
        Check(token == "=", "a symbol other than the equals sign");
        break;
    case tkNumber:
        Check(pos > 0 && first >= '0' && first <= '9', "a number not starting with a digit");
        for (char c : token)
            Check(IsNumberChar(static_cast<unsigned char>(c)), "a number holds other characters");
        Check(!IsNumberChar(next) && !IsAlnum(next), "a number stops too early");
        break;
    case tkString:
        Check(first == '"' || first == '\'', "a string not starting with a quote");
        for (size_t i = 1; i + 1 < token.size(); ++i)
            Check(!IsLineEnd(static_cast<unsigned char>(token[i])),
                  "a string runs over a line end");
        Check(next == 0 || (token.size() >= 2 && (token.back() == token[0] ||
                                                  token.back() == '\r' || token.back() == '\n')),
              "a string stops before its closing quote");
        break;
    case tkText:
        Check(pos > 0, "text at the start of the line");
        if (first != ';' && first != '[')
            Check(!IsAlnum(next), "a word stops in the middle");
        break;
    default:
        Check(false, "a token kind the scanner never produces");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const void* nul = std::memchr(data, 0, size);
    const size_t length =
        nul ? static_cast<size_t>(static_cast<const std::uint8_t*>(nul) - data) : size;
    std::unique_ptr<char[]> line(new char[length + 1]);
    std::memcpy(line.get(), data, length);
    line[length] = '\0';
    const std::string text(line.get(), length);
    const int end = static_cast<int>(length);

    TSynIniSyn highlighter;
    TSynCustomHighlighter& hl = highlighter;
    hl.SetLine(line.get(), 7);
    int expected = 0;
    // Every token but the last takes at least one character.
    for (size_t tokens = 0; !hl.GetEol(); ++tokens) {
        Check(tokens < length, "more tokens than characters");
        const int pos = hl.GetTokenPos();
        const std::string token = hl.GetToken();
        Check(pos == expected, "a gap or an overlap between two tokens");
        Check(!token.empty(), "an empty token before the end of the line");
        Check(static_cast<size_t>(pos) + token.size() <= length, "a token past the line's end");
        Check(text.compare(static_cast<size_t>(pos), token.size(), token) == 0,
              "a token is not the line's characters");
        Check(hl.GetTokenAttribute() != nullptr, "a token without an attribute");
        expected = pos + static_cast<int>(token.size());
        CheckToken(hl.GetTokenKind(), token, pos,
                   static_cast<unsigned char>(line[static_cast<size_t>(expected)]));
        hl.Next();
    }
    for (int again = 0; again < 3; ++again) {
        Check(hl.GetTokenKind() == tkNull && hl.GetEol(), "the scan left tkNull");
        Check(hl.GetTokenPos() == end, "tkNull is not at the line's end");
        Check(hl.GetToken().empty(), "tkNull has characters");
        Check(hl.GetTokenAttribute() == nullptr, "tkNull has an attribute");
        hl.Next();
    }
    return 0;
}
