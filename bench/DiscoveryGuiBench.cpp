// Scanning the registrations of the installed programs and filling the
// wizard's program list, with the wizard's first paint after it: 1,000
// registrations against the baseline, and a few sizes around it for the fit,
// which shows whether the scan is linear.
#include "app/FrmWordlark.h"
#include "app/Startup.h"
#include "app/WordlarkApplication.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "texts/Registration.h"
#include "wizard/Discovery.h"
#include "wizard/FrmWizard.h"

#include <QApplication>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// `count` registered programs sharing a few installations; a third keep a
// settings file in the local maker folder, a third in the roaming one.
void Register(const TempDir& dir, int count) {
    for (int i = 0; i < 4; ++i)
        dir.Write("Programs/P" + std::to_string(i) + "/Languages.ini",
                  "LanguageName=\"English\"\r\nLanguageFile=\"P_English.ini\"\r\n");
    for (int i = 0; i < count; ++i) {
        const std::string name = "Program " + std::to_string(i);
        dir.Write("common/Brightmoor/" + name + "/Installation.ini",
                  "InstallationDirectory=\"" + dir / ("Programs/P" + std::to_string(i % 4) + "/") +
                      "\"\r\nLanguageFile=\"Languages.ini\"\r\nIniFile=\"Settings.ini\"\r\n"
                      "Version=\"Version " +
                      std::to_string(i) + "\"\r\nInstallDate=\"2016-09-01 14:05:09\"\r\n");
        if (i % 3 == 1)
            dir.Write("local/Brightmoor/" + name + "/Settings.ini", "Delay=\"3\"\r\n");
        else if (i % 3 == 2)
            dir.Write("roaming/Brightmoor/" + name + "/Settings.ini", "Delay=\"3\"\r\n");
    }
}

void BM_ScanInstalledPrograms(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    TempDir dir;
    ScopedFakePlatform fake(dir.Path());
    for (const char* folder : {"bin", "local", "roaming", "common"})
        std::filesystem::create_directories(dir / folder);
    Register(dir, count);
    TWordlarkWindows windows = CreateWordlarkWindows();
    TFrmWizard* wizard = windows.FrmWizard;
    wizard->show();
    QApplication::processEvents();
    for (auto _ : state) {
        wizard->ScanInstalledPrograms();
        if (wizard->LisPrograms->topLevelItemCount() != count) {
            state.SkipWithError("not every program was listed");
            break;
        }
        // The list as the user sees it: painted, with what the scan posted.
        wizard->repaint();
        QApplication::processEvents();
    }
    wizard->hide();
    state.SetComplexityN(count);
    state.SetLabel(count == 1000 ? "baseline: < 50 ms for 1000 registrations"
                                 : "for the fit: linear (O(N)) is the baseline");
}

// The scan alone, without the list, for information.
void BM_FindInstalledPrograms(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    TempDir dir;
    ScopedFakePlatform fake(dir.Path());
    Register(dir, count);
    const TDiscoveryFolders folders{MakerFolders(platform::Get().CommonAppDataRoots()),
                                    dir / "local/Brightmoor/", dir / "roaming/Brightmoor/"};
    for (auto _ : state)
        benchmark::DoNotOptimize(FindInstalledPrograms(folders));
    state.SetLabel("the files alone, for information");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TWordlarkApplication application(argc, argv);
    // WORDLARK_BENCH_SMALL=1 (CI) scans fewer registrations.
    const bool small = std::getenv("WORDLARK_BENCH_SMALL") != nullptr;
    auto* bench = benchmark::RegisterBenchmark("BM_ScanInstalledPrograms", BM_ScanInstalledPrograms)
                      ->Unit(benchmark::kMillisecond)
                      ->Complexity(benchmark::oN);
    const std::vector<int> counts =
        small ? std::vector<int>{50, 100, 200} : std::vector<int>{250, 500, 1000, 2000, 4000};
    for (int count : counts)
        bench->Arg(count);
    benchmark::RegisterBenchmark("BM_FindInstalledPrograms", BM_FindInstalledPrograms)
        ->Unit(benchmark::kMillisecond)
        ->Arg(small ? 200 : 1000);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
