// TFileSafety: keeps the main window from writing over work it has not seen.
// It remembers what was read of the translation and of the catalogue (and what
// was saved), notices when another program changed either on disk (before a
// save, and when the window is activated again), and holds a lock on the open
// translation that the other Wordlark windows see, in this process or another.
#pragma once

#include "platform/FileStamp.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QLockFile;
class QPushButton;
class QWidget;
class TInterfaceTexts;

// A question in the interface language with buttons of the program's own words,
// each under its object name (name, caption); returns the name of the button
// pressed, `escapeName` for Esc or closing. `defaultName` is pressed by Enter.
QString AskWithNamedButtons(TInterfaceTexts& texts, QWidget* owner, const QString& text,
                            const std::vector<std::pair<QString, QString>>& buttons,
                            const QString& defaultName, const QString& escapeName);

class TFileSafety : public QObject {
    Q_OBJECT
public:
    // The files watched.
    enum TWatched { Translation = 0, Catalogue = 1, WatchedCount = 2 };
    // What to do about a save whose files changed on disk.
    enum class TSaveChoice { Write, Reload, Cancel };
    // How to open a translation another window holds.
    enum class TOpenChoice { Open, ReadOnly, Cancel };

    // `window` is the main window (its activation is watched, the questions are
    // asked over it); the bar that tells of changes goes at the top of
    // `editorArea`; `modified` tells whether the window holds unsaved edits.
    TFileSafety(QWidget* window, QWidget* editorArea, TInterfaceTexts& texts,
                std::function<bool()> modified);
    ~TFileSafety() override;

    // The folder the window locks are kept in (the data folder).
    void SetLockFolder(const std::string& folder) { FLockFolder = folder; }
    // The lock file that stands for `path` in `folder`: named after a hash of
    // the file's whole path.
    static std::string LockPath(const std::string& folder, const std::string& path);

    // The file was just read or written: its state on disk is remembered
    // (`stamp`, when the caller took it from the bytes it read, else the
    // file is read again for it).
    void Remember(TWatched which, const std::string& path,
                  const std::optional<platform::TFileStamp>& stamp = std::nullopt);
    void Forget(TWatched which);
    const std::string& WatchedPath(TWatched which) const { return FFiles[which].Path; }

    // Before a save: when a watched file changed on disk since it was read or
    // saved, asks whether to overwrite it, reload it (the edits are lost) or
    // cancel (the default); `changed` gets which files changed. A translation
    // opened read-only is never written: that is said and the save cancelled.
    TSaveChoice BeforeSave(bool changed[WatchedCount]);
    // The status line's words for the files reloaded (as BeforeSave marks them).
    QString ReloadedMessage(const bool changed[WatchedCount]) const;

    // Compares the watched files with the disk, as the window does when it is
    // activated: without unsaved edits a changed file is reloaded (signal
    // ReloadWanted) and said in the status line; with unsaved edits a bar above
    // the editor says so and offers to reload. A file that vanished is said;
    // the editor keeps its text.
    void CheckDisk();

    // Opening the translation at `path`: takes its lock, or asks what to do
    // when another window holds it. A lock whose process is gone is taken over
    // silently.
    TOpenChoice ClaimTranslation(const std::string& path);
    // The translation at `path` is now in the editor (read-only or not): its
    // state on disk is remembered and the lock claimed for it is kept (or taken
    // now, silently, when none was claimed).
    void TranslationOpened(const std::string& path, bool readOnly = false,
                           const std::optional<platform::TFileStamp>& stamp = std::nullopt);
    // The editor was emptied: the lock is given back.
    void TranslationClosed();
    bool ReadOnly() const { return FReadOnly; }
    bool HoldsLock() const;

    // The bar above the editor, shown while a file changed under unsaved edits.
    QWidget* Bar() const { return FBar; }

signals:
    // Reload these files from disk; the editor's edits are given up.
    void ReloadWanted(bool translation, bool catalogue);
    void StatusMessage(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyTexts();
    QString FileName(TWatched which) const;
    void HideBar();
    void UpdateBarText();

    struct TFile {
        std::string Path;
        platform::TFileStamp Stamp;
        bool Known = false;
        // The disk's state last told about, so that it is told once.
        platform::TFileStamp Told;
    };
    QWidget* FWindow;
    TInterfaceTexts& FTexts;
    std::function<bool()> FModified;
    TFile FFiles[WatchedCount];
    std::string FLockFolder;
    std::unique_ptr<QLockFile> FLock, FPendingLock;
    std::string FPendingPath;
    bool FReadOnly = false;
    bool FBarFiles[WatchedCount] = {false, false};

    QWidget* FBar = nullptr;
    QLabel* FBarText = nullptr;
    QPushButton* FBarReload = nullptr;
    QPushButton* FBarHide = nullptr;

    QString m_aMChangedOnDisk, m_aMChangedUnderEdits, m_aMVanished, m_aMOpenElsewhere, m_aMReadOnly,
        m_aStatusReloaded, m_aBtnOverwrite, m_aBtnReload, m_aBtnOpenReadOnly, m_aBtnOpenAnyway,
        m_aBtnHide;
};
