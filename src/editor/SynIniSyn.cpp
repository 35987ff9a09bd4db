#include "editor/SynIniSyn.h"

#include <algorithm>
#include <array>

namespace {

// Character classes for the scanning loops, one byte of flags per code, so
// each loop step is one load and one test.
enum : std::uint8_t {
    ccSpace = 1 << 0,      // 1..9, 11, 12, 14..32
    ccAlnum = 1 << 1,      // A..Z, a..z, 0..9
    ccLetter = 1 << 2,     // A..Z, a..z
    ccNumber = 1 << 3,     // 0..9, '.', 'e', 'E'
    ccLineEnd = 1 << 4,    // NUL, LF, CR
    ccKeyEnd = 1 << 5,     // NUL, LF, CR, '='
    ccDoubleQEnd = 1 << 6, // NUL, LF, CR, '"'
    ccSingleQEnd = 1 << 7, // NUL, LF, CR, '\''
};

constexpr std::array<std::uint8_t, 256> MakeCharClasses() {
    std::array<std::uint8_t, 256> cc{};
    for (int c = 1; c <= 32; ++c)
        if (c != 10 && c != 13)
            cc[c] |= ccSpace;
    for (int c = 'A'; c <= 'Z'; ++c)
        cc[c] |= ccAlnum | ccLetter;
    for (int c = 'a'; c <= 'z'; ++c)
        cc[c] |= ccAlnum | ccLetter;
    for (int c = '0'; c <= '9'; ++c)
        cc[c] |= ccAlnum | ccNumber;
    cc['.'] |= ccNumber;
    cc['e'] |= ccNumber;
    cc['E'] |= ccNumber;
    for (int c : {0, 10, 13})
        cc[c] |= ccLineEnd | ccKeyEnd | ccDoubleQEnd | ccSingleQEnd;
    cc['='] |= ccKeyEnd;
    cc['"'] |= ccDoubleQEnd;
    cc['\''] |= ccSingleQEnd;
    return cc;
}

constexpr std::array<std::uint8_t, 256> CharClass = MakeCharClasses();

inline bool Is(unsigned char c, std::uint8_t cls) {
    return (CharClass[c] & cls) != 0;
}

// Advances p past every character of the class; the class never holds NUL,
// so the loop stops at the end of the line at the latest. Unrolled: tokens are
// mostly short and the loop is the whole cost of a token. Each byte is tested
// before the next one is read.
inline const unsigned char* SkipWhile(const unsigned char* p, std::uint8_t cls) {
    for (;; p += 4) {
        if (!Is(p[0], cls))
            return p;
        if (!Is(p[1], cls))
            return p + 1;
        if (!Is(p[2], cls))
            return p + 2;
        if (!Is(p[3], cls))
            return p + 3;
    }
}

// Advances p to the first character of the class; the class always holds NUL.
inline const unsigned char* SkipUntil(const unsigned char* p, std::uint8_t cls) {
    for (;; p += 4) {
        if (Is(p[0], cls))
            return p;
        if (Is(p[1], cls))
            return p + 1;
        if (Is(p[2], cls))
            return p + 2;
        if (Is(p[3], cls))
            return p + 3;
    }
}

const unsigned char EmptyLine[1] = {0};

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// <0, 0 or >0, ASCII letters compared without case.
int CompareNames(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(AsciiLower(a[i]));
        unsigned char y = static_cast<unsigned char>(AsciiLower(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace

// ---------------------------------------------------------------------------
// TSynHighlighterAttributes

void TSynHighlighterAttributes::SetForeground(TColor value) {
    if (FForeground == value)
        return;
    FForeground = value;
    Changed();
}

void TSynHighlighterAttributes::SetBackground(TColor value) {
    if (FBackground == value)
        return;
    FBackground = value;
    Changed();
}

void TSynHighlighterAttributes::SetStyle(TFontStyles value) {
    if (FStyle == value)
        return;
    FStyle = value;
    Changed();
}

void TSynHighlighterAttributes::Changed() {
    if (FOnChange)
        FOnChange();
}

// ---------------------------------------------------------------------------
// TSynCustomHighlighter

TSynIdentChars TSynCustomHighlighter::GetIdentChars() const {
    TSynIdentChars chars;
    for (int c = 0; c < 256; ++c)
        chars[c] = Is(static_cast<unsigned char>(c), ccAlnum) || c == '_';
    return chars;
}

bool TSynCustomHighlighter::AddAttribute(TSynHighlighterAttributes* attribute) {
    auto at = std::lower_bound(
        FAttributes.begin(), FAttributes.end(), attribute,
        [](const TSynHighlighterAttributes* a, const TSynHighlighterAttributes* b) {
            return CompareNames(a->Name(), b->Name()) < 0;
        });
    if (at != FAttributes.end() && CompareNames((*at)->Name(), attribute->Name()) == 0)
        return false;
    FAttributes.insert(at, attribute);
    attribute->SetOnChange([this] { DefHighlightChange(); });
    return true;
}

int TSynCustomHighlighter::AddChangeListener(std::function<void()> listener) {
    int id = FNextListenerId++;
    FChangeListeners.emplace_back(id, std::move(listener));
    return id;
}

void TSynCustomHighlighter::RemoveChangeListener(int id) {
    std::erase_if(FChangeListeners, [id](const auto& entry) { return entry.first == id; });
}

void TSynCustomHighlighter::DefHighlightChange() {
    // A copy, so that a listener may add or remove listeners while it runs.
    auto listeners = FChangeListeners;
    for (auto& entry : listeners)
        entry.second();
}

// ---------------------------------------------------------------------------
// TSynIniSyn

TSynIniSyn::TSynIniSyn() : FLine(EmptyLine) {
    FCommentAttri.SetStyle(fsItalic);
    FCommentAttri.SetForeground(0x008000);
    FSectionAttri.SetStyle(fsBold);
    for (auto* attribute : {&FCommentAttri, &FTextAttri, &FSectionAttri, &FKeyAttri, &FNumberAttri,
                            &FSpaceAttri, &FStringAttri, &FSymbolAttri})
        AddAttribute(attribute);
    FTokenAttri[tkComment] = &FCommentAttri;
    FTokenAttri[tkText] = &FTextAttri;
    FTokenAttri[tkSection] = &FSectionAttri;
    FTokenAttri[tkKey] = &FKeyAttri;
    FTokenAttri[tkNull] = nullptr;
    FTokenAttri[tkNumber] = &FNumberAttri;
    FTokenAttri[tkSpace] = &FSpaceAttri;
    FTokenAttri[tkString] = &FStringAttri;
    FTokenAttri[tkSymbol] = &FSymbolAttri;
    FTokenAttri[tkUnknown] = &FTextAttri;
    SetDefaultFilter("INI Files (*.ini)|*.ini");
    MakeMethodTables();
}

void TSynIniSyn::MakeMethodTables() {
    for (int c = 0; c < 256; ++c) {
        TProcTableProc proc = &TSynIniSyn::TextProc;
        if (c == 0)
            proc = &TSynIniSyn::NullProc;
        else if (c == 10)
            proc = &TSynIniSyn::LFProc;
        else if (c == 13)
            proc = &TSynIniSyn::CRProc;
        else if (c <= 32)
            proc = &TSynIniSyn::SpaceProc;
        else if (c == '"')
            proc = &TSynIniSyn::StringProc;
        else if (c == '\'')
            proc = &TSynIniSyn::StringProc1;
        else if (c >= '0' && c <= '9')
            proc = &TSynIniSyn::NumberProc;
        else if (c == ';')
            proc = &TSynIniSyn::SemiColonProc;
        else if (c == '=')
            proc = &TSynIniSyn::EqualProc;
        else if (c == '[')
            proc = &TSynIniSyn::SectionOpenProc;
        FProcTable[c] = proc;
    }
}

void TSynIniSyn::SetLine(const char* line, int lineIndex) {
    FLine = line ? reinterpret_cast<const unsigned char*>(line) : EmptyLine;
    FRun = 0;
    FLineNumber = lineIndex;
    Next();
}

void TSynIniSyn::Next() {
    FTokenPos = FRun;
    (this->*FProcTable[FLine[FRun]])();
}

std::string TSynIniSyn::GetToken() const {
    return std::string(reinterpret_cast<const char*>(FLine) + FTokenPos,
                       static_cast<size_t>(FRun - FTokenPos));
}

TSynHighlighterAttributes* TSynIniSyn::GetTokenAttribute() const {
    return FTokenAttri[FTokenID];
}

TSynHighlighterAttributes* TSynIniSyn::GetDefaultAttribute(int index) const {
    switch (index) {
    case sarComment:
        return FTokenAttri[tkComment];
    case sarKeyword:
        return FTokenAttri[tkKey];
    case sarString:
        return FTokenAttri[tkString];
    case sarWhitespace:
        return FTokenAttri[tkSpace];
    case sarSymbol:
        return FTokenAttri[tkSymbol];
    default:
        return nullptr;
    }
}

TSynIdentChars TSynIniSyn::GetIdentChars() const {
    TSynIdentChars chars = TSynCustomHighlighter::GetIdentChars();
    for (int c = 0xC0; c <= 0xFF; ++c)
        chars[c] = c != 0xD7 && c != 0xF7;
    return chars;
}

std::string TSynIniSyn::GetSampleSource() const {
    return "; Syntax highlighting\r\n"
           "[Section]\r\n"
           "Key=value\r\n"
           "String=\"Arial\"\r\n"
           "Number=123456";
}

// ---------------------------------------------------------------------------
// Token procedures. Each starts with FRun on the token's first character and
// leaves it past the token's last one. None of them looks beyond the NUL that
// ends the line.

void TSynIniSyn::NullProc() {
    FTokenID = tkNull;
}

void TSynIniSyn::LFProc() {
    FTokenID = tkSpace;
    ++FRun;
}

void TSynIniSyn::CRProc() {
    FTokenID = tkSpace;
    FRun += FLine[FRun + 1] == 10 ? 2 : 1;
}

void TSynIniSyn::SpaceProc() {
    FTokenID = tkSpace;
    FRun = static_cast<std::int32_t>(SkipWhile(FLine + FRun + 1, ccSpace) - FLine);
}

void TSynIniSyn::EqualProc() {
    FTokenID = tkSymbol;
    ++FRun;
}

void TSynIniSyn::SemiColonProc() {
    if (FRun == 0) {
        FTokenID = tkComment;
        FRun = static_cast<std::int32_t>(SkipUntil(FLine + 1, ccLineEnd) - FLine);
    } else {
        FTokenID = tkText;
        ++FRun;
    }
}

void TSynIniSyn::SectionOpenProc() {
    if (FRun != 0) {
        FTokenID = tkText;
        ++FRun;
        return;
    }
    FTokenID = tkSection;
    const unsigned char* p = FLine + 1;
    while (!Is(*p, ccLineEnd)) {
        if (*p++ == ']')
            break;
    }
    FRun = static_cast<std::int32_t>(p - FLine);
}

void TSynIniSyn::KeyProc() {
    FTokenID = tkKey;
    FRun = static_cast<std::int32_t>(SkipUntil(FLine + FRun + 1, ccKeyEnd) - FLine);
}

void TSynIniSyn::TextProc() {
    if (FRun == 0) {
        KeyProc();
        return;
    }
    FTokenID = tkText;
    FRun = static_cast<std::int32_t>(SkipWhile(FLine + FRun + 1, ccAlnum) - FLine);
}

void TSynIniSyn::NumberProc() {
    if (FRun == 0) {
        KeyProc();
        return;
    }
    const unsigned char* p = SkipWhile(FLine + FRun + 1, ccNumber);
    if (Is(*p, ccLetter)) {
        // Digits run into a word, as in "12ab": the whole token is text.
        FTokenID = tkText;
        p = SkipWhile(p + 1, ccAlnum);
    } else {
        FTokenID = tkNumber;
    }
    FRun = static_cast<std::int32_t>(p - FLine);
}

void TSynIniSyn::StringProc() {
    QuotedString('"');
}

void TSynIniSyn::StringProc1() {
    QuotedString('\'');
}

void TSynIniSyn::QuotedString(unsigned char quote) {
    FTokenID = tkString;
    const unsigned char* p = FLine + FRun;
    // Three quotes in a row open the string: the scan starts from the third.
    // p[2] is read only when p[1] is a quote, so never past the NUL.
    if (p[1] == quote && p[2] == quote)
        p += 2;
    // p stands on a quote: take it, then run up to the closing quote or the end.
    p = SkipUntil(p + 1, quote == '"' ? ccDoubleQEnd : ccSingleQEnd);
    // The closing quote, or a CR or LF that cut the string short, belongs to it.
    if (*p != 0)
        ++p;
    FRun = static_cast<std::int32_t>(p - FLine);
}
