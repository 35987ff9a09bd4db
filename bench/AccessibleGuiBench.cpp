// One keystroke with its repaint while an assistive technology is active (as
// for a screen reader user), in the middle and at the end of a large
// translation: the translation editor beside a plain QScintilla control, the
// same text in the same run.
//
// Assistive technology is active when Qt talks to the AT-SPI bus: the
// benchmark starts itself again under Xvfb (xvfb-run) in a D-Bus session of its
// own (dbus-run-session) in which at-spi2-core's bus launcher runs, with Qt's
// xcb platform and QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1. Where those programs are missing or the
// bus does not come up, it says so and runs nothing (skipped).
//
// Each editor has the focus and its accessible interface, as a screen reader
// that follows the focus has them made. About 50 MB by default;
// WORDLARK_BENCH_SMALL=1 uses about 1 MB.

#include "editor/SynEditor.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "GuiBench.h"
#include "TranslationText.h"

namespace {

using bench::TWhere;

const std::string& Text() {
    static const std::string text = bench::TranslationText(bench::TextSize(), "\r\n");
    return text;
}

void SetLabel(benchmark::State& state, const char* baseline) {
    state.SetLabel(baseline);
    state.counters["MB"] = static_cast<double>(Text().size()) / 1e6;
}

// Gives `editor` the focus and has its accessible interface made, as a screen
// reader following the focus does; false when the interface reads no text.
bool Focus(QWidget& editor) {
    editor.activateWindow();
    editor.setFocus();
    QApplication::processEvents();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&editor);
    return accessible && accessible->textInterface();
}

TSynEditor& OurEditor() {
    static TSynEditor* editor = [] {
        auto* e = new TSynEditor;
        e->resize(1000, 700);
        e->show();
        QApplication::processEvents();
        e->LoadFromBytes(Text());
        return e;
    }();
    return *editor;
}

QsciScintilla& PlainEditor() {
    static QsciScintilla& editor = bench::MakePlainEditor(Text(), 1000, 700);
    return editor;
}

void BM_KeystrokeAT_TSynEditor(benchmark::State& state, TWhere where) {
    TSynEditor& editor = OurEditor();
    if (!Focus(editor)) {
        state.SkipWithError("the editor has no accessible text");
        return;
    }
    bench::TypeKeys(state, editor, editor, where);
    SetLabel(state, "baseline: <= 16 ms per key, wherever the caret is");
}

void BM_KeystrokeAT_PlainQScintilla(benchmark::State& state, TWhere where) {
    QsciScintilla& editor = PlainEditor();
    if (!Focus(editor)) {
        state.SkipWithError("the control has no accessible text");
        return;
    }
    bench::TypeKeys(state, editor, editor, where);
    SetLabel(state, "a plain QScintilla control, same text, same run (reference)");
}

BENCHMARK_CAPTURE(BM_KeystrokeAT_TSynEditor, middle, TWhere::Middle)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_KeystrokeAT_PlainQScintilla, middle, TWhere::Middle)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_KeystrokeAT_TSynEditor, end, TWhere::End)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_KeystrokeAT_PlainQScintilla, end, TWhere::End)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

bool OnPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        if (end > start &&
            access((folders.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// The accessibility bus launcher that at-spi2-core registers with D-Bus;
// empty when it is not installed.
std::string BusLauncher() {
    std::ifstream service("/usr/share/dbus-1/services/org.a11y.Bus.service");
    std::string line;
    while (std::getline(service, line))
        if (line.rfind("Exec=", 0) == 0)
            return access(line.substr(5).c_str(), X_OK) == 0 ? line.substr(5) : "";
    return "";
}

// Starts this program again under Xvfb in a D-Bus session of its own with the
// accessibility bus launched in it; returns only when that cannot be done here.
void RunInAccessibilitySession(int argc, char** argv) {
    const std::string launcher = BusLauncher();
    if (!OnPath("xvfb-run") || !OnPath("dbus-run-session") || launcher.empty())
        return;
    setenv("WORDLARK_AT_SPI_SESSION", "1", 1);
    // Should Xvfb not answer, Qt falls back to the offscreen platform, and the
    // benchmark says it is skipped rather than fail.
    setenv("QT_QPA_PLATFORM", "xcb;offscreen", 1);
    setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    unsetenv("AT_SPI_BUS_ADDRESS");
    // Qt connects once the launcher has registered its name on the session bus.
    std::string script = "'" + launcher + "' --launch-immediately --a11y=1 & exec \"$@\"";
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<char*> command = {const_cast<char*>("xvfb-run"),
                                  const_cast<char*>("-a"),
                                  const_cast<char*>("dbus-run-session"),
                                  const_cast<char*>("--"),
                                  const_cast<char*>("sh"),
                                  const_cast<char*>("-c"),
                                  script.data(),
                                  const_cast<char*>("sh"),
                                  self.data()};
    for (int i = 1; i < argc; ++i)
        command.push_back(argv[i]);
    command.push_back(nullptr);
    execvp("xvfb-run", command.data());
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("WORDLARK_AT_SPI_SESSION")) {
        RunInAccessibilitySession(argc, argv);
        std::printf("AccessibleGuiBench: skipped (xvfb-run, dbus-run-session or at-spi2-core's "
                    "bus launcher missing)\n");
        return 0;
    }
    QApplication application(argc, argv);
    if (QGuiApplication::platformName() != "xcb") {
        std::printf("AccessibleGuiBench: skipped (no X display)\n");
        return 0;
    }
    // Qt reaches the accessibility bus through the session bus once the event
    // loop runs.
    QElapsedTimer waited;
    waited.start();
    while (!QAccessible::isActive() && waited.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!QAccessible::isActive()) {
        std::printf("AccessibleGuiBench: skipped (the AT-SPI bus did not start)\n");
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::TTimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.PrintByPlace("Keystroke with repaint, assistive technology active (baseline: <= 16 "
                          "ms in TSynEditor):",
                          {{"TSynEditor", "BM_KeystrokeAT_TSynEditor"},
                           {"plain QScintilla", "BM_KeystrokeAT_PlainQScintilla"}});
    return 0;
}
