// TIniLexer: the bridge between QScintilla and the INI highlighter.
//
// Scintilla asks for styles in ranges of whole lines; the lexer copies the
// lines into one reusable buffer, ends each with a NUL in place of its line
// break, lets TSynIniSyn split it into tokens and writes one style byte per text
// byte into a second buffer, which goes to Scintilla in one SCI_SETSTYLINGEX.
// Large ranges go in chunks of about 64 KB of whole lines, so both buffers stay
// small and in the cache.
// Every token kind has its own Scintilla style whose colours and font style come
// from the highlighter's attribute for that kind.
//
// The highlighter keeps no state from one line to the next, so after an edit
// only the edited lines need new styles: the lexer remembers which lines are
// styled and which were touched since, and styles only those, not everything
// from the edit down to the end of the view as Scintilla would ask by itself.
//
// A document without styles (a very large text, see TSynEditor) is painted
// through indicators instead: text colour, background, underline and
// strike-out of each token, on the lines in view and a band around them only,
// so that they cost nothing for the rest of the text. Bold and italic, which
// indicators cannot draw, are left out there.
#pragma once

#include "editor/SynIniSyn.h"

#include <Qsci/qscilexercustom.h>

#include <QColor>
#include <QFont>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Finds the line breaks (CR, LF) of a byte range from left to right. Two
// memchr searches, each repeated only once its last hit is passed, so text with
// one kind of line break costs one fast scan.
class TLineEndFinder {
public:
    TLineEndFinder(const char* begin, const char* end)
        : FEnd(end), FCr(Find(begin, '\r')), FLf(Find(begin, '\n')) {}

    // The first CR or LF at or after p, or the end of the range.
    const char* Next(const char* p) {
        if (FCr < p)
            FCr = Find(p, '\r');
        if (FLf < p)
            FLf = Find(p, '\n');
        if (FCr == p || FLf == p)
            return p;
        return FCr < FLf ? FCr : FLf;
    }

    // The length of the line break at p (CR LF: 2; CR or LF: 1).
    std::size_t BreakLength(const char* p) const {
        return (*p == '\r' && p + 1 < FEnd && p[1] == '\n') ? 2 : 1;
    }

private:
    const char* Find(const char* p, char c) const {
        const void* hit = std::memchr(p, c, static_cast<std::size_t>(FEnd - p));
        return hit ? static_cast<const char*>(hit) : FEnd;
    }

    const char* FEnd;
    const char* FCr; // the next CR, FEnd when there is none
    const char* FLf; // the next LF, FEnd when there is none
};

class TIniLexer : public QsciLexerCustom {
    Q_OBJECT
public:
    // Style numbers: 0 is the editor's plain style (text the highlighter did not
    // reach, after a NUL byte inside a line); each token kind k has style k + 1.
    static constexpr int StylePlain = 0;
    static constexpr int StyleOf(int tokenKind) { return tokenKind + 1; }
    static constexpr int StyleCount = tkUnknown + 2;
    // The indicator that draws strike-out, which Scintilla styles cannot.
    static constexpr int StrikeIndicator = 8;
    // The indicators that draw the text colour, background and underline of
    // the tokens in a document without styles.
    static constexpr int ForeIndicator = 10;
    static constexpr int BackIndicator = 11;
    static constexpr int UnderlineIndicator = 12;
    // Lines above and below the view that are painted with it when the
    // document has no styles.
    static constexpr int BandLines = 200;

    explicit TIniLexer(QObject* parent = nullptr);
    ~TIniLexer() override;

    TSynIniSyn* SynINI() { return &FSyn; }

    // Styles exactly the lines in [start, end); start is a line start and end a
    // line start or the end of the text.
    void styleText(int start, int end) override;

    // The editor's font and colours, used where an attribute says "none";
    // re-applies every token style.
    void SetBaseStyle(const QFont& font, const QColor& ink, const QColor& paper);
    // Sends the token styles to the editor.
    void ApplyTokenStyles();
    // Forgets every style, so that the next paint styles again from the top.
    void Invalidate();
    // Whether the editor's document keeps styles; without, tokens are painted
    // through indicators around the view.
    void SetStyled(bool styled);
    bool IsStyled() const { return FStyled; }

    // Bytes handed to styleText so far: how much styling work the editor did.
    std::int64_t StyledBytes() const { return FStyledBytes; }
    void ResetStyledBytes() { FStyledBytes = 0; }

    // QsciLexer
    void setEditor(QsciScintilla* editor) override;
    const char* language() const override { return "INI File"; }
    QString description(int style) const override;
    QColor color(int style) const override;
    QColor paper(int style) const override;
    QFont font(int style) const override;
    bool eolFill(int style) const override;
    const char* wordCharacters() const override { return FWordChars.c_str(); }
    QColor defaultColor(int style) const override { return color(style); }
    QColor defaultPaper(int style) const override { return paper(style); }
    QFont defaultFont(int style) const override { return font(style); }

private:
    void StyleNeeded(int position);
    void TextModified(int position, int modificationType, int length);
    void AttributesChanged();
    TSynHighlighterAttributes* AttributeOf(int style) const;
    // Paints the runs of the chunk's styles that need indicators: strike-out,
    // and everything else too in a document without styles.
    void MarkRuns(int start, int length);
    // Without styles: paints the lines in view and a band around them, unless
    // they are painted already, and the edited lines among them again.
    void PaintView();
    void ClearIndicators(int start, int end);
    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
    int LineStart(int position) const;
    // The start of the line after the one holding `position`, or the end of the text.
    int LineAfter(int position) const;
    // `position` when it starts a line, else the start of the next line.
    int RoundUpToLine(int position) const;

    TSynIniSyn FSyn;
    int FListener = 0;
    QFont FFont;
    QColor FInk = Qt::black;
    QColor FPaper = Qt::white;
    std::string FWordChars;

    // Reused from call to call: the text of a chunk of lines, each line's break
    // overwritten by the NUL that ends it for the highlighter, and the chunk's
    // style bytes.
    std::vector<char> FText;
    std::vector<char> FStyles;

    // Styles are valid in [0, FCleanTo) except in the dirty lines
    // [FDirtyFrom, FDirtyTo), which edits touched since they were styled.
    int FCleanTo = 0;
    int FDirtyFrom = 0;
    int FDirtyTo = 0;

    // How each style is drawn through indicators: colours as Scintilla
    // indicator values, -1 where the style keeps the editor's own.
    struct TRunLook {
        long Fore = -1;
        long Back = -1;
        bool Underline = false;
        bool Strike = false;
    };
    TRunLook FLooks[StyleCount];
    unsigned FStrikeMask = 0; // styles drawn struck out
    bool FStrikeUsed = false; // the strike-out indicator may be set somewhere

    bool FStyled = true;
    // Without styles: the lines [FBandFrom, FBandTo) are painted.
    int FBandFrom = 0;
    int FBandTo = 0;
    std::int64_t FStyledBytes = 0;
};
