// The translation editor with a large translation file: styling all of it
// against QScintilla's own properties lexer, opening it (load and first
// paint), saving it, how much is styled again after one typed character, and
// what one keystroke with its repaint costs at the start, in the middle and at
// the end of the text, beside a plain QScintilla control measured in the same
// run.
//
// About 50 MB by default; WORDLARK_BENCH_SMALL=1 uses about 1 MB. Runs under
// the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "editor/IniLexer.h"
#include "editor/SynEditor.h"
#include "texts/InterfaceTexts.h"
#include "texts/RecoveryKeeper.h"

#include <Qsci/qscilexerproperties.h>
#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "GuiBench.h"
#include "TranslationText.h"

namespace {

using Sci = QsciScintillaBase;

struct Corpus {
    std::string text;
    std::string path; // the text as a file
    std::string savePath;
};

const Corpus& GetCorpus() {
    static const Corpus corpus = [] {
        Corpus c;
        c.text = bench::TranslationText(bench::TextSize(), "\r\n");
        const auto folder = std::filesystem::temp_directory_path();
        c.path = (folder / "wordlark-editor-bench.ini").string();
        c.savePath = (folder / "wordlark-editor-bench-saved.ini").string();
        std::ofstream(c.path, std::ios::binary)
            .write(c.text.data(), static_cast<std::streamsize>(c.text.size()));
        return c;
    }();
    return corpus;
}

// The editor every benchmark shares, shown offscreen with the corpus loaded.
TSynEditor& LoadedEditor() {
    static TSynEditor* editor = [] {
        auto* e = new TSynEditor;
        e->resize(1000, 700);
        e->SynINI()->StringAttri()->SetForeground(8388672);
        e->SynINI()->StringAttri()->SetBackground(10354687);
        e->LoadFromFile(GetCorpus().path);
        e->show();
        QApplication::processEvents();
        return e;
    }();
    return *editor;
}

void SetLabel(benchmark::State& state, const char* baseline) {
    state.SetLabel(baseline);
    state.counters["MB"] = static_cast<double>(GetCorpus().text.size()) / 1e6;
}

void BM_StyleAll_IniLexer(benchmark::State& state) {
    TSynEditor& editor = LoadedEditor();
    TIniLexer* lexer = editor.Lexer();
    lexer->ResetStyledBytes();
    for (auto _ : state) {
        // Forget the styles, so the whole text is styled again each time.
        lexer->Invalidate();
        editor.SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
    }
    state.counters["styled_MB_per_run"] =
        static_cast<double>(lexer->StyledBytes()) / 1e6 / static_cast<double>(state.iterations());
    SetLabel(state, "baseline: <= 0.75 x the properties lexer below");
}
BENCHMARK(BM_StyleAll_IniLexer)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StyleAll_QsciLexerProperties(benchmark::State& state) {
    static QsciScintilla* editor = [] {
        auto* e = new QsciScintilla;
        e->setUtf8(true);
        e->setLexer(new QsciLexerProperties(e));
        const std::string& text = GetCorpus().text;
        e->SendScintilla(Sci::SCI_SETUNDOCOLLECTION, 0UL, 0L);
        e->SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(text.size()),
                         static_cast<void*>(const_cast<char*>(text.data())));
        return e;
    }();
    for (auto _ : state)
        editor->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
    SetLabel(state, "QScintilla's built-in lexer on the same text (reference)");
}
BENCHMARK(BM_StyleAll_QsciLexerProperties)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenAndFirstPaint(benchmark::State& state) {
    TSynEditor& editor = LoadedEditor();
    for (auto _ : state) {
        editor.LoadFromFile(GetCorpus().path);
        editor.viewport()->repaint();
        QApplication::processEvents();
    }
    SetLabel(state, "baseline: < 1000 ms");
}
BENCHMARK(BM_OpenAndFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Save(benchmark::State& state) {
    TSynEditor& editor = LoadedEditor();
    for (auto _ : state)
        editor.SaveToFile(GetCorpus().savePath);
    SetLabel(state, "baseline: < 500 ms");
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime();

// Typing in a line in the middle of the text, each key followed by its paint.
void BM_TypeOneCharacter(benchmark::State& state) {
    TSynEditor& editor = LoadedEditor();
    TIniLexer* lexer = editor.Lexer();
    const long middle = editor.SendScintilla(Sci::SCI_GETLENGTH) / 2;
    editor.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(middle));
    editor.viewport()->repaint();
    QApplication::processEvents();
    const long line = editor.SendScintilla(Sci::SCI_LINEFROMPOSITION, middle);
    const long lineStart = editor.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    // The line near the top of the view, so a whole screen of lines follows it.
    editor.SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(line - 2));
    editor.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(lineStart + 3));
    const long lineLength = editor.SendScintilla(Sci::SCI_POSITIONFROMLINE, line + 1) - lineStart;
    const long viewEnd = editor.SendScintilla(Sci::SCI_POSITIONFROMLINE,
                                              editor.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE) +
                                                  editor.SendScintilla(Sci::SCI_LINESONSCREEN) + 1);
    lexer->ResetStyledBytes();
    // Each round types a character and takes it back, so the line keeps its length.
    for (auto _ : state) {
        QKeyEvent type(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&editor, &type);
        editor.viewport()->repaint();
        QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(&editor, &erase);
        editor.viewport()->repaint();
    }
    const double keys = 2.0 * static_cast<double>(state.iterations());
    state.counters["styled_bytes_per_key"] = static_cast<double>(lexer->StyledBytes()) / keys;
    state.counters["line_bytes"] = static_cast<double>(lineLength) + 0.5;
    state.counters["line_to_view_end_bytes"] = static_cast<double>(viewEnd - lineStart);
    state.SetLabel("baseline: styled bytes = the edited line only");
    editor.LoadFromFile(GetCorpus().path);
}
BENCHMARK(BM_TypeOneCharacter)->Unit(benchmark::kMicrosecond)->UseRealTime();

using bench::TWhere;

// A QScintilla control with nothing of ours: no highlighter, no handlers.
QsciScintilla& PlainEditor() {
    static QsciScintilla& editor = bench::MakePlainEditor(GetCorpus().text, 1000, 700);
    return editor;
}

void BM_Keystroke_TSynEditor(benchmark::State& state, TWhere where) {
    TSynEditor& editor = LoadedEditor();
    bench::TypeKeys(state, editor, editor, where, bench::TKey::Letter, bench::TFirstKey::Timed);
    SetLabel(state, "baseline: <= 16 ms per key, wherever the caret is");
    editor.LoadFromFile(GetCorpus().path);
}
void BM_Keystroke_PlainQScintilla(benchmark::State& state, TWhere where) {
    bench::TypeKeys(state, PlainEditor(), PlainEditor(), where, bench::TKey::Letter,
                    bench::TFirstKey::Timed);
    SetLabel(state, "a plain QScintilla control, same text, same run (reference)");
}
// The same keys with the main window's recovery writer following the editor:
// each change restarts its wait; the work is collected and written only once
// the typing pauses.
void BM_Keystroke_TSynEditorRecovery(benchmark::State& state, TWhere where) {
    TSynEditor& editor = LoadedEditor();
    const auto folder = std::filesystem::temp_directory_path() / "wordlark-editor-bench-recovery";
    std::filesystem::create_directories(folder);
    TInterfaceTexts texts;
    TRecoveryKeeper keeper(nullptr, texts, [&editor] {
        TRecoveredWork work;
        work.TranslationPath = GetCorpus().path;
        work.Text = editor.Bytes();
        return work;
    });
    keeper.SetFolder(folder.string());
    const QMetaObject::Connection changed =
        QObject::connect(&editor, &TSynEditor::UserChange, &keeper, &TRecoveryKeeper::Changed);
    bench::TypeKeys(state, editor, editor, where, bench::TKey::Letter, bench::TFirstKey::Timed);
    QObject::disconnect(changed);
    keeper.Clear();
    std::filesystem::remove_all(folder);
    SetLabel(state, "baseline: the same as BM_Keystroke_TSynEditor");
    editor.LoadFromFile(GetCorpus().path);
}
BENCHMARK_CAPTURE(BM_Keystroke_TSynEditorRecovery, middle, TWhere::Middle)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One write of the recovery file (after a pause in the typing, not per key).
void BM_RecoveryWrite(benchmark::State& state) {
    TSynEditor& editor = LoadedEditor();
    const auto folder = std::filesystem::temp_directory_path() / "wordlark-editor-bench-recovery";
    std::filesystem::create_directories(folder);
    TInterfaceTexts texts;
    TRecoveryKeeper keeper(nullptr, texts, [&editor] {
        TRecoveredWork work;
        work.TranslationPath = GetCorpus().path;
        work.Text = editor.Bytes();
        return work;
    });
    keeper.SetFolder(folder.string());
    for (auto _ : state) {
        keeper.Changed();
        keeper.WriteNow();
    }
    keeper.Clear();
    std::filesystem::remove_all(folder);
    SetLabel(state, "once per pause in the typing");
}
BENCHMARK(BM_RecoveryWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_CAPTURE(BM_Keystroke_TSynEditor, start, TWhere::Start)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Keystroke_PlainQScintilla, start, TWhere::Start)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Keystroke_TSynEditor, middle, TWhere::Middle)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Keystroke_PlainQScintilla, middle, TWhere::Middle)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Keystroke_TSynEditor, end, TWhere::End)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Keystroke_PlainQScintilla, end, TWhere::End)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Keeps each run's time so the styling ratio can be printed at the end.
    bench::TTimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto ours = reporter.Times.find("BM_StyleAll_IniLexer/real_time");
    const auto theirs = reporter.Times.find("BM_StyleAll_QsciLexerProperties/real_time");
    if (ours != reporter.Times.end() && theirs != reporter.Times.end() && theirs->second > 0)
        std::printf("Styling all: IniLexer %.1f ms, QsciLexerProperties %.1f ms, ratio %.2f "
                    "(baseline: <= 0.75)\n",
                    ours->second, theirs->second, ours->second / theirs->second);
    reporter.PrintByPlace("Keystroke with repaint (baseline: <= 16 ms in TSynEditor):",
                          {{"TSynEditor", "BM_Keystroke_TSynEditor"},
                           {"plain QScintilla", "BM_Keystroke_PlainQScintilla"}});
    std::filesystem::remove(GetCorpus().path);
    std::filesystem::remove(GetCorpus().savePath);
    return 0;
}
