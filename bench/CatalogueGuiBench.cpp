// Reading a catalogue of 10,000 pairs into the main window's translation list
// and default-language box, with the window's first paint after it.
#include "app/FrmWordlark.h"
#include "app/Startup.h"
#include "app/WordlarkApplication.h"
#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {
void BM_LoadCatalogue(benchmark::State& state) {
    const int pairs = static_cast<int>(state.range(0));
    TempDir dir;
    ScopedFakePlatform fake(dir.Path());
    std::filesystem::create_directories(dir / "common");
    std::string text;
    for (int i = 0; i < pairs; ++i) {
        text += "LanguageName=\"Language" + std::to_string(i) + "\"\r\n";
        text += "LanguageFile=\"Program_Language" + std::to_string(i) + ".ini\"\r\n";
    }
    text += "LanguageDefault=\"Language" + std::to_string(pairs - 1) + "\"\r\n";
    const std::string catalogue = dir.Write("Program/Languages.ini", text);
    TWordlarkWindows windows = CreateWordlarkWindows();
    TFrmWordlark* frm = windows.FrmWordlark.get();
    // Shown without the wizard, which the first show would run modally.
    frm->SetDialogs(nullptr, windows.FrmSend, windows.FrmAddLanguage, windows.FrmIniFile,
                    windows.FrmInfo);
    frm->show();
    QApplication::processEvents();
    for (auto _ : state) {
        if (!frm->LoadCatalogue(catalogue) || frm->LisTranslations->topLevelItemCount() != pairs)
            state.SkipWithError("the catalogue was not listed");
        // The list as the user sees it: painted, with what the load posted.
        frm->repaint();
        QApplication::processEvents();
    }
    frm->hide();
    state.SetLabel("baseline: < 50 ms for 10000 pairs");
}
// WORDLARK_BENCH_SMALL=1 (CI) reads a catalogue of 1,000 pairs instead.
BENCHMARK(BM_LoadCatalogue)
    ->Arg(std::getenv("WORDLARK_BENCH_SMALL") ? 1000 : 10000)
    ->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TWordlarkApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
