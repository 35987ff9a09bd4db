// TSynEditor: the translation editor, a QScintilla control that holds a file's
// bytes exactly, keeps its line-break style and highlights it with TSynIniSyn.
//
// Text and bytes: Scintilla always holds UTF-8 here. A file's bytes are decoded
// into UTF-8 on loading and encoded back on saving, in the document's encoding:
// UTF-8 for a file whose bytes are valid UTF-8, else Windows-1252, unless the
// caller shows the file as another encoding (SetEncoding, "Show as"). Every
// encoding maps all byte strings one to one (see TCodec), NUL, undefined bytes
// and broken sequences included, so an unedited file is saved byte for byte.
// Text the user types, pastes or drops that holds a character the document's
// encoding cannot hold is refused whole, before it reaches the text, and
// InputRefused names the character; nothing is ever stored as "?".
//
// Line breaks: the style found on loading (CR, LF or CR LF) is used for new
// lines, and on saving every line break, whatever its kind, is written in it.
//
// SetPlain() turns the same byte-exact document into a plain text box (the
// settings-file viewer): no highlighting, no line numbers, no visible white
// space, and the user's blanks are kept as typed.
#pragma once

#include "editor/ScintillaControl.h"
#include "encoding/TextEncoding.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TIniLexer;
class TSynIniSyn;

class TSynEditor : public TScintillaControl {
    Q_OBJECT
public:
    enum class TLineBreak { CrLf, Lf, Cr };

    explicit TSynEditor(QWidget* parent = nullptr);
    ~TSynEditor() override;

    // Replaces the text with the file's bytes and clears the undo history; not a
    // change of the user's. Throws std::runtime_error when the file cannot be
    // opened, and keeps the previous text then; a file that cannot be read to
    // its end leaves the editor empty.
    void LoadFromFile(const std::string& path);
    // The same for bytes already read. Bytes that are valid UTF-8 are shown as
    // UTF-8, any others as `notUtf8As` (none: Windows-1252).
    void LoadFromBytes(std::string bytes, std::optional<TTextEncoding> notUtf8As = std::nullopt);
    // The same for bytes its caller keeps: UTF-8 shown as it is goes to the
    // control without a copy of its own.
    void LoadFromView(std::string_view bytes,
                      std::optional<TTextEncoding> notUtf8As = std::nullopt);
    // Replaces the text with text already decoded (UTF-8), for views that
    // show text and never save it; not a change of the user's.
    void ShowText(std::string_view utf8);
    // Shows the same bytes, edits included, as another encoding: each byte
    // keeps its value and may show as another letter; typed text is encoded in
    // the new encoding from now on. The caret stays on its line; the undo
    // history is cleared, since its steps hold the old letters. Not a change
    // of the user's.
    void SetEncoding(TTextEncoding encoding);
    // Removes the trailing blanks of the lines the user edited, then writes the
    // text in the file's encoding with the line-break style found when loading.
    // Throws std::runtime_error with the reason when the file cannot be written.
    void SaveToFile(const std::string& path);
    // Empties the text and the undo history; not a change of the user's.
    void ClearAll();
    bool IsEmpty() const;
    // Open: enabled on the window colour. Empty: disabled and grey.
    void SetOpenState(bool open);
    bool IsOpen() const { return FOpen; }
    // A plain text box from now on: highlighting, line numbers, visible white
    // space and line ends, virtual space and the trimming of edited lines off.
    void SetPlain();
    // A view of text that is never edited or saved: read-only, no undo, no
    // trimming, no UserChange; highlighted like the editor.
    void SetViewOnly();
    // In a view: the lines [first, first + removed) become `text` (lines
    // separated by LF, without a final one).
    void ReplaceViewLines(long first, long removed, std::string_view text);
    // Texts of this many bytes or more are held without Scintilla's style
    // byte beside each character (a third of the memory they would take);
    // their tokens are painted through indicators on the lines in view, with
    // their colours, background and underline but not bold or italic.
    static constexpr std::size_t UnstyledFrom = std::size_t(16) << 20;
    bool IsStyled() const;
    // Whether the line numbers are shown (they are at first).
    void SetLineNumbers(bool shown);
    // Font sizes in points of the text and of the line-number gutter.
    void SetFontSizes(int textPoints, int gutterPoints);
    // The text as SaveToFile writes it (without trimming anything first).
    std::string Bytes() const;
    // The shown text (UTF-8) and one of its lines without its line break, as
    // views into the editor's buffer, valid until the next change. A line
    // alone leaves the buffer's gap where it is, near the last edit.
    std::string_view TextView() const;
    std::string_view LineView(std::size_t line) const;
    std::size_t CaretLine() const;
    // The bytes with every line break (CR LF, CR or LF) written as `style`.
    static std::string ConvertLineBreaks(std::string_view bytes, TLineBreak style);

    TLineBreak LineBreak() const { return FLineBreak; }
    // The encoding the document is shown in: UTF-8 when its file was valid
    // UTF-8, else Windows-1252, or what SetEncoding chose.
    TTextEncoding Encoding() const { return FEncoding; }
    bool IsCp1252() const { return FEncoding == TTextEncoding::Windows1252; }
    // Whether the bytes last loaded were valid UTF-8.
    bool LoadedUtf8() const { return FLoadedUtf8; }

    // Pastes the clipboard's text at the caret, unless the document's encoding
    // cannot hold it.
    void paste() override;
    // Text from an assistive technology: refused, with InputRefused, where
    // the document's encoding cannot hold it.
    bool AcceptsInput(const QString& text) override;

    // The highlighter that colours the text; its attributes may be changed at
    // any time and the editor follows.
    TSynIniSyn* SynINI();
    TIniLexer* Lexer() const { return FLexer; }

    // Removes the trailing blanks (spaces and tabs) of the lines the user
    // edited. The caret's line is left for later unless `caretLineToo`; when it
    // is trimmed the caret keeps its column in the virtual space past the end.
    // One undo step; does nothing when there is nothing to remove.
    void TrimEditedLines(bool caretLineToo);
    // BulkEdit for lines the program puts in or takes out as they are: the
    // lines it touches are not the user's edits, so none is trimmed for it.
    void BulkEditAsIs(const std::function<void()>& edit);
    // One change of a line or two the program makes as is (a phrase put
    // between its quotes): one undo step, followed edit by edit like typing,
    // and no line is trimmed for it.
    void EditAsIs(const std::function<void()>& edit);

signals:
    // Raised for every change that enters the undo history (typing, pasting,
    // cutting, dropping, undo, redo), not for loading or clearing.
    void UserChange();
    // Ctrl+F1: context help for the editor was asked for.
    void ContextHelp();
    // Typed, pasted or dropped text was refused: the document's encoding
    // cannot hold this character of it. `text` is what was typed or pasted at
    // the caret, for a caller that can make room for it; empty for a drop.
    void InputRefused(char32_t character, const QString& text);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    QByteArray fromMimeData(const QMimeData* source, bool& rectangular) const override;

private:
    // The one check of the user's text: the first character that the
    // document's encoding cannot hold, or none.
    std::optional<char32_t> Unencodable(const QString& text) const;
    std::optional<char32_t> Unencodable(const QMimeData* source) const;
    // True when the key is bound to the editor's paste command.
    bool IsPasteKey(const QKeyEvent* e) const;
    void TextModified(int position, int type, int length, int linesAdded);
    void UpdateUi(int updated);
    void NoteEditedLines(int firstLine, int lastLine);
    void SortEditedLines();
    void ApplyStyles();
    void UpdateMarginWidth();
    void ShowScrollHint(int value);
    void ReplaceText(std::string_view text);
    // The same for a text of `bytes` bytes (as far as known) that `fill`
    // appends with AppendText; ResetDocument follows when it is whole.
    void ReplaceText(std::size_t bytes, const std::function<void()>& fill);
    void AppendText(std::string_view text);
    // Makes the control's document an empty one with or without styles, as a
    // text of `bytes` bytes needs, keeping the document's settings. False when
    // the document was already of that kind (and is left as it is).
    bool UseDocumentFor(std::size_t bytes);
    // `asIs`: the bytes are known to decode as they are.
    void Load(std::string bytes, TTextEncoding encoding, bool loadedUtf8, bool asIs = false);
    void ResetDocument();
    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;

    TIniLexer* FLexer = nullptr;
    TLineBreak FLineBreak = TLineBreak::CrLf;
    TTextEncoding FEncoding = TTextEncoding::Utf8;
    bool FLoadedUtf8 = true;
    bool FOpen = true;
    bool FPlain = false;
    bool FLineNumbers = true;
    bool FViewOnly = false;
    // Set while the editor itself replaces the text (loading, clearing) or
    // trims it, or the program edits it as is, so those changes are told
    // apart from the user's.
    bool FLoading = false;
    bool FTrimming = false;
    // Lines the user edited that end in blanks, waiting for the caret to
    // leave them; kept in step with lines inserted and removed above them.
    std::vector<int> FEditedLines;
    bool FTrimQueued = false;
    int FMarginDigits = 0;

    QColor FInk = Qt::black;
    QColor FPaper = Qt::white;
    double FTextPoints = 11.25;
    double FGutterPoints = 8.25;
};
