#include "texts/FileSafety.h"

#include "platform/Platform.h"
#include "texts/InterfaceTexts.h"
#include "texts/QtText.h"

#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace {

// The lock of one open translation: no time makes it stale, only the end of
// the process holding it.
std::unique_ptr<QLockFile> MakeLock(const std::string& path) {
    auto lock = std::make_unique<QLockFile>(PathToQt(path));
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

QString AskWithNamedButtons(TInterfaceTexts& texts, QWidget* owner, const QString& text,
                            const std::vector<std::pair<QString, QString>>& buttons,
                            const QString& defaultName, const QString& escapeName) {
    const QMessageBox::Icon icon = QMessageBox::Warning;
    QMessageBox box(icon, QString(), text, QMessageBox::NoButton, owner);
    box.setObjectName("MsgBox");
    for (const auto& [name, caption] : buttons) {
        QPushButton* button = box.addButton(caption, name == escapeName ? QMessageBox::RejectRole
                                                                        : QMessageBox::AcceptRole);
        button->setObjectName(name);
        if (name == defaultName)
            box.setDefaultButton(button);
        if (name == escapeName)
            box.setEscapeButton(button);
    }
    texts.NationalizeMsgBox(box, icon);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    return clicked ? clicked->objectName() : escapeName;
}

TFileSafety::TFileSafety(QWidget* window, QWidget* editorArea, TInterfaceTexts& texts,
                         std::function<bool()> modified)
    : QObject(window), FWindow(window), FTexts(texts), FModified(std::move(modified)) {
    FBar = new QWidget(editorArea);
    FBar->setObjectName("PnlChangedOnDisk");
    FBar->setAutoFillBackground(true);
    QPalette yellow = FBar->palette();
    yellow.setColor(QPalette::Window, QColor(255, 241, 184));
    FBar->setPalette(yellow);
    auto* row = new QHBoxLayout(FBar);
    row->setContentsMargins(6, 3, 6, 3);
    FBarText = new QLabel(FBar);
    FBarText->setObjectName("LblChangedOnDisk");
    FBarText->setWordWrap(true);
    row->addWidget(FBarText, 1);
    FBarReload = new QPushButton(FBar);
    FBarReload->setObjectName("BtnReloadChanged");
    row->addWidget(FBarReload);
    FBarHide = new QPushButton(FBar);
    FBarHide->setObjectName("BtnHideChanged");
    row->addWidget(FBarHide);
    if (auto* layout = qobject_cast<QVBoxLayout*>(editorArea->layout()))
        layout->insertWidget(0, FBar);
    FBar->hide();
    connect(FBarReload, &QPushButton::clicked, this, [this] {
        const bool translation = FBarFiles[Translation], catalogue = FBarFiles[Catalogue];
        HideBar();
        emit ReloadWanted(translation, catalogue);
    });
    connect(FBarHide, &QPushButton::clicked, this, &TFileSafety::HideBar);
    connect(&FTexts, &TInterfaceTexts::LanguageChanged, this, &TFileSafety::ApplyTexts);
    ApplyTexts();
    window->installEventFilter(this);
}

TFileSafety::~TFileSafety() = default;

void TFileSafety::ApplyTexts() {
    const std::pair<const char*, std::pair<QString*, const char*>> texts[] = {
        {"FrmWordlark.m_aMChangedOnDisk",
         {&m_aMChangedOnDisk,
          "%1 was changed on disk by another program since Wordlark read or saved it. Overwrite "
          "those changes with yours, reload the file (your unsaved edits are lost), or cancel "
          "the save?"}},
        {"FrmWordlark.m_aMChangedUnderEdits",
         {&m_aMChangedUnderEdits,
          "%1 was changed on disk by another program. Your unsaved edits are kept; saving will "
          "ask before it overwrites the other changes. Reload gives up your edits."}},
        {"FrmWordlark.m_aMVanished",
         {&m_aMVanished,
          "%1 is no longer on disk (deleted or moved); the editor keeps its text, and Save "
          "writes it again"}},
        {"FrmWordlark.m_aMOpenElsewhere",
         {&m_aMOpenElsewhere,
          "%1 is open in another Wordlark window. If both windows save it, one overwrites the "
          "other's work."}},
        {"FrmWordlark.m_aMReadOnly",
         {&m_aMReadOnly,
          "This translation was opened read-only, since it is open in another window: it is "
          "not saved here."}},
        {"FrmWordlark.m_aStatusReloaded",
         {&m_aStatusReloaded, "%1 was changed on disk by another program and has been reloaded"}},
        {"FrmWordlark.BtnOverwrite", {&m_aBtnOverwrite, "Overwrite"}},
        {"FrmWordlark.BtnReload", {&m_aBtnReload, "Reload"}},
        {"FrmWordlark.BtnOpenReadOnly", {&m_aBtnOpenReadOnly, "Open read-only"}},
        {"FrmWordlark.BtnOpenAnyway", {&m_aBtnOpenAnyway, "Open anyway"}},
        {"FrmWordlark.BtnHide", {&m_aBtnHide, "Hide"}},
    };
    for (const auto& [key, target] : texts)
        *target.first = FTexts.GetNationalText(key, target.second);
    FBarReload->setText(m_aBtnReload);
    FBarHide->setText(m_aBtnHide);
    UpdateBarText();
}

// The bar names the files it tells about, in the interface language.
void TFileSafety::UpdateBarText() {
    QStringList shown;
    for (int i = 0; i < WatchedCount; ++i)
        if (FBarFiles[i])
            shown << FileName(static_cast<TWatched>(i));
    FBarText->setText(m_aMChangedUnderEdits.arg(shown.join(QStringLiteral(", "))));
}

QString TFileSafety::FileName(TWatched which) const {
    return PathToQt(platform::ExtractFileName(FFiles[which].Path));
}

void TFileSafety::HideBar() {
    FBar->hide();
    FBarFiles[Translation] = FBarFiles[Catalogue] = false;
}

// ---- What is on disk --------------------------------------------------------------

void TFileSafety::Remember(TWatched which, const std::string& path,
                           const std::optional<platform::TFileStamp>& stamp) {
    TFile& file = FFiles[which];
    file.Path = path;
    file.Stamp = stamp ? *stamp : platform::StampFile(path);
    file.Told = file.Stamp;
    file.Known = true;
    if (FBarFiles[which]) {
        FBarFiles[which] = false;
        if (!FBarFiles[Translation] && !FBarFiles[Catalogue])
            FBar->hide();
    }
}

void TFileSafety::Forget(TWatched which) {
    FFiles[which] = TFile();
    if (FBarFiles[which]) {
        FBarFiles[which] = false;
        if (!FBarFiles[Translation] && !FBarFiles[Catalogue])
            FBar->hide();
    }
}

TFileSafety::TSaveChoice TFileSafety::BeforeSave(bool changed[WatchedCount]) {
    if (FReadOnly) {
        FTexts.DoMsgBox(m_aMReadOnly, QMessageBox::Information, QMessageBox::Ok, FWindow);
        return TSaveChoice::Cancel;
    }
    QStringList names;
    for (int i = 0; i < WatchedCount; ++i) {
        const TFile& file = FFiles[i];
        // A file that vanished is written again: nothing of anyone is lost.
        changed[i] = file.Known && platform::CompareWithDisk(file.Stamp, file.Path) ==
                                       platform::TFileChange::Changed;
        if (changed[i])
            names << FileName(static_cast<TWatched>(i));
    }
    if (names.isEmpty())
        return TSaveChoice::Write;
    const QString answer = AskWithNamedButtons(
        FTexts, FWindow, m_aMChangedOnDisk.arg(names.join(QStringLiteral(", "))),
        {{"BtnOverwrite", m_aBtnOverwrite},
         {"BtnReload", m_aBtnReload},
         {"Cancel", FTexts.m_aMCancel}},
        "Cancel", "Cancel");
    if (answer == "BtnOverwrite")
        return TSaveChoice::Write;
    if (answer == "BtnReload")
        return TSaveChoice::Reload;
    return TSaveChoice::Cancel;
}

QString TFileSafety::ReloadedMessage(const bool changed[WatchedCount]) const {
    QStringList names;
    for (int i = 0; i < WatchedCount; ++i)
        if (changed[i])
            names << FileName(static_cast<TWatched>(i));
    return m_aStatusReloaded.arg(names.join(QStringLiteral(", ")));
}

void TFileSafety::CheckDisk() {
    bool reload[WatchedCount] = {false, false};
    QStringList changedNames, vanishedNames;
    for (int i = 0; i < WatchedCount; ++i) {
        TFile& file = FFiles[i];
        if (!file.Known)
            continue;
        const platform::TFileChange change = platform::CompareWithDisk(file.Stamp, file.Path);
        if (change == platform::TFileChange::Unchanged || change == platform::TFileChange::Touched)
            continue;
        // Told once for each state of the file on disk.
        const platform::TFileStamp now = platform::StampFile(file.Path);
        if (now == file.Told)
            continue;
        file.Told = now;
        if (change == platform::TFileChange::Vanished) {
            vanishedNames << FileName(static_cast<TWatched>(i));
            continue;
        }
        reload[i] = true;
        changedNames << FileName(static_cast<TWatched>(i));
    }
    if (!changedNames.isEmpty()) {
        const QString names = changedNames.join(QStringLiteral(", "));
        if (!FModified()) {
            emit ReloadWanted(reload[Translation], reload[Catalogue]);
            emit StatusMessage(m_aStatusReloaded.arg(names));
        } else {
            for (int i = 0; i < WatchedCount; ++i)
                FBarFiles[i] = FBarFiles[i] || reload[i];
            UpdateBarText();
            FBar->show();
        }
    }
    if (!vanishedNames.isEmpty())
        emit StatusMessage(m_aMVanished.arg(vanishedNames.join(QStringLiteral(", "))));
}

bool TFileSafety::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FWindow && event->type() == QEvent::WindowActivate)
        CheckDisk();
    return QObject::eventFilter(watched, event);
}

// ---- One file, one window ------------------------------------------------------------

std::string TFileSafety::LockPath(const std::string& folder, const std::string& path) {
    // The whole path names the file; on Windows letters of either case do.
    QString whole = QFileInfo(PathToQt(path)).absoluteFilePath();
    const QString canonical = QFileInfo(whole).canonicalFilePath();
    if (!canonical.isEmpty())
        whole = canonical;
#ifdef _WIN32
    whole = whole.toLower();
#endif
    const QByteArray bytes = whole.toUtf8();
    char name[40];
    std::snprintf(name, sizeof name, "Open-%016llx.lock",
                  static_cast<unsigned long long>(
                      platform::HashBytes(std::string_view(bytes.constData(), bytes.size()))));
    return platform::IncludeTrailingDelimiter(folder) + name;
}

bool TFileSafety::HoldsLock() const {
    return FLock && FLock->isLocked();
}

TFileSafety::TOpenChoice TFileSafety::ClaimTranslation(const std::string& path) {
    // The file this window has open already is opened again as it is.
    if (!path.empty() && path == FFiles[Translation].Path)
        return FReadOnly ? TOpenChoice::ReadOnly : TOpenChoice::Open;
    FPendingLock.reset();
    FPendingPath = path;
    if (FLockFolder.empty())
        return TOpenChoice::Open;
    FPendingLock = MakeLock(LockPath(FLockFolder, path));
    // tryLock takes over a lock whose process is gone.
    if (FPendingLock->tryLock(0))
        return TOpenChoice::Open;
    if (FPendingLock->error() != QLockFile::LockFailedError) {
        // No lock can be made there (a folder without write permission): the
        // window works as it did without locks.
        FPendingLock.reset();
        return TOpenChoice::Open;
    }
    FPendingLock.reset();
    const QString answer = AskWithNamedButtons(
        FTexts, FWindow, m_aMOpenElsewhere.arg(PathToQt(platform::ExtractFileName(path))),
        {{"BtnOpenReadOnly", m_aBtnOpenReadOnly},
         {"BtnOpenAnyway", m_aBtnOpenAnyway},
         {"Cancel", FTexts.m_aMCancel}},
        "BtnOpenReadOnly", "Cancel");
    if (answer == "BtnOpenReadOnly")
        return TOpenChoice::ReadOnly;
    if (answer == "BtnOpenAnyway")
        return TOpenChoice::Open;
    return TOpenChoice::Cancel;
}

void TFileSafety::TranslationOpened(const std::string& path, bool readOnly,
                                    const std::optional<platform::TFileStamp>& stamp) {
    const bool sameFile = path == FFiles[Translation].Path && HoldsLock();
    if (path == FPendingPath && FPendingLock) {
        FLock = std::move(FPendingLock);
    } else if (!sameFile) {
        FLock.reset();
        if (!readOnly && !FLockFolder.empty()) {
            FLock = MakeLock(LockPath(FLockFolder, path));
            if (!FLock->tryLock(0))
                FLock.reset();
        }
    }
    FPendingLock.reset();
    FPendingPath.clear();
    FReadOnly = readOnly;
    Remember(Translation, path, stamp);
}

void TFileSafety::TranslationClosed() {
    FLock.reset();
    FPendingLock.reset();
    FPendingPath.clear();
    FReadOnly = false;
    Forget(Translation);
}
