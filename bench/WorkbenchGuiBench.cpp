// The translator's workbench in the main window with a large translation:
// opening it against its reference (load, check, markers, problems list), and
// one keystroke with its repaint at the start, in the middle and at the end of
// the text, with the checks, markers, progress and reference phrase brought up
// to date, beside a plain QScintilla control on the same text in the same run.
//
// The translation has unique keys, most phrases translated, some still as the
// reference has them, some with a lost placeholder, a few keys missing and a
// few the reference lacks. About 50 MB by default; WORDLARK_BENCH_SMALL=1 uses
// about 1 MB. Runs under the offscreen platform unless QT_QPA_PLATFORM says
// otherwise.

#include "app/FrmWordlark.h"
#include "editor/SynEditor.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "GuiBench.h"

namespace {

namespace fs = std::filesystem;
using Sci = QsciScintillaBase;

std::size_t TextSize() {
    const char* small = std::getenv("WORDLARK_BENCH_SMALL");
    return (small && std::strcmp(small, "1") == 0) ? (1u << 20) : (50u << 20);
}

struct TFiles {
    std::string Reference;
    std::string Translation;
};

const TFiles& Files() {
    static const TFiles files = [] {
        TFiles f;
        std::uint32_t state = 2026;
        const auto next = [&state](std::uint32_t bound) {
            state = state * 1103515245u + 12345u;
            return (state >> 16) % bound;
        };
        static const char* const Words[] = {"Open", "the", "file", "Save", "all",     "changes",
                                            "Quit", "now", "page", "of",   "Picture", "size"};
        static const char* const German[] = {"Öffne", "die",        "Datei", "Speichere",
                                             "alle",  "Änderungen", "Ende",  "jetzt",
                                             "Seite", "von",        "Bild",  "Größe"};
        for (std::size_t i = 0; f.Translation.size() < TextSize(); ++i) {
            const std::uint32_t kind = next(100);
            if (kind < 2) {
                const std::string section = "[Form" + std::to_string(i) + "]\r\n";
                f.Reference += section;
                f.Translation += section;
                continue;
            }
            const std::string key =
                "Form" + std::to_string(i / 40) + ".Control" + std::to_string(i);
            std::string english, german;
            const std::uint32_t words = 2 + next(6);
            for (std::uint32_t w = 0; w < words; ++w) {
                const std::uint32_t pick = next(std::size(Words));
                english += (w ? " " : "") + std::string(Words[pick]);
                german += (w ? " " : "") + std::string(German[pick]);
            }
            const bool placeholder = next(3) == 0;
            f.Reference += key + "=\"" + english + (placeholder ? " %s" : "") + "\"\r\n";
            if (kind < 3)
                continue; // missing from the translation
            if (kind < 4)
                f.Translation += key + "Extra=\"" + german + "\"\r\n";
            else if (kind < 15)
                f.Translation += key + "=\"" + english + (placeholder ? " %s" : "") + "\"\r\n";
            else if (kind < 17)
                f.Translation += key + "=\"" + german + "\"\r\n"; // lost its %s, if any
            else
                f.Translation += key + "=\"" + german + (placeholder ? " %s" : "") + "\"\r\n";
        }
        return f;
    }();
    return files;
}

// The program in a temporary folder, the catalogue with the two files, and
// the main window with the translation open against the reference.
class TWorkbench {
public:
    TWorkbench() : FRoot(FDir.Path()), FFake(FRoot) {
        for (const char* folder : {"bin", "local", "roaming", "common", "Big"})
            fs::create_directories(FRoot + folder);
        fs::copy(WORDLARK_DATA_DIR, FRoot + "bin", fs::copy_options::recursive);
        std::ofstream(FRoot + "Big/Languages.ini", std::ios::binary)
            << "LanguageName=\"English\"\r\nLanguageFile=\"Big_English.ini\"\r\n"
               "LanguageName=\"Deutsch\"\r\nLanguageFile=\"Big_Deutsch.ini\"\r\n";
        std::ofstream(FRoot + "Big/Big_English.ini", std::ios::binary) << Files().Reference;
        std::ofstream(FRoot + "Big/Big_Deutsch.ini", std::ios::binary) << Files().Translation;
        Frm = std::make_unique<TFrmWordlark>();
        Frm->resize(1000, 800);
        Frm->show();
        QApplication::processEvents();
        Frm->LoadCatalogue(FRoot + "Big/Languages.ini");
        Frm->SetCataloguePath(FRoot + "Big/Languages.ini");
    }
    void Open() {
        Frm->OpenTranslation(FRoot + "Big/Big_Deutsch.ini", "");
        Frm->repaint();
        QApplication::processEvents();
    }

    std::unique_ptr<TFrmWordlark> Frm;

private:
    TempDir FDir;
    std::string FRoot;
    ScopedFakePlatform FFake;
};

// Made on first use; removed with its files at the end of the run.
std::unique_ptr<TWorkbench> GWorkbench;
TWorkbench& Workbench() {
    if (!GWorkbench) {
        GWorkbench = std::make_unique<TWorkbench>();
        GWorkbench->Open();
    }
    return *GWorkbench;
}

void SetLabel(benchmark::State& state, const char* baseline) {
    state.SetLabel(baseline);
    state.counters["MB"] = static_cast<double>(Files().Translation.size()) / 1e6;
}

void BM_OpenAgainstReference(benchmark::State& state) {
    TWorkbench& w = Workbench();
    for (auto _ : state)
        w.Open();
    state.counters["problems"] = static_cast<double>(w.Frm->Checker().ProblemCount());
    SetLabel(state, "load, check every line, markers, problems list (information)");
}
BENCHMARK(BM_OpenAgainstReference)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

enum class TWhere { Start, Middle, End };

// Keys typed into a phrase and taken back again, each with its repaint and
// whatever the window does after it (the events it posted included).
void TypeKeys(benchmark::State& state, QsciScintilla& editor, QWidget& window, TWhere where,
              bool newLine = false) {
    const long length = editor.SendScintilla(Sci::SCI_GETLENGTH);
    const long at = where == TWhere::Start ? 0 : where == TWhere::Middle ? length / 2 : length;
    long line = editor.SendScintilla(Sci::SCI_LINEFROMPOSITION, at);
    // A line with a phrase: the last line of the text is empty.
    if (where == TWhere::End)
        line = std::max(0L, line - 1);
    const long lineStart = editor.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const long lineEnd = editor.SendScintilla(Sci::SCI_GETLINEENDPOSITION, line);
    // Before the phrase's closing quote when splitting the line, so that no
    // blank is left at the end of its first half.
    editor.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(
                                               std::max(lineStart, lineEnd - (newLine ? 1 : 3))));
    editor.SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE,
                         static_cast<unsigned long>(std::max(0L, line - 2)));
    window.repaint();
    QApplication::processEvents();
    // The first key moves Scintilla's gap there; it is not timed.
    const auto typeKey = [&] {
        QKeyEvent key(QEvent::KeyPress, newLine ? Qt::Key_Return : Qt::Key_X, Qt::NoModifier,
                      newLine ? QStringLiteral("\r") : QStringLiteral("x"));
        QApplication::sendEvent(&editor, &key);
    };
    {
        typeKey();
        QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(&editor, &erase);
        window.repaint();
        QApplication::processEvents();
    }
    bool typed = false;
    for (auto _ : state) {
        if (!typed) {
            typeKey();
        } else {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
            QApplication::sendEvent(&editor, &key);
        }
        editor.viewport()->repaint();
        QApplication::processEvents();
        typed = !typed;
    }
    if (typed) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(&editor, &key);
    }
    QApplication::processEvents();
    if (editor.SendScintilla(Sci::SCI_GETLENGTH) != length)
        state.SkipWithError("the text did not keep its length");
}

QsciScintilla& PlainEditor() {
    static QsciScintilla& editor = bench::MakePlainEditor(Files().Translation, 1000, 600);
    return editor;
}

void BM_Keystroke_Workbench(benchmark::State& state, TWhere where) {
    TWorkbench& w = Workbench();
    const auto progress = w.Frm->Checker().Progress();
    TypeKeys(state, *w.Frm->MemTranslation, *w.Frm, where);
    if (w.Frm->Checker().Progress() != progress)
        state.SkipWithError("the progress changed though the text is as it was");
    SetLabel(state, "baseline: <= 16 ms per key, wherever the caret is");
}
// Return, splitting a line, and Backspace, joining it again: lines move.
void BM_NewLine_Workbench(benchmark::State& state, TWhere where) {
    TWorkbench& w = Workbench();
    const auto progress = w.Frm->Checker().Progress();
    TypeKeys(state, *w.Frm->MemTranslation, *w.Frm, where, true);
    if (w.Frm->Checker().Progress() != progress)
        state.SkipWithError("the progress changed though the text is as it was");
    SetLabel(state, "baseline: <= 16 ms per key, wherever the caret is");
}
void BM_Keystroke_PlainQScintilla(benchmark::State& state, TWhere where) {
    QsciScintilla& editor = PlainEditor();
    TypeKeys(state, editor, editor, where);
    SetLabel(state, "a plain QScintilla control, same text, same run (reference)");
}
BENCHMARK_CAPTURE(BM_Keystroke_Workbench, start, TWhere::Start)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Keystroke_PlainQScintilla, start, TWhere::Start)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Keystroke_Workbench, middle, TWhere::Middle)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Keystroke_PlainQScintilla, middle, TWhere::Middle)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Keystroke_Workbench, end, TWhere::End)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Keystroke_PlainQScintilla, end, TWhere::End)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_NewLine_Workbench, start, TWhere::Start)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_NewLine_Workbench, middle, TWhere::Middle)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_NewLine_Workbench, end, TWhere::End)
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
    bench::TTimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (GWorkbench) {
        GWorkbench->Frm->Modified = false;
        GWorkbench.reset();
    }
    bool any = false;
    for (const char* where : {"start", "middle", "end"}) {
        const auto ours =
            reporter.Times.find(std::string("BM_Keystroke_Workbench/") + where + "/real_time");
        const auto plain = reporter.Times.find(std::string("BM_Keystroke_PlainQScintilla/") +
                                               where + "/real_time");
        if (ours == reporter.Times.end() || plain == reporter.Times.end())
            continue;
        if (!any)
            std::printf("Keystroke with repaint, workbench on (baseline: <= 16 ms):\n");
        any = true;
        std::printf("  %-7s main window %8.2f ms   plain QScintilla %8.2f ms\n", where,
                    ours->second, plain->second);
    }
    for (const char* where : {"start", "middle", "end"}) {
        const auto line =
            reporter.Times.find(std::string("BM_NewLine_Workbench/") + where + "/real_time");
        if (line != reporter.Times.end())
            std::printf("  %-7s Return or Backspace between lines, main window %8.2f ms\n", where,
                        line->second);
    }
    return 0;
}
