// A test-only library for looking at a Wordlark that runs as its own process
// (an installed program, started as a user starts it), which reads no settings
// of its own and takes no arguments. Preloaded into it:
//
//   WINDOW_PROBE_OUT=<report file> LD_PRELOAD=<this library> wordlark
//
// it waits until the program has started, answers every modal dialog (clicks
// its "BtnCancel", else rejects or closes it), and once no dialog has been open
// for a second it writes what it sees to the report file and closes the main
// windows normally, so that the program saves what it saves on closing.
//
// The report has one line per thing seen, texts in double quotes with line
// breaks written as \n:
//
//   modal <objectName> <class> "<title>" answered <BtnCancel|reject|close>
//   application "<application name>" "<desktop file name>"
//   window <objectName> <class> "<title>"
//   control <window objectName>/<objectName> <class> "<text>"
//   closed <objectName> <1 when it closed, else 0>
//
// Controls are the named labels, buttons and line edits of each visible
// top-level window (not those of the dialogs it owns). Without
// WINDOW_PROBE_OUT the library does nothing. With WINDOW_PROBE_SHOTS naming a
// folder, it also saves a picture of each window there as <objectName>.png.
#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int PollMs = 100;
constexpr int QuietPolls = 10; // a second without a dialog: start-up is over

QByteArray Quoted(QString text) {
    text.replace('\\', "\\\\").replace('"', "\\\"").replace('\n', "\\n").replace('\r', "\\r");
    return '"' + text.toUtf8() + '"';
}

QByteArray Described(const QWidget* widget) {
    const QByteArray name =
        widget->objectName().isEmpty() ? QByteArray("-") : widget->objectName().toUtf8();
    return name + ' ' + widget->metaObject()->className();
}

class WindowProbe : public QObject {
public:
    WindowProbe(const QString& reportPath, QObject* parent) : QObject(parent), FReport(reportPath) {
        FTimer.setInterval(PollMs);
        connect(&FTimer, &QTimer::timeout, this, &WindowProbe::Poll);
        FTimer.start();
    }

private:
    void Poll() {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            FQuiet = 0;
            if (modal->isVisible())
                Answer(modal);
            return;
        }
        if (FReported || !MainWindowShown() || ++FQuiet < QuietPolls)
            return;
        FReported = true;
        Report();
    }

    static bool MainWindowShown() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && !qobject_cast<QDialog*>(w))
                return true;
        return false;
    }

    void Answer(QWidget* modal) {
        if (modal->property("windowProbeAnswered").toBool())
            return;
        modal->setProperty("windowProbeAnswered", true);
        QByteArray how = "close";
        QAbstractButton* cancel = modal->findChild<QAbstractButton*>("BtnCancel");
        if (cancel && cancel->isVisible() && cancel->isEnabled())
            how = "BtnCancel";
        else if (qobject_cast<QDialog*>(modal))
            how = "reject";
        FLines << "modal " + Described(modal) + ' ' + Quoted(modal->windowTitle()) + " answered " +
                      how;
        // Answer from the event loop, not from inside this timer's slot.
        QPointer<QWidget> guard(modal);
        QTimer::singleShot(0, [guard, how] {
            if (!guard)
                return;
            if (how == "BtnCancel")
                guard->findChild<QAbstractButton*>("BtnCancel")->click();
            else if (auto* dialog = qobject_cast<QDialog*>(guard.data()))
                dialog->reject();
            else
                guard->close();
            // A dialog that lives on may be shown, and answered, again.
            if (guard && !guard->isVisible())
                guard->setProperty("windowProbeAnswered", false);
        });
    }

    void Report() {
        FLines << "application " + Quoted(QApplication::applicationName()) + ' ' +
                      Quoted(QGuiApplication::desktopFileName());
        QList<QWidget*> windows;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                windows << w;
        for (QWidget* w : windows) {
            FLines << "window " + Described(w) + ' ' + Quoted(w->windowTitle());
            if (!FShots.isEmpty())
                w->grab().save(FShots + '/' + w->objectName() + ".png");
            for (QWidget* c : w->findChildren<QWidget*>()) {
                // The window's own named controls: not those of a (hidden)
                // dialog it owns, nor Qt's internal ones.
                if (c->window() != w || c->objectName().isEmpty() ||
                    c->objectName().startsWith("qt_"))
                    continue;
                QString text;
                if (auto* label = qobject_cast<QLabel*>(c))
                    text = label->text();
                else if (auto* button = qobject_cast<QAbstractButton*>(c))
                    text = button->text();
                else if (auto* edit = qobject_cast<QLineEdit*>(c))
                    text = edit->text();
                else
                    continue;
                FLines << "control " + w->objectName().toUtf8() + '/' + Described(c) + ' ' +
                              Quoted(text);
            }
        }
        Write();
        // Closing runs the program's own close handling; a question it asks on
        // the way is a modal dialog, answered like any other.
        for (QWidget* w : windows) {
            if (qobject_cast<QDialog*>(w))
                continue;
            QPointer<QWidget> guard(w);
            const QByteArray name = Described(w).split(' ').first();
            QTimer::singleShot(0, this, [this, guard, name] {
                const bool closed = guard && guard->close();
                FLines << "closed " + name + (closed ? " 1" : " 0");
                Write();
            });
        }
    }

    void Write() {
        QFile file(FReport);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(FLines.join('\n') + '\n');
    }

    QString FReport;
    QString FShots = qEnvironmentVariable("WINDOW_PROBE_SHOTS");
    QTimer FTimer;
    int FQuiet = 0;
    bool FReported = false;
    QList<QByteArray> FLines;
};

void StartWindowProbe() {
    const QString report = qEnvironmentVariable("WINDOW_PROBE_OUT");
    if (report.isEmpty())
        return;
    // Runs while the application object is being built: start polling once its
    // event loop (or a dialog's) runs.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [report] {
            if (qobject_cast<QApplication*>(QCoreApplication::instance()))
                new WindowProbe(report, QCoreApplication::instance());
        },
        Qt::QueuedConnection);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartWindowProbe)
