// What the user waits for at start-up: the main window built and shown for the
// first time, with its interface texts (the shipped catalogue and a German
// language file) and its preferences (Wordlark.ini), against an empty QWidget
// built and shown the same way in the same run.
//
// Measures:
// - cold: a fresh process each time, from the application object to the first
//   shown and painted window (the figure the baseline is about); all starts
//   share one installation, so that registration happens once, as for a user;
// - cold against a window with one label: Qt loads its font system (fontconfig)
//   on the first text it lays out, which an empty window never does;
// - whole process: from starting the child to its exit, as seen by the parent;
// - warm: the windows built again inside one process whose fonts, styles and
//   plug-ins are loaded already, which shows what the window itself costs.
//
// WORDLARK_BENCH_PHASES=1 makes each cold main-window child print, on standard
// error, the time at which each stage (application object, construction, show,
// first paint) ended.
//
// Run with QT_QPA_PLATFORM=offscreen (the default when nothing is set).
// WORDLARK_BENCH_SMALL=1 runs fewer iterations.

#include "app/FrmWordlark.h"
#include "app/Startup.h"
#include "app/WordlarkApplication.h"
#include "initfile/InitFile.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

bool Small() {
    const char* small = std::getenv("WORDLARK_BENCH_SMALL");
    return small && std::strcmp(small, "1") == 0;
}

// The program installed in a temporary folder: the executable's folder holds
// the shipped files, every shell folder lies beside it, and Wordlark.ini asks
// for the German interface at a stored position.
class Sandbox {
public:
    Sandbox() : FRoot(FDir.Path()), FFake(FRoot) {
        for (const char* folder : {"bin", "local", "roaming", "common"})
            fs::create_directories(FRoot + folder);
        fs::copy(WORDLARK_DATA_DIR, FRoot + "bin", fs::copy_options::recursive);
        fs::create_directories(FRoot + "local/Brightmoor/Wordlark");
        TInitFile settings(TInitFile::TForm::Xml);
        settings.AddString("WinPos", "40,30,697,604");
        settings.AddString("UseFontSettings", "1");
        settings.AddString("LanguageName", "Deutsch");
        settings.Save(FRoot + "local/Brightmoor/Wordlark/Wordlark.ini");
    }

    const std::string& Root() const { return FRoot; }

private:
    TempDir FDir;
    std::string FRoot;
    ScopedFakePlatform FFake;
};

// Any modal dialog the first show opens is closed at once, so that start-up
// runs through as it does for a user who dismisses it.
class DismissModals {
public:
    DismissModals() {
        FTimer.setInterval(0);
        QObject::connect(&FTimer, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        FTimer.start();
    }

private:
    QTimer FTimer;
};

// Child mode: one cold start, printed in milliseconds. The main window runs in
// the sandbox the parent made once (WORDLARK_BENCH_ROOT), so that every start
// after the first is a repeated start, as a user's usually is.
int ColdChild(int argc, char** argv, const std::string& what) {
    // Started by hand, the child makes an installation of its own rather than
    // touching the user's folders.
    std::unique_ptr<ScopedFakePlatform> fake;
    std::unique_ptr<Sandbox> own;
    if (const char* root = std::getenv("WORDLARK_BENCH_ROOT"))
        fake = std::make_unique<ScopedFakePlatform>(root);
    else
        own = std::make_unique<Sandbox>();
    const auto start = std::chrono::steady_clock::now();
    auto phase = [&](const char* name) {
        if (std::getenv("WORDLARK_BENCH_PHASES"))
            std::fprintf(
                stderr, "%-12s %8.3f ms\n", name,
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
    };
    TWordlarkApplication application(argc, argv);
    phase("application");
    if (what == "main") {
        DismissModals dismiss;
        TWordlarkWindows windows = CreateWordlarkWindows();
        phase("constructed");
        windows.FrmWordlark->show();
        phase("shown");
        QApplication::processEvents();
        phase("painted");
    } else {
        QWidget window;
        window.resize(697, 604);
        // "label": the same empty window with one line of text, which makes Qt
        // load its font system, as every window with text does.
        if (what == "label")
            new QLabel("Brightmoor Wordlark", &window);
        window.show();
        QApplication::processEvents();
    }
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    std::printf("%.3f\n", elapsed.count());
    return 0;
}

// Starts this program again in child mode. Returns the milliseconds the child
// measured itself (application object to first shown window) and sets
// `processMillis` to the whole process, from start to exit as the parent saw it.
double ColdStart(const char* what, double* processMillis = nullptr) {
    const std::string command =
        "exec \"" + fs::read_symlink("/proc/self/exe").string() + "\" --cold-child=" + what;
    const auto start = std::chrono::steady_clock::now();
    FILE* child = popen(command.c_str(), "r");
    double millis = -1;
    if (child) {
        if (std::fscanf(child, "%lf", &millis) != 1)
            millis = -1;
        if (pclose(child) != 0)
            millis = -1;
    }
    if (processMillis)
        *processMillis =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    return millis;
}

void BM_ColdStart(benchmark::State& state, const char* what, bool wholeProcess) {
    for (auto _ : state) {
        double process = 0;
        const double millis = ColdStart(what, &process);
        if (millis < 0) {
            state.SkipWithError("the child process failed");
            break;
        }
        state.SetIterationTime((wholeProcess ? process : millis) / 1000.0);
    }
}

void ShowMainWindow() {
    TWordlarkWindows windows = CreateWordlarkWindows();
    windows.FrmWordlark->show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(windows.FrmWordlark->windowTitle());
}

void BM_MainWindowFirstShow(benchmark::State& state) {
    Sandbox sandbox;
    DismissModals dismiss;
    for (auto _ : state) {
        TWordlarkWindows windows = CreateWordlarkWindows();
        windows.FrmWordlark->show();
        QApplication::processEvents();
        state.PauseTiming();
        windows = TWordlarkWindows();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel("the window alone, for information");
}

void BM_EmptyWindowFirstShow(benchmark::State& state) {
    for (auto _ : state) {
        auto window = std::make_unique<QWidget>();
        window->resize(697, 604);
        window->show();
        QApplication::processEvents();
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel("the floor");
}

// Keeps the mean real time of each benchmark for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                Millis[run.run_name.function_name] =
                    run.GetAdjustedRealTime() *
                    benchmark::GetTimeUnitMultiplier(benchmark::kMillisecond) /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
    std::map<std::string, double> Millis;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 2 && std::strncmp(argv[1], "--cold-child=", 13) == 0)
        return ColdChild(argc, argv, argv[1] + 13);
    TWordlarkApplication application(argc, argv);

    // Fonts, styles and plug-ins load once per process; a user pays for them
    // too, but they would make the first iteration an outlier.
    {
        Sandbox sandbox;
        DismissModals dismiss;
        ShowMainWindow();
    }

    // The cold starts share one installation; the first start registers the
    // program and is left out, like a user's very first start.
    Sandbox coldSandbox;
    qputenv("WORDLARK_BENCH_ROOT", QByteArray::fromStdString(coldSandbox.Root()));
    ColdStart("main");

    const bool small = Small();
    const auto cold = [&](const char* name, const char* what, bool wholeProcess) {
        benchmark::RegisterBenchmark(name, BM_ColdStart, what, wholeProcess)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(small ? 3 : 20);
    };
    cold("BM_ColdStartMainWindow", "main", false);
    cold("BM_ColdStartEmptyWindow", "empty", false);
    cold("BM_ColdStartEmptyWindowWithALabel", "label", false);
    cold("BM_ProcessMainWindow", "main", true);
    cold("BM_ProcessEmptyWindow", "empty", true);
    benchmark::RegisterBenchmark("BM_MainWindowFirstShow", BM_MainWindowFirstShow)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(small ? 5 : 60);
    benchmark::RegisterBenchmark("BM_EmptyWindowFirstShow", BM_EmptyWindowFirstShow)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(small ? 20 : 600);
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto ratio = [&](const char* mainName, const char* emptyName, const char* what,
                           bool judged) {
        const auto main = reporter.Millis.find(mainName);
        const auto empty = reporter.Millis.find(emptyName);
        if (main == reporter.Millis.end() || empty == reporter.Millis.end() || empty->second <= 0)
            return;
        const double r = main->second / empty->second;
        std::printf("%s: main window %.3f ms, empty window %.3f ms, ratio %.2fx", what,
                    main->second, empty->second, r);
        if (judged)
            std::printf(" (baseline: <= 1.5x, %s)", r <= 1.5 ? "met" : "NOT met");
        std::printf("\n");
    };
    ratio("BM_ColdStartMainWindow", "BM_ColdStartEmptyWindow", "cold start", true);
    ratio("BM_ColdStartMainWindow", "BM_ColdStartEmptyWindowWithALabel",
          "cold start against a window with one label (font system loaded in both)", false);
    ratio("BM_ProcessMainWindow", "BM_ProcessEmptyWindow",
          "whole process, start to exit (libraries loaded and unloaded in both)", false);
    ratio("BM_MainWindowFirstShow", "BM_EmptyWindowFirstShow",
          "warm, in one process (the window alone)", false);
    return 0;
}
