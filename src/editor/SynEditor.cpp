#include "editor/SynEditor.h"

#include "editor/EditorAccessible.h"
#include "editor/IniLexer.h"
#include "platform/FileBlock.h"
#include "platform/FileIO.h"
#include "platform/ReadableFile.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>

namespace {

// The clInactiveBorder grey of an editor with nothing open.
const QColor EmptyPaper(212, 208, 200);
const char* const FontName = "Courier New";

// Where "Courier New" is not installed, the desktop's fixed-pitch face stands
// in for it; otherwise Qt would search every installed font for a substitute
// each time the face is asked for.
void SubstituteMissingFont() {
    static const bool done = [] {
        if (!QFontDatabase::hasFamily(FontName))
            QFont::insertSubstitution(FontName,
                                      QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        return true;
    }();
    (void)done;
}

bool IsBlank(long c) {
    return c == ' ' || c == '\t';
}

// CR without LF anywhere: CR; LF without CR: LF; anything else, a text without
// line breaks included: CR LF.
TSynEditor::TLineBreak LineBreakOf(bool cr, bool lf) {
    if (cr && !lf)
        return TSynEditor::TLineBreak::Cr;
    if (lf && !cr)
        return TSynEditor::TLineBreak::Lf;
    return TSynEditor::TLineBreak::CrLf;
}

TSynEditor::TLineBreak DetectLineBreak(std::string_view bytes) {
    return LineBreakOf(bytes.find('\r') != std::string_view::npos,
                       bytes.find('\n') != std::string_view::npos);
}

std::string_view LineBreakBytes(TSynEditor::TLineBreak style) {
    switch (style) {
    case TSynEditor::TLineBreak::Cr:
        return "\r";
    case TSynEditor::TLineBreak::Lf:
        return "\n";
    case TSynEditor::TLineBreak::CrLf:
        break;
    }
    return "\r\n";
}

// Lines are split at CR LF, CR and LF alike; each break is written as `eol`.
std::string WithLineBreaks(std::string_view text, std::string_view eol, size_t lines = 0) {
    std::string out;
    out.reserve(text.size() + (eol.size() > 1 ? lines : 0));
    const char* p = text.data();
    const char* const end = p + text.size();
    TLineEndFinder finder(p, end);
    for (;;) {
        const char* q = finder.Next(p);
        out.append(p, q);
        if (q == end)
            break;
        out.append(eol);
        p = q + finder.BreakLength(q);
    }
    return out;
}

long ToScintilla(const QColor& colour) {
    return static_cast<long>(colour.red()) | (static_cast<long>(colour.green()) << 8) |
           (static_cast<long>(colour.blue()) << 16);
}

// Sets a flag for the life of the object.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& flag) : FFlag(flag), FOld(flag) { FFlag = true; }
    ~TFlagGuard() { FFlag = FOld; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

} // namespace

TSynEditor::TSynEditor(QWidget* parent) : TScintillaControl(parent) {
    SubstituteMissingFont();
    // QScintilla's own accessible interface counts the characters from the
    // start of the text to every change and caret move; the editor's keeps
    // them counted line by line.
    InstallEditorAccessible("TSynEditor");
    UseOwnAccessible();
    setUtf8(true);
    // The text at 15 pixels, the gutter at 11, as points at this screen's dpi.
    const double dpi = logicalDpiY() > 0 ? logicalDpiY() : 96.0;
    FTextPoints = 15 * 72.0 / dpi;
    FGutterPoints = 11 * 72.0 / dpi;
    FInk = palette().color(QPalette::Active, QPalette::Text);
    FPaper = palette().color(QPalette::Active, QPalette::Base);

    FLexer = new TIniLexer(this);
    setLexer(FLexer);
    SendScintilla(SCI_SETWORDCHARS, uintptr_t(0), FLexer->wordCharacters());

    // Tabs stay tabs; Tab in the indentation indents, Backspace there unindents.
    Send(SCI_SETUSETABS, 1);
    Send(SCI_SETTABINDENTS, 1);
    Send(SCI_SETBACKSPACEUNINDENTS, 1);
    setAutoIndent(true);
    Send(SCI_SETVIEWWS, SCWS_VISIBLEALWAYS);
    Send(SCI_SETVIEWEOL, 1);
    // The caret may go past the end of a line; typing there fills up with blanks.
    Send(SCI_SETVIRTUALSPACEOPTIONS, SCVS_USERACCESSIBLE | SCVS_RECTANGULARSELECTION);
    Send(SCI_SETEOLMODE, SC_EOL_CRLF);
    Send(SCI_SETPASTECONVERTENDINGS, 1);

    Send(SCI_SETMARGINTYPEN, 0, SC_MARGIN_NUMBER);
    Send(SCI_SETMARGINWIDTHN, 1, 0);
    Send(SCI_SETMARGINWIDTHN, 2, 0);
    ApplyStyles();

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length, int linesAdded, int, int, int,
                   int, int) { TextModified(position, type, length, linesAdded); });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &TSynEditor::UpdateUi);
    connect(verticalScrollBar(), &QScrollBar::sliderMoved, this, &TSynEditor::ShowScrollHint);
}

TSynEditor::~TSynEditor() {
    // Nothing that the base classes do while they are torn down may reach this
    // part of the object or the lexer any more.
    blockSignals(true);
}

long TSynEditor::Send(unsigned int message, unsigned long wParam, long lParam) const {
    return SendScintilla(message, wParam, lParam);
}

TSynIniSyn* TSynEditor::SynINI() {
    return FLexer->SynINI();
}

// ---------------------------------------------------------------------------
// Loading and saving

void TSynEditor::LoadFromFile(const std::string& path) {
    platform::TReadableFile file(path);
    if (!file.IsOpen())
        throw std::runtime_error("Cannot open file \"" + path + "\".");
    // UTF-8 shown as it is goes into the control a piece at a time, so the
    // file is never held twice. Pieces end before a character cut in two,
    // whose bytes begin the next piece.
    constexpr std::size_t Piece = std::size_t(1) << 20;
    std::vector<char> buffer(Piece + 4);
    std::size_t kept = 0; // bytes of a cut character at the buffer's start
    std::uint64_t left = file.Size();
    bool cr = false, lf = false, asIs = true, readWhole = true;
    TFlagGuard loading(FLoading);
    ReplaceText(static_cast<std::size_t>(file.Size()), [&] {
        while (left > 0 || kept > 0) {
            const std::size_t got =
                left > 0
                    ? file.ReadSome(buffer.data() + kept,
                                    static_cast<std::size_t>(std::min<std::uint64_t>(left, Piece)))
                    : 0;
            if (left > 0 && got == 0) {
                readWhole = false;
                return;
            }
            left -= got;
            const std::size_t size = kept + got;
            std::size_t cut = size;
            if (left > 0) {
                // Back over the continuation bytes at the end and their lead.
                std::size_t back = 0;
                while (back < 3 && back < size &&
                       (static_cast<unsigned char>(buffer[size - 1 - back]) & 0xC0) == 0x80)
                    ++back;
                if (back < size && static_cast<unsigned char>(buffer[size - 1 - back]) >= 0xC0)
                    cut = size - 1 - back;
            }
            const std::string_view piece(buffer.data(), cut);
            if (!TCodec::Of(TTextEncoding::Utf8).DecodesAsIs(piece)) {
                asIs = false;
                return;
            }
            cr = cr || piece.find('\r') != std::string_view::npos;
            lf = lf || piece.find('\n') != std::string_view::npos;
            AppendText(piece);
            kept = size - cut;
            std::memmove(buffer.data(), buffer.data() + cut, kept);
        }
    });
    if (!readWhole || !asIs) {
        // Another encoding, or a file that changed as it was read: whole,
        // the ordinary way.
        const auto block = platform::TFileBlock::Read(path);
        if (!block) {
            ClearAll();
            throw std::runtime_error("Cannot open file \"" + path + "\".");
        }
        LoadFromView(block->Bytes());
        return;
    }
    FLineBreak = LineBreakOf(cr, lf);
    FEncoding = TTextEncoding::Utf8;
    FLoadedUtf8 = true;
    ResetDocument();
}

void TSynEditor::LoadFromView(std::string_view bytes, std::optional<TTextEncoding> notUtf8As) {
    if (!TCodec::Of(TTextEncoding::Utf8).DecodesAsIs(bytes)) {
        LoadFromBytes(std::string(bytes), notUtf8As);
        return;
    }
    FLineBreak = DetectLineBreak(bytes);
    FEncoding = TTextEncoding::Utf8;
    FLoadedUtf8 = true;
    ReplaceText(bytes);
}

void TSynEditor::LoadFromBytes(std::string bytes, std::optional<TTextEncoding> notUtf8As) {
    // UTF-8 shown as it is (nearly every file) goes to the control uncopied.
    const bool asIs = TCodec::Of(TTextEncoding::Utf8).DecodesAsIs(bytes);
    const bool utf8 = asIs || IsValidUtf8(bytes);
    const TTextEncoding encoding =
        utf8 ? TTextEncoding::Utf8 : notUtf8As.value_or(TTextEncoding::Windows1252);
    Load(std::move(bytes), encoding, utf8, asIs);
}

void TSynEditor::Load(std::string bytes, TTextEncoding encoding, bool loadedUtf8, bool asIs) {
    const TLineBreak lineBreak = DetectLineBreak(bytes);
    if (!asIs)
        bytes = TakeDecoded(std::move(bytes), encoding);
    FLineBreak = lineBreak;
    FEncoding = encoding;
    FLoadedUtf8 = loadedUtf8;
    ReplaceText(bytes);
}

void TSynEditor::ShowText(std::string_view utf8) {
    FLineBreak = DetectLineBreak(utf8);
    FEncoding = TTextEncoding::Utf8;
    FLoadedUtf8 = true;
    const bool readOnly = isReadOnly();
    Send(SCI_SETREADONLY, 0);
    ReplaceText(utf8);
    Send(SCI_SETREADONLY, readOnly ? 1 : 0);
    if (FViewOnly)
        Send(SCI_SETUNDOCOLLECTION, 0);
}

void TSynEditor::SetEncoding(TTextEncoding encoding) {
    if (encoding == FEncoding)
        return;
    // The caret keeps its line and its place in it, counted in characters:
    // in a code page each byte is one character.
    const long caret = Send(SCI_GETCURRENTPOS);
    const long caretLine = Send(SCI_LINEFROMPOSITION, caret);
    const long lineStart = Send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(caretLine));
    const long characters = Send(SCI_COUNTCHARACTERS, static_cast<unsigned long>(lineStart), caret);
    const long firstVisible = Send(SCI_GETFIRSTVISIBLELINE);
    Load(Bytes(), encoding, FLoadedUtf8);
    const long newStart = Send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(caretLine));
    const long newCaret =
        std::min(Send(SCI_POSITIONRELATIVE, static_cast<unsigned long>(newStart), characters),
                 Send(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(caretLine)));
    Send(SCI_GOTOPOS, static_cast<unsigned long>(std::max(newCaret, newStart)));
    Send(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(firstVisible));
}

void TSynEditor::ClearAll() {
    FLineBreak = TLineBreak::CrLf;
    FEncoding = TTextEncoding::Utf8;
    FLoadedUtf8 = true;
    ReplaceText({});
}

void TSynEditor::ReplaceText(std::string_view text) {
    TFlagGuard loading(FLoading);
    ReplaceText(text.size(), [&] { AppendText(text); });
    ResetDocument();
}

void TSynEditor::ReplaceText(std::size_t bytes, const std::function<void()>& fill) {
    FlushChanges();
    TFlagGuard loading(FLoading);
    // A document of the kind the text needs, with room to grow, so the first
    // edits need not copy the text into a larger buffer; at most a megabyte,
    // kept for the text and for its styles.
    const bool fresh = UseDocumentFor(bytes);
    // Neither the old nor the new text goes into the undo history, and nobody
    // is told about the change: it is no edit, and QScintilla would copy the
    // whole text into an accessibility event.
    const long eventMask = Send(SCI_GETMODEVENTMASK);
    Send(SCI_SETMODEVENTMASK, 0);
    Send(SCI_SETUNDOCOLLECTION, 0);
    struct TRestore {
        TSynEditor& Editor;
        long EventMask;
        ~TRestore() {
            Editor.Send(SCI_SETUNDOCOLLECTION, 1);
            Editor.Send(SCI_SETMODEVENTMASK, static_cast<unsigned long>(EventMask));
        }
    } restore{*this, eventMask};
    if (!fresh)
        Send(SCI_CLEARALL);
    if (bytes > 0) {
        const std::size_t room = std::min<std::size_t>(bytes / 8, 1u << 20) + 4096;
        Send(SCI_ALLOCATE, static_cast<unsigned long>(bytes + room));
    }
    fill();
}

void TSynEditor::AppendText(std::string_view text) {
    if (!text.empty())
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(text.size()),
                      static_cast<void*>(const_cast<char*>(text.data())));
}

bool TSynEditor::IsStyled() const {
    return !(Send(SCI_GETDOCUMENTOPTIONS) & SC_DOCUMENTOPTION_STYLES_NONE);
}

bool TSynEditor::UseDocumentFor(std::size_t bytes) {
    const bool styled = bytes < UnstyledFrom;
    if (styled == IsStyled())
        return false;
    // The settings Scintilla keeps with the document, not with the view.
    const long eolMode = Send(SCI_GETEOLMODE);
    const long codePage = Send(SCI_GETCODEPAGE);
    const long tabWidth = Send(SCI_GETTABWIDTH);
    const long indent = Send(SCI_GETINDENT);
    const long useTabs = Send(SCI_GETUSETABS);
    const long tabIndents = Send(SCI_GETTABINDENTS);
    const long backspaceUnindents = Send(SCI_GETBACKSPACEUNINDENTS);
    const long lexer = Send(SCI_GETLEXER);
    std::string wordChars(static_cast<std::size_t>(Send(SCI_GETWORDCHARS)) + 1, '\0');
    SendScintilla(SCI_GETWORDCHARS, 0UL, static_cast<void*>(wordChars.data()));
    wordChars.resize(std::strlen(wordChars.c_str()));

    // The new document's address comes back whole only through the direct
    // call: SendScintilla returns a long, which is narrower than a pointer on
    // 64-bit Windows.
    using TDirect = std::intptr_t (*)(void*, unsigned int, std::uintptr_t, std::intptr_t);
    const auto direct = reinterpret_cast<TDirect>(SendScintillaPtrResult(SCI_GETDIRECTFUNCTION));
    void* const self = SendScintillaPtrResult(SCI_GETDIRECTPOINTER);
    void* const document = reinterpret_cast<void*>(
        direct(self, SCI_CREATEDOCUMENT, 0,
               styled ? SC_DOCUMENTOPTION_DEFAULT : SC_DOCUMENTOPTION_STYLES_NONE));
    // The control takes its own reference and lets go of the old document.
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document);

    Send(SCI_SETCODEPAGE, static_cast<unsigned long>(codePage));
    Send(SCI_SETEOLMODE, static_cast<unsigned long>(eolMode));
    Send(SCI_SETTABWIDTH, static_cast<unsigned long>(tabWidth));
    Send(SCI_SETINDENT, static_cast<unsigned long>(indent));
    Send(SCI_SETUSETABS, static_cast<unsigned long>(useTabs));
    Send(SCI_SETTABINDENTS, static_cast<unsigned long>(tabIndents));
    Send(SCI_SETBACKSPACEUNINDENTS, static_cast<unsigned long>(backspaceUnindents));
    Send(SCI_SETLEXER, static_cast<unsigned long>(lexer));
    SendScintilla(SCI_SETWORDCHARS, uintptr_t(0), wordChars.c_str());
    // Indicators drawn under the text would hide an opaque selection: without
    // styles the selection is laid over the text, translucent, and the text
    // keeps its colours.
    if (styled) {
        setSelectionForegroundColor(palette().color(QPalette::Active, QPalette::HighlightedText));
        Send(SCI_SETSELALPHA, SC_ALPHA_NOALPHA);
    } else {
        resetSelectionForegroundColor();
        Send(SCI_SETSELALPHA, 110);
    }
    FLexer->SetStyled(styled);
    return true;
}

void TSynEditor::ResetDocument() {
    switch (FLineBreak) {
    case TLineBreak::Cr:
        Send(SCI_SETEOLMODE, SC_EOL_CR);
        break;
    case TLineBreak::Lf:
        Send(SCI_SETEOLMODE, SC_EOL_LF);
        break;
    case TLineBreak::CrLf:
        Send(SCI_SETEOLMODE, SC_EOL_CRLF);
        break;
    }
    Send(SCI_EMPTYUNDOBUFFER);
    Send(SCI_SETSAVEPOINT);
    FEditedLines.clear();
    Send(SCI_GOTOPOS, 0);
    Send(SCI_SETXOFFSET, 0);
    FLexer->Invalidate();
    UpdateMarginWidth();
}

void TSynEditor::SaveToFile(const std::string& path) {
    TrimEditedLines(true);
    const std::string error = platform::ReplaceFileBytes(path, Bytes());
    if (!error.empty())
        throw std::runtime_error(error);
    Send(SCI_SETSAVEPOINT);
}

std::string TSynEditor::ConvertLineBreaks(std::string_view bytes, TLineBreak style) {
    return WithLineBreaks(bytes, LineBreakBytes(style));
}

std::string TSynEditor::Bytes() const {
    const auto length = static_cast<size_t>(Send(SCI_GETLENGTH));
    const char* text =
        length ? static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER)) : "";
    return EncodeText(WithLineBreaks(std::string_view(text, length), LineBreakBytes(FLineBreak),
                                     static_cast<size_t>(Send(SCI_GETLINECOUNT))),
                      FEncoding);
}

std::string_view TSynEditor::TextView() const {
    const long length = Send(SCI_GETLENGTH);
    if (length <= 0)
        return {};
    return std::string_view(
        static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER)),
        static_cast<std::size_t>(length));
}

std::string_view TSynEditor::LineView(std::size_t line) const {
    const long start = Send(SCI_POSITIONFROMLINE, line);
    const long end = Send(SCI_GETLINEENDPOSITION, line);
    if (end <= start)
        return {};
    const auto* text = reinterpret_cast<const char*>(
        Send(SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), end - start));
    return std::string_view(text, static_cast<std::size_t>(end - start));
}

std::size_t TSynEditor::CaretLine() const {
    return static_cast<std::size_t>(Send(SCI_LINEFROMPOSITION, Send(SCI_GETCURRENTPOS)));
}

bool TSynEditor::IsEmpty() const {
    return Send(SCI_GETLENGTH) == 0;
}

// ---------------------------------------------------------------------------
// Changes

void TSynEditor::TextModified(int position, int type, int length, int linesAdded) {
    if (!(type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)))
        return;
    const int line = static_cast<int>(Send(SCI_LINEFROMPOSITION, position));
    if (linesAdded != 0) {
        UpdateMarginWidth();
        // Keep the noted lines on their text.
        if (linesAdded > 0) {
            // Text inserted at the start of a line pushes that line down too.
            const bool atLineStart = Send(SCI_POSITIONFROMLINE, line) == position;
            for (int& edited : FEditedLines)
                if (edited > line || (atLineStart && edited == line))
                    edited += linesAdded;
        } else {
            const int removed = -linesAdded;
            for (int& edited : FEditedLines)
                edited = edited > line + removed ? edited - removed : std::min(edited, line);
        }
        SortEditedLines();
    }
    if (FLoading || FViewOnly)
        return;
    const bool undoRedo = type & (SC_PERFORMED_UNDO | SC_PERFORMED_REDO);
    if (!undoRedo && !FTrimming && !FPlain) {
        const int last = (type & SC_MOD_INSERTTEXT)
                             ? static_cast<int>(Send(SCI_LINEFROMPOSITION, position + length))
                             : line;
        NoteEditedLines(line, last);
    }
    // An undo or redo of several steps is one change.
    if (!undoRedo || (type & SC_LASTSTEPINUNDOREDO))
        emit UserChange();
}

void TSynEditor::NoteEditedLines(int firstLine, int lastLine) {
    const size_t before = FEditedLines.size();
    for (int line = firstLine; line <= lastLine; ++line) {
        const long start = Send(SCI_POSITIONFROMLINE, line);
        const long end = Send(SCI_GETLINEENDPOSITION, line);
        if (end > start && IsBlank(Send(SCI_GETCHARAT, end - 1)))
            FEditedLines.push_back(line);
    }
    if (FEditedLines.size() == before)
        return;
    SortEditedLines();
}

// Each noted line once, in order.
void TSynEditor::SortEditedLines() {
    std::sort(FEditedLines.begin(), FEditedLines.end());
    FEditedLines.erase(std::unique(FEditedLines.begin(), FEditedLines.end()), FEditedLines.end());
}

void TSynEditor::UpdateUi(int) {
    if (FEditedLines.empty() || FTrimQueued)
        return;
    const int caretLine = static_cast<int>(CaretLine());
    if (std::all_of(FEditedLines.begin(), FEditedLines.end(),
                    [caretLine](int line) { return line == caretLine; }))
        return;
    // Scintilla reports caret moves while it paints; the text may not change
    // before the paint is over.
    FTrimQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            FTrimQueued = false;
            TrimEditedLines(false);
        },
        Qt::QueuedConnection);
}

void TSynEditor::TrimEditedLines(bool caretLineToo) {
    if (FEditedLines.empty())
        return;
    const long caret = Send(SCI_GETCURRENTPOS);
    const long anchor = Send(SCI_GETANCHOR);
    const int caretLine = static_cast<int>(Send(SCI_LINEFROMPOSITION, caret));
    std::vector<int> lines;
    lines.swap(FEditedLines);
    // From the bottom up, so the lines still to do keep their positions.
    std::sort(lines.rbegin(), lines.rend());
    const int lineCount = static_cast<int>(Send(SCI_GETLINECOUNT));
    TFlagGuard trimming(FTrimming);
    bool grouped = false;
    for (int line : lines) {
        if (line == caretLine && !caretLineToo) {
            FEditedLines.push_back(line);
            continue;
        }
        if (line >= lineCount)
            continue;
        const long start = Send(SCI_POSITIONFROMLINE, line);
        const long end = Send(SCI_GETLINEENDPOSITION, line);
        long keep = end;
        while (keep > start && IsBlank(Send(SCI_GETCHARAT, keep - 1)))
            --keep;
        if (keep == end)
            continue;
        if (!grouped) {
            Send(SCI_BEGINUNDOACTION);
            grouped = true;
        }
        const long main = Send(SCI_GETMAINSELECTION);
        const long caretVirtual = Send(SCI_GETSELECTIONNCARETVIRTUALSPACE, main);
        const long anchorVirtual = Send(SCI_GETSELECTIONNANCHORVIRTUALSPACE, main);
        Send(SCI_DELETERANGE, keep, end - keep);
        // A caret that stood in the removed blanks keeps its column in the
        // virtual space past the new end of the line.
        if (line == caretLine) {
            if (caret > keep && caret <= end) {
                Send(SCI_SETSELECTIONNCARET, main, keep);
                Send(SCI_SETSELECTIONNCARETVIRTUALSPACE, main, caretVirtual + caret - keep);
            }
            if (anchor > keep && anchor <= end) {
                Send(SCI_SETSELECTIONNANCHOR, main, keep);
                Send(SCI_SETSELECTIONNANCHORVIRTUALSPACE, main, anchorVirtual + anchor - keep);
            }
        }
    }
    if (grouped)
        Send(SCI_ENDUNDOACTION);
    FlushChanges();
}

void TSynEditor::BulkEditAsIs(const std::function<void()>& edit) {
    TFlagGuard asIs(FTrimming);
    BulkEdit(edit);
}

void TSynEditor::EditAsIs(const std::function<void()>& edit) {
    TFlagGuard asIs(FTrimming);
    Send(SCI_BEGINUNDOACTION);
    struct TEnd {
        TSynEditor& Editor;
        ~TEnd() {
            Editor.Send(SCI_ENDUNDOACTION);
            Editor.FlushChanges();
        }
    } end{*this};
    edit();
}

// ---------------------------------------------------------------------------
// Look

void TSynEditor::SetPlain() {
    FPlain = true;
    FEditedLines.clear();
    // The null lexer gives all text the default style without any styling pass.
    setLexer(nullptr);
    Send(SCI_SETLEXER, SCLEX_NULL);
    Send(SCI_SETVIEWWS, SCWS_INVISIBLE);
    Send(SCI_SETVIEWEOL, 0);
    Send(SCI_SETVIRTUALSPACEOPTIONS, SCVS_NONE);
    setAutoIndent(false);
    Send(SCI_SETMARGINWIDTHN, 0, 0);
    ApplyStyles();
}

void TSynEditor::SetOpenState(bool open) {
    FOpen = open;
    setEnabled(open);
    FPaper = open ? palette().color(QPalette::Active, QPalette::Base) : EmptyPaper;
    ApplyStyles();
}

void TSynEditor::SetFontSizes(int textPoints, int gutterPoints) {
    FTextPoints = textPoints;
    FGutterPoints = gutterPoints;
    ApplyStyles();
}

void TSynEditor::ApplyStyles() {
    const auto textSize = static_cast<long>(FTextPoints * int(SC_FONT_SIZE_MULTIPLIER));
    const auto gutterSize = static_cast<long>(FGutterPoints * int(SC_FONT_SIZE_MULTIPLIER));
    // The default style first: every other style starts as a copy of it.
    SendScintilla(SCI_STYLESETFONT, uintptr_t(STYLE_DEFAULT), FontName);
    Send(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, textSize);
    Send(SCI_STYLESETFORE, STYLE_DEFAULT, ToScintilla(FInk));
    Send(SCI_STYLESETBACK, STYLE_DEFAULT, ToScintilla(FPaper));
    Send(SCI_STYLESETBOLD, STYLE_DEFAULT, 0);
    Send(SCI_STYLESETITALIC, STYLE_DEFAULT, 0);
    Send(SCI_STYLESETUNDERLINE, STYLE_DEFAULT, 0);
    Send(SCI_STYLECLEARALL);

    QFont font(FontName);
    font.setPointSizeF(FTextPoints);
    FLexer->SetBaseStyle(font, FInk, FPaper);

    SendScintilla(SCI_STYLESETFONT, uintptr_t(STYLE_LINENUMBER), FontName);
    Send(SCI_STYLESETSIZEFRACTIONAL, STYLE_LINENUMBER, gutterSize);
    Send(SCI_STYLESETFORE, STYLE_LINENUMBER,
         ToScintilla(palette().color(QPalette::Active, QPalette::ButtonText)));
    Send(SCI_STYLESETBACK, STYLE_LINENUMBER,
         ToScintilla(palette().color(QPalette::Active, QPalette::Button)));
    FMarginDigits = 0;
    UpdateMarginWidth();
}

void TSynEditor::SetViewOnly() {
    FViewOnly = true;
    FEditedLines.clear();
    setReadOnly(true);
    Send(SCI_SETVIEWEOL, 0);
    Send(SCI_SETUNDOCOLLECTION, 0);
}

void TSynEditor::ReplaceViewLines(long first, long removed, std::string_view text) {
    TFlagGuard loading(FLoading);
    const long lines = Send(SCI_GETLINECOUNT);
    const long start = Send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
    std::string replacement(text);
    long end;
    if (first + removed < lines) {
        end = Send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(first + removed));
        replacement += '\n';
    } else {
        end = Send(SCI_GETLENGTH);
    }
    Send(SCI_SETREADONLY, 0);
    Send(SCI_SETTARGETRANGE, static_cast<unsigned long>(start), end);
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(replacement.size()),
                  replacement.c_str());
    Send(SCI_SETREADONLY, 1);
    FlushChanges();
}

void TSynEditor::SetLineNumbers(bool shown) {
    FLineNumbers = shown;
    FMarginDigits = 0;
    if (shown)
        UpdateMarginWidth();
    else
        Send(SCI_SETMARGINWIDTHN, 0, 0);
}

void TSynEditor::UpdateMarginWidth() {
    if (FPlain || !FLineNumbers)
        return;
    int digits = 2;
    for (long lines = Send(SCI_GETLINECOUNT); lines >= 100; lines /= 10)
        ++digits;
    if (digits == FMarginDigits)
        return;
    FMarginDigits = digits;
    const std::string sample(static_cast<size_t>(digits), '9');
    const long width = SendScintilla(SCI_TEXTWIDTH, uintptr_t(STYLE_LINENUMBER), sample.c_str());
    Send(SCI_SETMARGINWIDTHN, 0, width + 10);
}

void TSynEditor::ShowScrollHint(int value) {
    const long line = Send(SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(value)) + 1;
    QToolTip::showText(QCursor::pos(), tr("Line %1").arg(line), this);
}
