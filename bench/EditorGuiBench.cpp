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
#include <cstring>
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

// Styling is compared on as much of the corpus as the editor keeps styles
// for (a larger text is painted around the view only, and never styled whole).
const std::string& StyledText() {
    static const std::string text = [] {
        const std::string& all = GetCorpus().text;
        if (all.size() < TSynEditor::UnstyledFrom)
            return all;
        return all.substr(0, all.rfind('\n', TSynEditor::UnstyledFrom - 1) + 1);
    }();
    return text;
}

void SetStyledLabel(benchmark::State& state, const char* baseline) {
    state.SetLabel(baseline);
    state.counters["MB"] = static_cast<double>(StyledText().size()) / 1e6;
}

void BM_StyleAll_IniLexer(benchmark::State& state) {
    static TSynEditor* editor = [] {
        auto* e = new TSynEditor;
        e->LoadFromBytes(StyledText());
        return e;
    }();
    TIniLexer* lexer = editor->Lexer();
    lexer->ResetStyledBytes();
    for (auto _ : state) {
        // Forget the styles, so the whole text is styled again each time.
        lexer->Invalidate();
        editor->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
    }
    state.counters["styled_MB_per_run"] =
        static_cast<double>(lexer->StyledBytes()) / 1e6 / static_cast<double>(state.iterations());
    SetStyledLabel(state, "baseline: <= 0.75 x the properties lexer below");
}
// Both lexers style the whole text the same number of times, the first time
// (slower: the style buffer is filled the first time) included in both.
constexpr int StyleRuns = 5;
BENCHMARK(BM_StyleAll_IniLexer)->Unit(benchmark::kMillisecond)->Iterations(StyleRuns);

void BM_StyleAll_QsciLexerProperties(benchmark::State& state) {
    static QsciScintilla* editor = [] {
        auto* e = new QsciScintilla;
        e->setUtf8(true);
        e->setLexer(new QsciLexerProperties(e));
        const std::string& text = StyledText();
        e->SendScintilla(Sci::SCI_SETUNDOCOLLECTION, 0UL, 0L);
        e->SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(text.size()),
                         static_cast<void*>(const_cast<char*>(text.data())));
        return e;
    }();
    for (auto _ : state)
        editor->SendScintilla(Sci::SCI_COLOURISE, 0UL, -1L);
    SetStyledLabel(state, "QScintilla's built-in lexer on the same text (reference)");
}
BENCHMARK(BM_StyleAll_QsciLexerProperties)->Unit(benchmark::kMillisecond)->Iterations(StyleRuns);

void BM_OpenAndFirstPaint(benchmark::State& state) {
    TSynEditor& editor = LoadedEditor();
    for (auto _ : state) {
        editor.LoadFromFile(GetCorpus().path);
        editor.viewport()->repaint();
        QApplication::processEvents();
    }
    SetLabel(state, "baseline: < 400 ms");
}
BENCHMARK(BM_OpenAndFirstPaint)->Unit(benchmark::kMillisecond);

// The floor: the same file read into a plain QScintilla control and painted.
void BM_Open_PlainQScintilla(benchmark::State& state) {
    QsciScintilla editor;
    editor.setUtf8(true);
    editor.resize(1000, 700);
    editor.show();
    for (auto _ : state) {
        std::string text;
        {
            std::ifstream in(GetCorpus().path, std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), {});
        }
        editor.SendScintilla(Sci::SCI_CLEARALL);
        editor.SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(text.size()),
                             text.data());
        editor.viewport()->repaint();
        QApplication::processEvents();
    }
    SetLabel(state, "a plain QScintilla control, same file, same run (reference)");
}
BENCHMARK(BM_Open_PlainQScintilla)->Unit(benchmark::kMillisecond);

// The peak memory of opening the file in a process of its own: in the
// editor, and in a plain QScintilla control.
void BM_PeakMemory_TSynEditor(benchmark::State& state) {
    bench::ReportPeakMemory(state, {"--peak-child=editor", GetCorpus().path},
                            static_cast<double>(GetCorpus().text.size()) / 1e6);
    state.SetLabel("baseline: < 2.5 x the file");
}
BENCHMARK(BM_PeakMemory_TSynEditor)->Unit(benchmark::kMillisecond)->Iterations(1);
void BM_PeakMemory_PlainQScintilla(benchmark::State& state) {
    bench::ReportPeakMemory(state, {"--peak-child=plain", GetCorpus().path},
                            static_cast<double>(GetCorpus().text.size()) / 1e6);
    state.SetLabel("a plain QScintilla control, same file (reference)");
}
BENCHMARK(BM_PeakMemory_PlainQScintilla)->Unit(benchmark::kMillisecond)->Iterations(1);

// Child mode: opens the file as asked, shows it and prints its peak memory.
int PeakChild(const std::string& what, const std::string& path) {
    if (what == "editor") {
        TSynEditor editor;
        editor.resize(1000, 700);
        editor.LoadFromFile(path);
        editor.show();
        QApplication::processEvents();
        std::printf("peak_MB %.3f\n", bench::PeakMemoryMB());
        return 0;
    }
    std::string text;
    {
        std::ifstream in(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    QsciScintilla editor;
    editor.setUtf8(true);
    editor.resize(1000, 700);
    editor.SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(text.size()), text.data());
    text = std::string();
    editor.show();
    QApplication::processEvents();
    std::printf("peak_MB %.3f\n", bench::PeakMemoryMB());
    return 0;
}

void BM_Save(benchmark::State& state) {
    TSynEditor& editor = LoadedEditor();
    for (auto _ : state)
        editor.SaveToFile(GetCorpus().savePath);
    SetLabel(state, "baseline: < 500 ms");
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_TypeOneCharacter)->Unit(benchmark::kMicrosecond);

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
    ->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_RecoveryWrite)->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_Keystroke_TSynEditor, start, TWhere::Start)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Keystroke_PlainQScintilla, start, TWhere::Start)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Keystroke_TSynEditor, middle, TWhere::Middle)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Keystroke_PlainQScintilla, middle, TWhere::Middle)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Keystroke_TSynEditor, end, TWhere::End)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Keystroke_PlainQScintilla, end, TWhere::End)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc == 3 && std::strncmp(argv[1], "--peak-child=", 13) == 0)
        return PeakChild(argv[1] + 13, argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Keeps each run's time so the styling ratio can be printed at the end.
    bench::TTimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto* ours = bench::TTimesReporter::Named(reporter.Times, "BM_StyleAll_IniLexer/");
    const auto* theirs =
        bench::TTimesReporter::Named(reporter.Times, "BM_StyleAll_QsciLexerProperties/");
    if (ours && theirs && theirs->second > 0)
        std::printf("Styling all (CPU, %d runs each): IniLexer %.1f ms, QsciLexerProperties "
                    "%.1f ms, ratio %.2f (baseline: <= 0.75)\n",
                    StyleRuns, ours->second, theirs->second, ours->second / theirs->second);
    reporter.PrintByPlace("Keystroke with repaint (baseline: <= 16 ms in TSynEditor):",
                          {{"TSynEditor", "BM_Keystroke_TSynEditor"},
                           {"plain QScintilla", "BM_Keystroke_PlainQScintilla"}});
    const auto peak = [&](const char* name) {
        const auto hit = reporter.Counters.find(name);
        return hit == reporter.Counters.end() ? -1.0 : hit->second["peak_MB"];
    };
    const double fileMB = static_cast<double>(GetCorpus().text.size()) / 1e6;
    if (peak("BM_PeakMemory_TSynEditor/iterations:1") > 0)
        std::printf("Peak memory opening %.1f MB: TSynEditor %.1f MB (%.2f x the file; baseline: "
                    "< 2.5 x), plain QScintilla %.1f MB (%.2f x)\n",
                    fileMB, peak("BM_PeakMemory_TSynEditor/iterations:1"),
                    peak("BM_PeakMemory_TSynEditor/iterations:1") / fileMB,
                    peak("BM_PeakMemory_PlainQScintilla/iterations:1"),
                    peak("BM_PeakMemory_PlainQScintilla/iterations:1") / fileMB);
    const auto open = reporter.Times.find("BM_OpenAndFirstPaint");
    const auto plainOpen = reporter.Times.find("BM_Open_PlainQScintilla");
    if (open != reporter.Times.end() && plainOpen != reporter.Times.end())
        std::printf("Open and first paint (CPU): TSynEditor %.1f ms (baseline: < 400 ms), plain "
                    "QScintilla %.1f ms\n",
                    open->second, plainOpen->second);
    std::filesystem::remove(GetCorpus().path);
    std::filesystem::remove(GetCorpus().savePath);
    return 0;
}
