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

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "GuiBench.h"
#include "TranslationText.h"
#include "workbench/Workbench.h"

namespace {

namespace fs = std::filesystem;

const bench::TTranslationPair& Files() {
    static const bench::TTranslationPair files = bench::MakeTranslationPair(bench::TextSize(), 0);
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
    state.counters["problems"] = static_cast<double>(w.Frm->Workbench()->Checker().ProblemCount());
    SetLabel(state, "load, check every line, markers, problems list (information)");
}
BENCHMARK(BM_OpenAgainstReference)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

using bench::TKey;
using bench::TWhere;

QsciScintilla& PlainEditor() {
    static QsciScintilla& editor = bench::MakePlainEditor(Files().Translation, 1000, 600);
    return editor;
}

void BM_Keystroke_Workbench(benchmark::State& state, TWhere where) {
    TWorkbench& w = Workbench();
    const auto progress = w.Frm->Workbench()->Checker().Progress();
    bench::TypeKeys(state, *w.Frm->MemTranslation, *w.Frm, where);
    if (w.Frm->Workbench()->Checker().Progress() != progress)
        state.SkipWithError("the progress changed though the text is as it was");
    SetLabel(state, "baseline: <= 16 ms per key, wherever the caret is");
}
// Return, splitting a line, and Backspace, joining it again: lines move.
void BM_NewLine_Workbench(benchmark::State& state, TWhere where) {
    TWorkbench& w = Workbench();
    const auto progress = w.Frm->Workbench()->Checker().Progress();
    bench::TypeKeys(state, *w.Frm->MemTranslation, *w.Frm, where, TKey::Return);
    if (w.Frm->Workbench()->Checker().Progress() != progress)
        state.SkipWithError("the progress changed though the text is as it was");
    SetLabel(state, "baseline: <= 16 ms per key, wherever the caret is");
}
void BM_Keystroke_PlainQScintilla(benchmark::State& state, TWhere where) {
    QsciScintilla& editor = PlainEditor();
    bench::TypeKeys(state, editor, editor, where);
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
    reporter.PrintByPlace("Keystroke with repaint, workbench on (baseline: <= 16 ms):",
                          {{"main window", "BM_Keystroke_Workbench"},
                           {"plain QScintilla", "BM_Keystroke_PlainQScintilla"}});
    reporter.PrintByPlace("Return or Backspace between lines (baseline: <= 16 ms):",
                          {{"main window", "BM_NewLine_Workbench"}});
    return 0;
}
