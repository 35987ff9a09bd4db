// Pieces the window benchmarks share: the plain QScintilla control that our
// editor is measured against, and a reporter that keeps each run's time for
// the summary printed at the end.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <QApplication>

#include <benchmark/benchmark.h>

#include <map>
#include <string>
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

// The console reporter, keeping each run's adjusted real time by name.
class TTimesReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            Times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Times;
};

} // namespace bench
