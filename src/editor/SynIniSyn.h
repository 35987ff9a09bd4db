// Syntax highlighting for the translation editor.
//
// TSynCustomHighlighter is the interface the editor paints through: for every
// visible line it calls SetLine, then walks the tokens with GetTokenPos,
// GetToken, GetTokenAttribute and Next until GetEol. TSynIniSyn is the INI-style
// highlighter: each line is scanned by itself, in place, with one table lookup
// per token and no allocation (only GetToken builds a string).
//
// Plain C++ on 8-bit characters; no Qt here.
#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A Windows colour value, 0x00BBGGRR.
using TColor = std::int32_t;
// "No colour": the editor uses its own font colour or background.
constexpr TColor clNone = 0x1FFFFFFF;

enum TFontStyle : std::uint8_t {
    fsBold = 1 << 0,
    fsItalic = 1 << 1,
    fsUnderline = 1 << 2,
    fsStrikeOut = 1 << 3,
};
// A set of TFontStyle flags.
using TFontStyles = std::uint8_t;

// The 8-bit characters that make up a word (word selection and movement).
using TSynIdentChars = std::bitset<256>;

// How one kind of token is painted. A change to any property calls the change
// hook, which the owning highlighter forwards to its editors.
class TSynHighlighterAttributes {
public:
    explicit TSynHighlighterAttributes(std::string name) : FName(std::move(name)) {}
    TSynHighlighterAttributes(const TSynHighlighterAttributes&) = delete;
    TSynHighlighterAttributes& operator=(const TSynHighlighterAttributes&) = delete;

    const std::string& Name() const { return FName; }
    TColor Foreground() const { return FForeground; }
    TColor Background() const { return FBackground; }
    TFontStyles Style() const { return FStyle; }

    // Each setter reports a change only when the value really changes.
    void SetForeground(TColor value);
    void SetBackground(TColor value);
    void SetStyle(TFontStyles value);

    void SetOnChange(std::function<void()> handler) { FOnChange = std::move(handler); }

private:
    void Changed();

    std::string FName;
    TColor FForeground = clNone;
    TColor FBackground = clNone;
    TFontStyles FStyle = 0;
    std::function<void()> FOnChange;
};

// Role indices for GetDefaultAttribute.
enum TSynAttrRole : int {
    sarComment = 0,
    sarIdentifier = 1,
    sarKeyword = 2,
    sarString = 3,
    sarWhitespace = 4,
    sarSymbol = 5,
};

class TSynCustomHighlighter {
public:
    TSynCustomHighlighter() = default;
    TSynCustomHighlighter(const TSynCustomHighlighter&) = delete;
    TSynCustomHighlighter& operator=(const TSynCustomHighlighter&) = delete;
    virtual ~TSynCustomHighlighter() = default;

    virtual TSynHighlighterAttributes* GetDefaultAttribute(int index) const = 0;
    // Base set: ASCII letters, digits and the underscore.
    virtual TSynIdentChars GetIdentChars() const;
    virtual std::string GetSampleSource() const { return {}; }
    virtual std::string GetLanguageName() const = 0;
    virtual bool GetEol() const = 0;
    virtual std::string GetToken() const = 0;
    virtual TSynHighlighterAttributes* GetTokenAttribute() const = 0;
    virtual int GetTokenKind() const = 0;
    virtual int GetTokenPos() const = 0;
    virtual void Next() = 0;
    // The line must stay alive and unchanged until the next SetLine; it ends at
    // its first NUL character.
    virtual void SetLine(const char* line, int lineIndex) = 0;

    // Highlighters that carry state from one line to the next save and restore
    // it here; by default there is none.
    virtual void* GetRange() const { return nullptr; }
    virtual void SetRange(void* /*range*/) {}
    virtual void ResetRange() {}

    // Registers an attribute, kept sorted by name (ASCII letters compared
    // without case). A second attribute of the same name is refused and left
    // unhooked. The list does not own the attribute; the caller keeps it alive
    // as long as the highlighter.
    bool AddAttribute(TSynHighlighterAttributes* attribute);
    int AttrCount() const { return static_cast<int>(FAttributes.size()); }
    TSynHighlighterAttributes* Attribute(int index) const { return FAttributes.at(index); }

    const std::string& DefaultFilter() const { return FDefaultFilter; }
    void SetDefaultFilter(std::string filter) { FDefaultFilter = std::move(filter); }

    // Editors register here to repaint when an attribute changes. The returned
    // id removes the listener again.
    int AddChangeListener(std::function<void()> listener);
    void RemoveChangeListener(int id);

protected:
    void DefHighlightChange();

private:
    std::vector<TSynHighlighterAttributes*> FAttributes;
    std::string FDefaultFilter;
    std::vector<std::pair<int, std::function<void()>>> FChangeListeners;
    int FNextListenerId = 1;
};

enum TtkTokenKind : std::uint8_t {
    tkComment,
    tkText,
    tkSection,
    tkKey,
    tkNull,
    tkNumber,
    tkSpace,
    tkString,
    tkSymbol,
    tkUnknown,
};

class TSynIniSyn final : public TSynCustomHighlighter {
public:
    TSynIniSyn();

    TSynHighlighterAttributes* GetDefaultAttribute(int index) const override;
    TSynIdentChars GetIdentChars() const override;
    std::string GetSampleSource() const override;
    std::string GetLanguageName() const override { return LanguageName(); }
    bool GetEol() const override { return FTokenID == tkNull; }
    std::string GetToken() const override;
    TSynHighlighterAttributes* GetTokenAttribute() const override;
    int GetTokenKind() const override { return FTokenID; }
    int GetTokenPos() const override { return FTokenPos; }
    void Next() override;
    void SetLine(const char* line, int lineIndex) override;

    TtkTokenKind GetTokenID() const { return FTokenID; }
    // The language name without an instance, for lists of highlighters.
    static std::string LanguageName() { return "INI File"; }

    TSynHighlighterAttributes* CommentAttri() { return &FCommentAttri; }
    TSynHighlighterAttributes* TextAttri() { return &FTextAttri; }
    TSynHighlighterAttributes* SectionAttri() { return &FSectionAttri; }
    TSynHighlighterAttributes* KeyAttri() { return &FKeyAttri; }
    TSynHighlighterAttributes* NumberAttri() { return &FNumberAttri; }
    TSynHighlighterAttributes* SpaceAttri() { return &FSpaceAttri; }
    TSynHighlighterAttributes* StringAttri() { return &FStringAttri; }
    TSynHighlighterAttributes* SymbolAttri() { return &FSymbolAttri; }

private:
    using TProcTableProc = void (TSynIniSyn::*)();

    void MakeMethodTables();

    void NullProc();
    void LFProc();
    void CRProc();
    void SpaceProc();
    void EqualProc();
    void SemiColonProc();
    void SectionOpenProc();
    void KeyProc();
    void TextProc();
    void NumberProc();
    void StringProc();
    void StringProc1();
    void QuotedString(unsigned char quote);

    const unsigned char* FLine;
    std::int32_t FLineNumber = 0;
    std::int32_t FRun = 0;
    std::int32_t FTokenPos = 0;
    TtkTokenKind FTokenID = tkNull;

    // Declared in the order in which they are created.
    TSynHighlighterAttributes FCommentAttri{"Comment"};
    TSynHighlighterAttributes FTextAttri{"Text"};
    TSynHighlighterAttributes FSectionAttri{"Section"};
    TSynHighlighterAttributes FKeyAttri{"Key"};
    TSynHighlighterAttributes FNumberAttri{"Number"};
    TSynHighlighterAttributes FSpaceAttri{"Space"};
    TSynHighlighterAttributes FStringAttri{"String"};
    TSynHighlighterAttributes FSymbolAttri{"Symbol"};

    // The attribute that paints each token kind; none for tkNull.
    TSynHighlighterAttributes* FTokenAttri[tkUnknown + 1];
    TProcTableProc FProcTable[256];
};
