// A library preloaded into a Qt program to time its start-up as the user sees
// it (bench/StartupGuiBench.cpp):
//
//   FIRST_PAINT_PROBE_OUT=<file> LD_PRELOAD=<this library> <program>
//
// When the first top-level window has been painted, it writes the monotonic
// clock in nanoseconds (the clock the starting process read before it started
// the program), the processor time the program has used so far in
// nanoseconds, the window's class and its object name to the file, one line,
// and ends the program at once. Without FIRST_PAINT_PROBE_OUT it does nothing.
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(QByteArray path) : FPath(std::move(path)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (FSeen || event->type() != QEvent::Paint || !watched->isWidgetType() ||
            !static_cast<QWidget*>(watched)->isWindow())
            return false;
        FSeen = true;
        const QByteArray window =
            QByteArray(watched->metaObject()->className()) + ' ' +
            (watched->objectName().isEmpty() ? QByteArray("-") : watched->objectName().toUtf8());
        // The paint of this window and its children and the flush to the
        // screen end before the event loop runs again.
        QMetaObject::invokeMethod(
            this,
            [this, window] {
                timespec now{}, used{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
                if (FILE* out = std::fopen(FPath.constData(), "w")) {
                    std::fprintf(out, "%lld %lld %s\n",
                                 static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                                 static_cast<long long>(used.tv_sec) * 1000000000LL + used.tv_nsec,
                                 window.constData());
                    std::fclose(out);
                }
                _exit(0);
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    QByteArray FPath;
    bool FSeen = false;
};

void StartFirstPaintProbe() {
    const QByteArray path = qgetenv("FIRST_PAINT_PROBE_OUT");
    if (path.isEmpty())
        return;
    QCoreApplication::instance()->installEventFilter(new FirstPaintProbe(path));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartFirstPaintProbe)
