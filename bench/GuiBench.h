// Pieces the window benchmarks share: the plain QScintilla control that our
// editor is measured against, keys typed with their repaint, and a reporter
// that keeps each run's time for the summary printed at the end.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <map>
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
    editor.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(caret));
    editor.SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE,
                         static_cast<unsigned long>(std::max(0L, line - 2)));
    window.repaint();
    QApplication::processEvents();
    const auto typeKey = [&] {
        QKeyEvent event(QEvent::KeyPress, key == TKey::Return ? Qt::Key_Return : Qt::Key_X,
                        Qt::NoModifier,
                        key == TKey::Return ? QStringLiteral("\r") : QStringLiteral("x"));
        QApplication::sendEvent(&editor, &event);
    };
    const auto erase = [&] {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(&editor, &event);
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
    if (editor.SendScintilla(Sci::SCI_GETLENGTH) != length)
        state.SkipWithError("the text did not keep its length");
    state.counters["caret_MB"] = static_cast<double>(caret) / 1e6;
}

// The console reporter, keeping each run's adjusted real time by name.
class TTimesReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            Times[run.benchmark_name()] = run.GetAdjustedRealTime();
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
                const auto time = Times.find(std::string(name) + "/" + where + "/real_time");
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

    std::map<std::string, double> Times;
};

} // namespace bench
