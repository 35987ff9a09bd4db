// Pieces the window benchmarks share: the plain QScintilla control that our
// editor is measured against, keys typed as a real key arrives with their
// repaint, the peak memory of a child process, and a reporter that keeps each
// run's time for the summary printed at the end.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace bench {

// A QScintilla control with nothing of ours (no highlighter, no handlers)
// holding `text`, shown offscreen at `width` x `height`. It lives as long as
// the program.
inline QsciScintilla& MakePlainEditor(const std::string& text, int width, int height) {
    using Sci = QsciScintillaBase;
    auto* e = new QsciScintilla;
    e->setUtf8(true);
    e->resize(width, height);
    e->SendScintilla(Sci::SCI_SETUNDOCOLLECTION, 0UL, 0L);
    e->SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(text.size()),
                     static_cast<void*>(const_cast<char*>(text.data())));
    e->SendScintilla(Sci::SCI_SETUNDOCOLLECTION, 1UL, 0L);
    e->SendScintilla(Sci::SCI_EMPTYUNDOBUFFER);
    e->show();
    QApplication::processEvents();
    return *e;
}

enum class TWhere { Start, Middle, End };
enum class TKey { Letter, Return };
enum class TFirstKey { Untimed, Timed };

// Keys typed into `editor` and taken back again, the caret near the end of
// the first line, the middle one or the last one with text. Iterations
// alternate between typing `key` (a letter, or Return splitting the line) and
// Backspace, so the text keeps its length; each is one key with its repaint
// and whatever the window does after it (the events it posted included).
// A key arrives as a real one does: pressed and released on `window`'s
// platform window, offered as a shortcut first, then delivered to the focus
// widget, which must be `editor`; every key is checked to have arrived.
// The first key at a new place moves Scintilla's gap (the free space in its
// text buffer) there, a copy of the text between the old and the new place;
// the keys after it do not. It is left out of the figure, and timed apart as
// the counter first_key_ms if asked.
inline void TypeKeys(benchmark::State& state, QsciScintilla& editor, QWidget& window, TWhere where,
                     TKey key = TKey::Letter, TFirstKey first = TFirstKey::Untimed) {
    using Sci = QsciScintillaBase;
    const long length = editor.SendScintilla(Sci::SCI_GETLENGTH);
    const long at = where == TWhere::Start ? 0 : where == TWhere::Middle ? length / 2 : length;
    long line = editor.SendScintilla(Sci::SCI_LINEFROMPOSITION, at);
    // A line with a phrase: the last line of the text is empty.
    if (where == TWhere::End)
        line = std::max(0L, line - 1);
    const long lineStart = editor.SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const long lineEnd = editor.SendScintilla(Sci::SCI_GETLINEENDPOSITION, line);
    // Inside the phrase, so the letter lands in text the highlighter colours;
    // before its closing quote when splitting the line, so that no blank is
    // left at the end of its first half.
    const long caret = std::max(lineStart, lineEnd - (key == TKey::Return ? 1 : 3));
    window.activateWindow();
    editor.setFocus();
    editor.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(caret));
    editor.SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE,
                         static_cast<unsigned long>(std::max(0L, line - 2)));
    window.repaint();
    QApplication::processEvents();
    QWindow* target = window.windowHandle();
    if (!target || QApplication::focusWidget() != &editor) {
        state.SkipWithError("the editor does not have the keyboard focus");
        for (auto _ : state) {
        }
        return;
    }
    const long lines = editor.SendScintilla(Sci::SCI_GETLINECOUNT);
    std::int64_t lost = 0;
    // A key pressed and released, through the platform window.
    const auto typeKey = [&] {
        QTest::keyClick(target, key == TKey::Return ? Qt::Key_Return : Qt::Key_X);
        const bool arrived = key == TKey::Return
                                 ? editor.SendScintilla(Sci::SCI_GETLINECOUNT) == lines + 1
                                 : editor.SendScintilla(Sci::SCI_GETLENGTH) == length + 1 &&
                                       editor.SendScintilla(Sci::SCI_GETCHARAT, caret) == 'x';
        lost += !arrived;
    };
    const auto erase = [&] {
        QTest::keyClick(target, Qt::Key_Backspace);
        lost += editor.SendScintilla(Sci::SCI_GETLENGTH) != length ||
                editor.SendScintilla(Sci::SCI_GETCURRENTPOS) != caret;
    };
    const auto repaint = [&] {
        editor.viewport()->repaint();
        QApplication::processEvents();
    };
    const auto firstStart = std::chrono::steady_clock::now();
    typeKey();
    repaint();
    if (first == TFirstKey::Timed)
        state.counters["first_key_ms"] =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - firstStart)
                .count();
    erase();
    repaint();
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            erase();
        else
            typeKey();
        repaint();
        typed = !typed;
    }
    if (typed)
        erase();
    QApplication::processEvents();
    if (lost > 0)
        state.SkipWithError("a key did not arrive, or did not do what it does");
    else if (editor.SendScintilla(Sci::SCI_GETLENGTH) != length)
        state.SkipWithError("the text did not keep its length");
    state.counters["caret_MB"] = static_cast<double>(caret) / 1e6;
}

// The peak memory of this process in MB: the most resident memory its image
// has had (VmHWM: unlike the resource usage, it starts afresh with the
// program, not with the memory of the process that started it); -1 where the
// system does not tell.
inline double PeakMemoryMB() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    double kb = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %lf kB", &kb) == 1)
            break;
    std::fclose(status);
    return kb < 0 ? -1 : kb * 1024 / 1e6;
}

// The peak memory, in MB, of this program started again with `arguments`
// (its child mode, which prints PeakMemoryMB() last); none when it could not
// be started, failed or could not tell.
inline std::optional<double> PeakMemoryOfChild(const std::vector<std::string>& arguments) {
    std::string command =
        "exec \"" + std::filesystem::read_symlink("/proc/self/exe").string() + "\"";
    for (const std::string& a : arguments)
        command += " \"" + a + "\"";
    FILE* child = popen(command.c_str(), "r");
    if (!child)
        return std::nullopt;
    double mb = -1;
    char line[256];
    while (std::fgets(line, sizeof line, child))
        if (std::sscanf(line, "peak_MB %lf", &mb) != 1)
            continue;
    if (pclose(child) != 0 || mb <= 0)
        return std::nullopt;
    return mb;
}

// Runs PeakMemoryOfChild once per iteration and reports it as the counter
// peak_MB (and its ratio to `fileMB` as peak_per_file_MB when given).
inline void ReportPeakMemory(benchmark::State& state, const std::vector<std::string>& arguments,
                             double fileMB = 0) {
    double peak = 0;
    for (auto _ : state) {
        const std::optional<double> mb = PeakMemoryOfChild(arguments);
        if (!mb) {
            state.SkipWithError("the child process failed");
            break;
        }
        peak = std::max(peak, *mb);
    }
    state.counters["peak_MB"] = peak;
    if (fileMB > 0) {
        state.counters["MB"] = fileMB;
        state.counters["peak_per_file_MB"] = peak / fileMB;
    }
}

// The console reporter, keeping the median CPU time (in the benchmark's own
// unit) of each benchmark's runs by name, its repetitions taken together,
// and every counter of its last run.
class TTimesReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            Times[run.benchmark_name()] =
                Median(FAll[run.benchmark_name()], run.GetAdjustedCPUTime());
            RealTimes[run.benchmark_name()] =
                Median(FAllReal[run.benchmark_name()], run.GetAdjustedRealTime());
            for (const auto& [name, counter] : run.counters)
                Counters[run.benchmark_name()][name] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // One line for each place (start, middle, end) where every one of `runs`
    // (a caption and a benchmark's name without the place) was run, with their
    // times; `title` before the first line.
    void PrintByPlace(const char* title,
                      std::initializer_list<std::pair<const char*, const char*>> runs) const {
        bool any = false;
        for (const char* where : {"start", "middle", "end"}) {
            std::string line;
            for (const auto& [caption, name] : runs) {
                const auto time = Times.find(std::string(name) + "/" + where);
                if (time == Times.end()) {
                    line.clear();
                    break;
                }
                char figure[32];
                std::snprintf(figure, sizeof figure, " %8.2f ms", time->second);
                line.append(line.empty() ? " " : "   ").append(caption).append(figure);
            }
            if (line.empty())
                continue;
            if (!any)
                std::printf("%s\n", title);
            any = true;
            std::printf("  %-7s%s\n", where, line.c_str());
        }
    }

    // The entry of the first benchmark whose name starts with `prefix` (as
    // "BM_Name/iterations:3" starts with "BM_Name/"), or none.
    template <class T>
    static const typename std::map<std::string, T>::value_type*
    Named(const std::map<std::string, T>& entries, const std::string& prefix) {
        const auto hit = entries.lower_bound(prefix);
        return hit != entries.end() && hit->first.rfind(prefix, 0) == 0 ? &*hit : nullptr;
    }

    // The median of each benchmark's runs: processor time of its thread, and
    // real time (what the user waits, threads included).
    std::map<std::string, double> Times;
    std::map<std::string, double> RealTimes;
    std::map<std::string, std::map<std::string, double>> Counters;

private:
    static double Median(std::vector<double>& all, double next) {
        all.push_back(next);
        std::sort(all.begin(), all.end());
        const std::size_t n = all.size();
        return n % 2 ? all[n / 2] : (all[n / 2 - 1] + all[n / 2]) / 2;
    }

    std::map<std::string, std::vector<double>> FAll;
    std::map<std::string, std::vector<double>> FAllReal;
};

} // namespace bench
