// TRecoveryKeeper: keeps the editor's unsaved work safe from a crash. A change
// starts (or restarts) a short wait; once the typing pauses for it, the work is
// written whole to this window's recovery file in the data folder. Saved or
// discarded work, and a clean exit, remove the file. At the next start the work
// a crashed window left is offered back.
#pragma once

#include "initfile/Recovery.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWidget;
class TInterfaceTexts;

class TRecoveryKeeper : public QObject {
    Q_OBJECT
public:
    // `collect` gives the work as the window holds it now.
    TRecoveryKeeper(QObject* parent, TInterfaceTexts& texts,
                    std::function<TRecoveredWork()> collect);
    ~TRecoveryKeeper() override;

    // The wait after the last change before the work is written, in ms.
    static int Delay;

    // The folder the recovery files are kept in (the data folder); the file is
    // named after the running process (tests name another).
    void SetFolder(const std::string& folder,
                   const platform::TProcessIdentity& owner = platform::CurrentProcess());
    const TRecoveryStore* Store() const { return FStore.get(); }

    // The work changed: it is written once the changes pause.
    void Changed();
    // Writes the work now, when a change waits for it (the wait's end).
    void WriteNow();
    // The work was saved or discarded: nothing waits and the file goes.
    void Clear();
    bool Pending() const { return FTimer.isActive(); }

    // Offers the work windows left behind, newest first: Restore gives it
    // (it is then this window's), Discard removes it, Decide later keeps it for
    // the next start. None when nothing is to be restored.
    std::optional<TRecoveredWork> Offer(QWidget* owner);
    // The status line's words for work restored from the file at `path`.
    QString RestoredMessage(const std::string& path) const;

private:
    void ApplyTexts();
    void Write();

    TInterfaceTexts& FTexts;
    std::function<TRecoveredWork()> FCollect;
    std::unique_ptr<TRecoveryStore> FStore;
    QTimer FTimer;
    bool FWritten = false;
    QString m_aMRecover, m_aStatusRestored, m_aBtnRestore, m_aBtnDiscard, m_aBtnLater;
};
