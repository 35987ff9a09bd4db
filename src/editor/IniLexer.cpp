#include "editor/IniLexer.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>

namespace {

// Lines are styled in chunks of about this many bytes: one text copy and one
// style hand-over per chunk keeps both buffers small and in the cache, however
// large the range Scintilla asks for.
constexpr int ChunkBytes = 64 * 1024;

// A Windows colour value (0x00BBGGRR) as a Qt colour.
QColor FromTColor(TColor value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// A Qt colour as Scintilla's colour value, which has the same layout.
long ToScintilla(const QColor& colour) {
    return static_cast<long>(colour.red()) | (static_cast<long>(colour.green()) << 8) |
           (static_cast<long>(colour.blue()) << 16);
}

} // namespace

TIniLexer::TIniLexer(QObject* parent) : QsciLexerCustom(parent) {
    const TSynIdentChars ident = FSyn.GetIdentChars();
    for (int c = 1; c < 256; ++c)
        if (ident[c])
            FWordChars += static_cast<char>(c);
    FListener = FSyn.AddChangeListener([this] { AttributesChanged(); });
}

TIniLexer::~TIniLexer() {
    FSyn.RemoveChangeListener(FListener);
}

long TIniLexer::Send(unsigned int message, unsigned long wParam, long lParam) const {
    return editor()->SendScintilla(message, wParam, lParam);
}

int TIniLexer::LineStart(int position) const {
    const long line = Send(QsciScintillaBase::SCI_LINEFROMPOSITION, position);
    return static_cast<int>(Send(QsciScintillaBase::SCI_POSITIONFROMLINE, line));
}

int TIniLexer::LineAfter(int position) const {
    const long line = Send(QsciScintillaBase::SCI_LINEFROMPOSITION, position);
    const long next = Send(QsciScintillaBase::SCI_POSITIONFROMLINE, line + 1);
    return static_cast<int>(next < 0 ? Send(QsciScintillaBase::SCI_GETLENGTH) : next);
}

int TIniLexer::RoundUpToLine(int position) const {
    return LineStart(position) == position ? position : LineAfter(position);
}

void TIniLexer::setEditor(QsciScintilla* editor) {
    if (QsciScintilla* old = this->editor())
        disconnect(old, nullptr, this, nullptr);
    // The base class's own style request handler is left out on purpose: it
    // styles everything from the first edit to the end of the view, where the
    // edited lines are enough.
    QsciLexer::setEditor(editor);
    FCleanTo = FDirtyFrom = FDirtyTo = 0;
    if (!editor)
        return;
    connect(editor, &QsciScintillaBase::SCN_STYLENEEDED, this, &TIniLexer::StyleNeeded);
    connect(editor, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
                TextModified(position, type, length);
            });
}

// ---------------------------------------------------------------------------
// Styling

void TIniLexer::StyleNeeded(int position) {
    if (!editor())
        return;
    if (!FStyled) {
        // Scintilla's styled mark stays at the top, so that every paint asks
        // and the view is painted wherever it has moved.
        PaintView();
        return;
    }
    // Scintilla asks from its own styled mark; the lexer knows better which
    // lines need styles: the dirty ones and whatever lies past its clean mark.
    const int end = RoundUpToLine(position);
    int tail = end;
    if (FCleanTo < end)
        tail = LineStart(FCleanTo);
    if (FDirtyFrom < FDirtyTo && FDirtyFrom < end) {
        const int dirtyEnd = std::min(FDirtyTo, end);
        if (dirtyEnd >= tail) {
            tail = std::min(tail, FDirtyFrom);
        } else {
            styleText(FDirtyFrom, dirtyEnd);
        }
        if (FDirtyTo <= end)
            FDirtyFrom = FDirtyTo = 0;
        else
            FDirtyFrom = end;
    }
    if (tail < end)
        styleText(tail, end);
    FCleanTo = std::max(FCleanTo, end);
    // Everything up to `end` now holds valid styles, including lines styled
    // before the edit that Scintilla marked as unstyled.
    Send(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(end), 0);
}

void TIniLexer::styleText(int start, int end) {
    if (!editor() || end <= start)
        return;
    FStyledBytes += end - start;
    const char space = static_cast<char>(StyleOf(tkSpace));
    if (FStyled)
        Send(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(start), 0);
    int chunkStart = start;
    while (chunkStart < end) {
        int chunkEnd = end;
        if (end - chunkStart > ChunkBytes)
            chunkEnd = std::min(end, RoundUpToLine(chunkStart + ChunkBytes));
        const size_t length = static_cast<size_t>(chunkEnd - chunkStart);
        if (FText.size() < length + 1)
            FText.resize(length + 1);
        if (FStyles.size() < length)
            FStyles.resize(length);
        char* const text = FText.data();
        char* const styles = FStyles.data();
        editor()->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, long(chunkStart),
                                long(chunkEnd), text);
        const char* const textEnd = text + length;
        TLineEndFinder finder(text, textEnd);
        int lineIndex = static_cast<int>(Send(QsciScintillaBase::SCI_LINEFROMPOSITION, chunkStart));
        char* line = text;
        while (line < textEnd) {
            char* lineEnd = const_cast<char*>(finder.Next(line));
            const int lineLength = static_cast<int>(lineEnd - line);
            const size_t breakLength = lineEnd < textEnd ? finder.BreakLength(lineEnd) : 0;
            // The line ends here for the highlighter; the break itself is
            // styled as blank space below.
            *lineEnd = '\0';
            char* st = styles + (line - text);
            FSyn.SetLine(line, lineIndex++);
            int pos = 0;
            while (!FSyn.GetEol()) {
                const char style = static_cast<char>(StyleOf(FSyn.GetTokenKind()));
                FSyn.Next();
                const int next = FSyn.GetTokenPos();
                std::memset(st + pos, style, static_cast<size_t>(next - pos));
                pos = next;
            }
            // A NUL byte inside the line ends the highlighter's view of it.
            if (pos < lineLength)
                std::memset(st + pos, StylePlain, static_cast<size_t>(lineLength - pos));
            std::memset(st + lineLength, space, breakLength);
            line = lineEnd + breakLength;
        }
        if (FStyled)
            editor()->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, length,
                                    static_cast<void*>(styles));
        if (!FStyled || FStrikeMask != 0 || FStrikeUsed)
            MarkRuns(chunkStart, static_cast<int>(length));
        chunkStart = chunkEnd;
    }
}

void TIniLexer::PaintView() {
    const long lines = Send(QsciScintillaBase::SCI_GETLINECOUNT);
    const long top = Send(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE,
                          Send(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE));
    const long bottom = std::min(lines, top + Send(QsciScintillaBase::SCI_LINESONSCREEN) + 1);
    const auto startOf = [&](long line) {
        return static_cast<int>(line >= lines ? Send(QsciScintillaBase::SCI_GETLENGTH)
                                              : Send(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                                     static_cast<unsigned long>(line)));
    };
    const int viewFrom = startOf(top);
    const int viewTo = startOf(bottom);
    if (FBandFrom < FBandTo && FBandFrom <= viewFrom && viewTo <= FBandTo) {
        // The band still holds the view: only its edited lines again.
        const int from = std::max(FDirtyFrom, FBandFrom);
        const int to = std::min(FDirtyTo, FBandTo);
        FDirtyFrom = FDirtyTo = 0;
        if (from < to)
            styleText(from, to);
        return;
    }
    ClearIndicators(FBandFrom, FBandTo);
    FBandFrom = startOf(std::max(0L, top - BandLines));
    FBandTo = startOf(std::min(lines, bottom + BandLines));
    FDirtyFrom = FDirtyTo = 0;
    styleText(FBandFrom, FBandTo);
}

void TIniLexer::ClearIndicators(int start, int end) {
    end = std::min(end, static_cast<int>(Send(QsciScintillaBase::SCI_GETLENGTH)));
    if (end <= start)
        return;
    for (const int indicator :
         {ForeIndicator, BackIndicator, UnderlineIndicator, StrikeIndicator}) {
        Send(QsciScintillaBase::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(indicator));
        Send(QsciScintillaBase::SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(start),
             end - start);
    }
}

// Scintilla styles have no strike-out; an indicator draws it over the runs of
// struck-out styles, in each style's text colour. Without styles, indicators
// draw the colours and underline of the runs as well.
void TIniLexer::MarkRuns(int start, int length) {
    if (FStyled) {
        Send(QsciScintillaBase::SCI_SETINDICATORCURRENT, StrikeIndicator);
        Send(QsciScintillaBase::SCI_INDICATORCLEARRANGE, static_cast<unsigned long>(start), length);
    } else {
        ClearIndicators(start, start + length);
    }
    const auto fill = [&](int indicator, long colour, int at, int count) {
        Send(QsciScintillaBase::SCI_SETINDICATORCURRENT, static_cast<unsigned long>(indicator));
        Send(QsciScintillaBase::SCI_SETINDICATORVALUE,
             static_cast<unsigned long>(QsciScintillaBase::SC_INDICVALUEBIT | colour));
        Send(QsciScintillaBase::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(start + at),
             count);
    };
    const char* styles = FStyles.data();
    int i = 0;
    while (i < length) {
        const int style = styles[i];
        int j = i + 1;
        while (j < length && styles[j] == style)
            ++j;
        const TRunLook& look = FLooks[style >= 0 && style < StyleCount ? style : StylePlain];
        if (look.Strike) {
            FStrikeUsed = true;
            fill(StrikeIndicator, look.Fore >= 0 ? look.Fore : ToScintilla(FInk), i, j - i);
        }
        if (!FStyled) {
            if (look.Fore >= 0)
                fill(ForeIndicator, look.Fore, i, j - i);
            if (look.Back >= 0)
                fill(BackIndicator, look.Back, i, j - i);
            if (look.Underline)
                fill(UnderlineIndicator, look.Fore >= 0 ? look.Fore : ToScintilla(FInk), i, j - i);
        }
        i = j;
    }
}

void TIniLexer::TextModified(int position, int type, int length) {
    if (!(type & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT)))
        return;
    if (type & QsciScintillaBase::SC_MOD_INSERTTEXT) {
        for (int* mark : {&FCleanTo, &FDirtyFrom, &FDirtyTo, &FBandFrom, &FBandTo})
            if (*mark > position)
                *mark += length;
    } else {
        for (int* mark : {&FCleanTo, &FDirtyFrom, &FDirtyTo, &FBandFrom, &FBandTo}) {
            if (*mark >= position + length)
                *mark -= length;
            else if (*mark > position)
                *mark = position;
        }
    }
    // The lines the change touches, as they are now: an insertion's lines,
    // including the one its end lands on (text after an inserted line break
    // now starts a line); for a removal, the line that holds the joint.
    const int from = LineStart(position);
    const int to =
        LineAfter(type & QsciScintillaBase::SC_MOD_INSERTTEXT ? position + length : position);
    if (FDirtyFrom < FDirtyTo) {
        FDirtyFrom = std::min(FDirtyFrom, from);
        FDirtyTo = std::max(FDirtyTo, to);
    } else {
        FDirtyFrom = from;
        FDirtyTo = to;
    }
}

void TIniLexer::SetStyled(bool styled) {
    if (styled == FStyled)
        return;
    FStyled = styled;
    FStrikeUsed = false;
    Invalidate();
}

void TIniLexer::Invalidate() {
    FCleanTo = FDirtyFrom = FDirtyTo = 0;
    if (!editor()) {
        FBandFrom = FBandTo = 0;
        return;
    }
    if (!FStyled)
        ClearIndicators(FBandFrom, FBandTo);
    FBandFrom = FBandTo = 0;
    Send(QsciScintillaBase::SCI_STARTSTYLING, 0, 0);
    editor()->viewport()->update();
}

// ---------------------------------------------------------------------------
// Attributes

TSynHighlighterAttributes* TIniLexer::AttributeOf(int style) const {
    auto* syn = const_cast<TSynIniSyn*>(&FSyn);
    switch (style - 1) {
    case tkComment:
        return syn->CommentAttri();
    case tkText:
    case tkUnknown:
        return syn->TextAttri();
    case tkSection:
        return syn->SectionAttri();
    case tkKey:
        return syn->KeyAttri();
    case tkNumber:
        return syn->NumberAttri();
    case tkSpace:
        return syn->SpaceAttri();
    case tkString:
        return syn->StringAttri();
    case tkSymbol:
        return syn->SymbolAttri();
    default:
        return nullptr; // the plain style, tkNull and styles that are not ours
    }
}

QString TIniLexer::description(int style) const {
    if (style == StylePlain)
        return QStringLiteral("Plain");
    if (style == StyleOf(tkNull))
        return QStringLiteral("End of line");
    if (style == StyleOf(tkUnknown))
        return QStringLiteral("Unknown");
    if (const TSynHighlighterAttributes* attribute = AttributeOf(style))
        return QString::fromStdString(attribute->Name());
    return QString();
}

QColor TIniLexer::color(int style) const {
    const TSynHighlighterAttributes* attribute = AttributeOf(style);
    if (attribute && attribute->Foreground() != clNone)
        return FromTColor(attribute->Foreground());
    return FInk;
}

QColor TIniLexer::paper(int style) const {
    const TSynHighlighterAttributes* attribute = AttributeOf(style);
    if (attribute && attribute->Background() != clNone)
        return FromTColor(attribute->Background());
    return FPaper;
}

QFont TIniLexer::font(int style) const {
    QFont font = FFont;
    if (const TSynHighlighterAttributes* attribute = AttributeOf(style)) {
        const TFontStyles fs = attribute->Style();
        font.setBold(fs & fsBold);
        font.setItalic(fs & fsItalic);
        font.setUnderline(fs & fsUnderline);
        font.setStrikeOut(fs & fsStrikeOut);
    }
    return font;
}

bool TIniLexer::eolFill(int) const {
    return false;
}

void TIniLexer::SetBaseStyle(const QFont& font, const QColor& ink, const QColor& paper) {
    FFont = font;
    FInk = ink;
    FPaper = paper;
    ApplyTokenStyles();
    // Without styles the colours are painted into the text: paint again.
    if (!FStyled)
        Invalidate();
}

void TIniLexer::ApplyTokenStyles() {
    FStrikeMask = 0;
    for (int style = 0; style < StyleCount; ++style) {
        const TSynHighlighterAttributes* attribute = AttributeOf(style);
        TRunLook& look = FLooks[style];
        look = TRunLook();
        if (!attribute)
            continue;
        if (attribute->Foreground() != clNone && color(style) != FInk)
            look.Fore = ToScintilla(color(style));
        if (attribute->Background() != clNone && paper(style) != FPaper)
            look.Back = ToScintilla(paper(style));
        look.Underline = attribute->Style() & fsUnderline;
        look.Strike = attribute->Style() & fsStrikeOut;
        if (look.Strike)
            FStrikeMask |= 1u << style;
    }
    if (!editor())
        return;
    const QByteArray family = FFont.family().toUtf8();
    for (int style = 0; style < StyleCount; ++style) {
        const QFont f = font(style);
        const auto s = static_cast<unsigned long>(style);
        Send(QsciScintillaBase::SCI_STYLESETFORE, s, ToScintilla(color(style)));
        Send(QsciScintillaBase::SCI_STYLESETBACK, s, ToScintilla(paper(style)));
        editor()->SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, uintptr_t(style),
                                family.constData());
        Send(QsciScintillaBase::SCI_STYLESETSIZEFRACTIONAL, s,
             static_cast<long>(f.pointSizeF() * int(QsciScintillaBase::SC_FONT_SIZE_MULTIPLIER)));
        Send(QsciScintillaBase::SCI_STYLESETBOLD, s, f.bold());
        Send(QsciScintillaBase::SCI_STYLESETITALIC, s, f.italic());
        Send(QsciScintillaBase::SCI_STYLESETUNDERLINE, s, f.underline());
        Send(QsciScintillaBase::SCI_STYLESETEOLFILLED, s, 0);
    }
    // Each run is drawn in the colour stored with it, that of its style; the
    // background under the text, opaque, as a style's would be.
    const struct {
        int Indicator, Style;
        bool Under;
    } indicators[] = {{StrikeIndicator, QsciScintillaBase::INDIC_STRIKE, false},
                      {ForeIndicator, QsciScintillaBase::INDIC_TEXTFORE, false},
                      {BackIndicator, QsciScintillaBase::INDIC_FULLBOX, true},
                      {UnderlineIndicator, QsciScintillaBase::INDIC_PLAIN, false}};
    for (const auto& i : indicators) {
        const auto n = static_cast<unsigned long>(i.Indicator);
        Send(QsciScintillaBase::SCI_INDICSETSTYLE, n, i.Style);
        Send(QsciScintillaBase::SCI_INDICSETFLAGS, n, QsciScintillaBase::SC_INDICFLAG_VALUEBEFORE);
        Send(QsciScintillaBase::SCI_INDICSETUNDER, n, i.Under);
    }
    Send(QsciScintillaBase::SCI_INDICSETALPHA, BackIndicator, 255);
    Send(QsciScintillaBase::SCI_INDICSETOUTLINEALPHA, BackIndicator, 255);
}

void TIniLexer::AttributesChanged() {
    const unsigned oldMask = FStrikeMask;
    ApplyTokenStyles();
    // Colours and font styles belong to the style numbers and show at once;
    // indicators lie over the text and need the lines styled again.
    if (!FStyled || FStrikeMask != oldMask)
        Invalidate();
    else if (editor())
        editor()->viewport()->update();
}
