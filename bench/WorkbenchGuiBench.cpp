// The translator's workbench in the main window with a large translation:
// opening it against its reference (load, check, markers, problems list) at
// three sizes with the growth fitted, one keystroke with its repaint at the
// start, in the middle and at the end of the text, with the checks, markers,
// progress and reference phrase brought up to date, beside a plain QScintilla
// control on the same text in the same run, and the peak memory of the main
// window with a translation and its reference open.
//
// The window is 1000 x 800 after it was shown (the benchmarks check it), so
// that the editor and the problems list are in view. Times are CPU time of
// the program's thread.
//
// The translation has unique keys, most phrases translated, some still as the
// reference has them, some with a lost placeholder, a few keys missing and a
// few the reference lacks. About 50 MB by default (opening also at 5 and 200
// MB, the peak memory at 48 MB); WORDLARK_BENCH_SMALL=1 uses about 1 MB (0.25,
// 1 and 4 MB for opening). Runs under the offscreen platform unless
// QT_QPA_PLATFORM says otherwise.

#include "app/FrmWordlark.h"
#include "editor/SynEditor.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QListView>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "GuiBench.h"
#include "TranslationText.h"
#include "workbench/Workbench.h"

namespace {

namespace fs = std::filesystem;

bool Small() {
    return bench::TextSize() < (50u << 20);
}

const bench::TTranslationPair& Files() {
    static const bench::TTranslationPair files = bench::MakeTranslationPair(bench::TextSize(), 0);
    return files;
}

constexpr int Width = 1000;
constexpr int Height = 800;

// The program in a temporary folder with a catalogue of the two files.
class TSandbox {
public:
    explicit TSandbox(const bench::TTranslationPair& files) : FRoot(FDir.Path()) {
        for (const char* folder : {"bin", "local", "roaming", "common", "Big"})
            fs::create_directories(FRoot + folder);
        fs::copy(WORDLARK_DATA_DIR, FRoot + "bin", fs::copy_options::recursive);
        std::ofstream(FRoot + "Big/Languages.ini", std::ios::binary)
            << "LanguageName=\"English\"\r\nLanguageFile=\"Big_English.ini\"\r\n"
               "LanguageName=\"Deutsch\"\r\nLanguageFile=\"Big_Deutsch.ini\"\r\n";
        std::ofstream(FRoot + "Big/Big_English.ini", std::ios::binary) << files.Reference;
        std::ofstream(FRoot + "Big/Big_Deutsch.ini", std::ios::binary) << files.Translation;
        TranslationMB = static_cast<double>(files.Translation.size()) / 1e6;
    }
    const std::string& Root() const { return FRoot; }
    double TranslationMB = 0;

private:
    TempDir FDir;
    std::string FRoot;
};

// The main window of the program installed at `root`, 1000 x 800 after
// showing, with the catalogue read.
class TWorkbench {
public:
    explicit TWorkbench(const std::string& root) : FRoot(root), FFake(root) {
        Frm = std::make_unique<TFrmWordlark>();
        // The first show puts back the size of a first start: the size is
        // set after it.
        Frm->show();
        QApplication::processEvents();
        Frm->resize(Width, Height);
        QApplication::processEvents();
        Frm->LoadCatalogue(FRoot + "Big/Languages.ini");
        Frm->SetCataloguePath(FRoot + "Big/Languages.ini");
    }
    ~TWorkbench() { Frm->Modified = false; }
    void Open() {
        Frm->OpenTranslation(FRoot + "Big/Big_Deutsch.ini", "");
        Frm->repaint();
        QApplication::processEvents();
    }
    // Why the window is not as measured, or empty.
    std::string Unfit() const {
        if (Frm->size() != QSize(Width, Height))
            return "the window is not 1000 x 800";
        if (Frm->MemTranslation->height() < Height / 3)
            return "the editor is not in view";
        if (!Frm->Workbench()->LisProblems->isVisible() ||
            Frm->Workbench()->LisProblems->height() < 24)
            return "the problems list is not in view";
        return {};
    }

    std::unique_ptr<TFrmWordlark> Frm;

private:
    std::string FRoot;
    ScopedFakePlatform FFake;
};

// Made on first use; removed with its files at the end of the run.
std::unique_ptr<TSandbox> GSandbox;
std::unique_ptr<TWorkbench> GWorkbench;
TWorkbench& Workbench() {
    if (!GWorkbench) {
        GSandbox = std::make_unique<TSandbox>(Files());
        GWorkbench = std::make_unique<TWorkbench>(GSandbox->Root());
        GWorkbench->Open();
    }
    return *GWorkbench;
}

void SetLabel(benchmark::State& state, const char* baseline) {
    state.SetLabel(baseline);
    state.counters["MB"] = static_cast<double>(Files().Translation.size()) / 1e6;
}

// Opening at `state.range(0)` (in MB, tenths of one when small), a window of
// its own for each size but the default one.
void BM_OpenWithWorkbench(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0)) * (Small() ? 100'000u : 1u << 20);
    const bool shared = bytes == bench::TextSize();
    std::unique_ptr<TSandbox> sandbox;
    std::unique_ptr<TWorkbench> own;
    if (!shared) {
        sandbox = std::make_unique<TSandbox>(bench::MakeTranslationPair(bytes, 0));
        own = std::make_unique<TWorkbench>(sandbox->Root());
    }
    TWorkbench& w = shared ? Workbench() : *own;
    if (const std::string unfit = w.Unfit(); !unfit.empty()) {
        state.SkipWithError(unfit.c_str());
        return;
    }
    for (auto _ : state)
        w.Open();
    state.counters["problems"] = static_cast<double>(w.Frm->Workbench()->Checker().ProblemCount());
    state.counters["problem_rows"] = w.Frm->Workbench()->ProblemRowCount();
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.SetLabel("load, check every line, markers, problems list; baseline: < 1000 ms at 50 "
                   "MB, linear (the plain control below, same run)");
    if (w.Frm->Workbench()->Checker().LineCount() < 2)
        state.SkipWithError("the translation was not opened");
}

// The floor: the same file read into a plain QScintilla control and painted.
void BM_Open_PlainQScintilla(benchmark::State& state) {
    Workbench();
    const std::string path = GSandbox->Root() + "Big/Big_Deutsch.ini";
    auto* editor = new QsciScintilla;
    editor->setUtf8(true);
    editor->resize(Width, Height);
    editor->show();
    for (auto _ : state) {
        std::string text;
        {
            std::ifstream in(path, std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), {});
        }
        editor->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
        editor->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT,
                              static_cast<unsigned long>(text.size()), text.data());
        editor->repaint();
        QApplication::processEvents();
    }
    delete editor;
    SetLabel(state, "a plain QScintilla control, same file, same run (reference)");
}

using bench::TKey;
using bench::TWhere;

QsciScintilla& PlainEditor() {
    static QsciScintilla& editor = bench::MakePlainEditor(Files().Translation, Width, 600);
    return editor;
}

void Type(benchmark::State& state, TWhere where, TKey key) {
    TWorkbench& w = Workbench();
    if (const std::string unfit = w.Unfit(); !unfit.empty()) {
        state.SkipWithError(unfit.c_str());
        return;
    }
    const auto progress = w.Frm->Workbench()->Checker().Progress();
    bench::TypeKeys(state, *w.Frm->MemTranslation, *w.Frm, where, key);
    if (w.Frm->Workbench()->Checker().Progress() != progress)
        state.SkipWithError("the progress changed though the text is as it was");
    state.counters["problem_rows"] = w.Frm->Workbench()->ProblemRowCount();
    SetLabel(state, "baseline: <= 4 ms per key, wherever the caret is");
}
void BM_Keystroke_Workbench(benchmark::State& state, TWhere where) {
    Type(state, where, TKey::Letter);
}
// Return, splitting a line, and Backspace, joining it again: lines move.
void BM_NewLine_Workbench(benchmark::State& state, TWhere where) {
    Type(state, where, TKey::Return);
}
void BM_Keystroke_PlainQScintilla(benchmark::State& state, TWhere where) {
    QsciScintilla& editor = PlainEditor();
    bench::TypeKeys(state, editor, editor, where);
    SetLabel(state, "a plain QScintilla control, same text, same run (reference)");
}

// The peak memory of the main window with a 48 MB translation and its
// reference open, shown and painted, in a child process; beside it, the same
// translation in a plain QScintilla control.
std::unique_ptr<TSandbox> GPeakSandbox;
const TSandbox& PeakSandbox() {
    if (!GPeakSandbox)
        GPeakSandbox = std::make_unique<TSandbox>(
            bench::MakeTranslationPair(Small() ? 1'000'000 : 48'000'000, 0));
    return *GPeakSandbox;
}
void BM_PeakMemory_MainWindow(benchmark::State& state) {
    const TSandbox& sandbox = PeakSandbox();
    bench::ReportPeakMemory(state, {"--peak-child=main", sandbox.Root()}, sandbox.TranslationMB);
    state.SetLabel("main window, translation and reference; baseline: < 300 MB at 48 MB");
}
void BM_PeakMemory_PlainQScintilla(benchmark::State& state) {
    const TSandbox& sandbox = PeakSandbox();
    bench::ReportPeakMemory(state, {"--peak-child=plain", sandbox.Root()}, sandbox.TranslationMB);
    state.SetLabel("the translation alone in a plain QScintilla control (reference)");
}

// Child mode: opens what the parent asked for and prints its peak memory.
int PeakChild(const std::string& what, const std::string& root) {
    const std::string translation = root + "Big/Big_Deutsch.ini";
    if (what == "plain") {
        std::string text;
        {
            std::ifstream in(translation, std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), {});
        }
        QsciScintilla editor;
        editor.setUtf8(true);
        editor.resize(Width, Height);
        editor.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT,
                             static_cast<unsigned long>(text.size()), text.data());
        text = std::string();
        editor.show();
        QApplication::processEvents();
        std::printf("peak_MB %.3f\n", bench::PeakMemoryMB());
        return editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH) > 0 ? 0 : 1;
    }
    TWorkbench w(root);
    w.Open();
    std::printf("peak_MB %.3f\n", bench::PeakMemoryMB());
    return w.Unfit().empty() && w.Frm->Workbench()->Checker().ProblemCount() > 0 ? 0 : 1;
}

void Register() {
    const auto ms = benchmark::kMillisecond;
    // Sizes in MB (tenths of one when small); the middle one is the default text.
    const std::vector<int> sizes =
        Small() ? std::vector<int>{2, 10, 40} : std::vector<int>{5, 50, 200};
    auto* open = benchmark::RegisterBenchmark("BM_OpenWithWorkbench", BM_OpenWithWorkbench);
    for (int size : sizes)
        open->Arg(size);
    open->Unit(ms)->Iterations(Small() ? 2 : 3);
    benchmark::RegisterBenchmark("BM_Open_PlainQScintilla", BM_Open_PlainQScintilla)
        ->Unit(ms)
        ->Iterations(Small() ? 2 : 3);
    for (const auto& [where, name] :
         {std::pair{TWhere::Start, "start"}, {TWhere::Middle, "middle"}, {TWhere::End, "end"}}) {
        benchmark::RegisterBenchmark((std::string("BM_Keystroke_Workbench/") + name).c_str(),
                                     BM_Keystroke_Workbench, where)
            ->Unit(ms);
        benchmark::RegisterBenchmark((std::string("BM_Keystroke_PlainQScintilla/") + name).c_str(),
                                     BM_Keystroke_PlainQScintilla, where)
            ->Unit(ms);
    }
    for (const auto& [where, name] :
         {std::pair{TWhere::Start, "start"}, {TWhere::Middle, "middle"}, {TWhere::End, "end"}})
        benchmark::RegisterBenchmark((std::string("BM_NewLine_Workbench/") + name).c_str(),
                                     BM_NewLine_Workbench, where)
            ->Unit(ms);
    benchmark::RegisterBenchmark("BM_PeakMemory_MainWindow", BM_PeakMemory_MainWindow)
        ->Unit(ms)
        ->Iterations(1);
    benchmark::RegisterBenchmark("BM_PeakMemory_PlainQScintilla", BM_PeakMemory_PlainQScintilla)
        ->Unit(ms)
        ->Iterations(1);
}

// The growth of opening: the exponent of the power law through the sizes,
// fitted by least squares on their logarithms (1: linear); for the processor
// time of the window's thread and for the real time the user waits.
void PrintOpening(const bench::TTimesReporter& reporter) {
    for (const auto& [kind, times] :
         {std::pair{"CPU", &reporter.Times}, std::pair{"real", &reporter.RealTimes}}) {
        double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
        std::string figures;
        for (const auto& [name, ms] : *times) {
            if (name.rfind("BM_OpenWithWorkbench/", 0) != 0)
                continue;
            const double mb = reporter.Counters.at(name).at("MB");
            char figure[64];
            std::snprintf(figure, sizeof figure, "  %.1f MB %.1f ms", mb, ms);
            figures += figure;
            const double x = std::log(mb), y = std::log(ms);
            n += 1;
            sx += x;
            sy += y;
            sxx += x * x;
            sxy += x * y;
        }
        if (n < 2)
            return;
        const double exponent = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        std::printf("Open with the workbench (%s):%s\n  growth exponent %.2f (baseline: 1.00, "
                    "linear)\n",
                    kind, figures.c_str(), exponent);
    }
    if (const auto* plain =
            bench::TTimesReporter::Named(reporter.Times, "BM_Open_PlainQScintilla/"))
        std::printf("  a plain QScintilla control, %.1f MB: %.1f ms (same run)\n",
                    reporter.Counters.at(plain->first).at("MB"), plain->second);
}

void PrintPeakMemory(const bench::TTimesReporter& reporter) {
    const auto counter = [&](const char* name, const char* counter) -> double {
        const auto* hit = bench::TTimesReporter::Named(reporter.Counters, name);
        return hit && hit->second.contains(counter) ? hit->second.at(counter) : -1;
    };
    const double main = counter("BM_PeakMemory_MainWindow/", "peak_MB"),
                 plain = counter("BM_PeakMemory_PlainQScintilla/", "peak_MB");
    if (main > 0 && plain > 0)
        std::printf("Peak memory, %.1f MB translation and its reference: main window %.1f MB "
                    "(baseline: < 300 MB), plain QScintilla with the translation alone %.1f MB\n",
                    counter("BM_PeakMemory_MainWindow/", "MB"), main, plain);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc == 3 && std::strncmp(argv[1], "--peak-child=", 13) == 0)
        return PeakChild(argv[1] + 13, argv[2]);
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::TTimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    GWorkbench.reset();
    GSandbox.reset();
    GPeakSandbox.reset();
    PrintOpening(reporter);
    reporter.PrintByPlace(
        "Keystroke with repaint, workbench on, 1000 x 800 (CPU; baseline: <= 4 ms):",
        {{"main window", "BM_Keystroke_Workbench"},
         {"plain QScintilla", "BM_Keystroke_PlainQScintilla"}});
    reporter.PrintByPlace("Return or Backspace between lines (CPU; baseline: <= 4 ms):",
                          {{"main window", "BM_NewLine_Workbench"}});
    PrintPeakMemory(reporter);
    return 0;
}
