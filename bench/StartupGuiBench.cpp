// What the user waits for at start-up: the main window built and shown for the
// first time, with its interface texts (the shipped catalogue and a German
// language file) and its preferences (Wordlark.ini), against an empty QWidget
// built and shown the same way in the same run.
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
#include <QTimer>
#include <QWidget>

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
    state.SetLabel("baseline: <= 1.5x the empty window");
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
    TWordlarkApplication application(argc, argv);

    // Fonts, styles and plug-ins load once per process; a user pays for them
    // too, but they would make the first iteration an outlier.
    {
        Sandbox sandbox;
        DismissModals dismiss;
        ShowMainWindow();
    }

    const bool small = Small();
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

    const auto main = reporter.Millis.find("BM_MainWindowFirstShow");
    const auto empty = reporter.Millis.find("BM_EmptyWindowFirstShow");
    if (main != reporter.Millis.end() && empty != reporter.Millis.end() && empty->second > 0) {
        const double ratio = main->second / empty->second;
        std::printf("main window: %.3f ms, empty window: %.3f ms, ratio %.2fx (baseline: <= "
                    "1.5x, %s)\n",
                    main->second, empty->second, ratio, ratio <= 1.5 ? "met" : "NOT met");
    }
    return 0;
}
