#include "texts/RecoveryKeeper.h"

#include "platform/Platform.h"
#include "texts/FileSafety.h"
#include "texts/InterfaceTexts.h"
#include "texts/QtText.h"

#include <QDateTime>
#include <QLocale>

int TRecoveryKeeper::Delay = 2000;

TRecoveryKeeper::TRecoveryKeeper(QObject* parent, TInterfaceTexts& texts,
                                 std::function<TRecoveredWork()> collect)
    : QObject(parent), FTexts(texts), FCollect(std::move(collect)) {
    FTimer.setSingleShot(true);
    connect(&FTimer, &QTimer::timeout, this, &TRecoveryKeeper::Write);
    connect(&FTexts, &TInterfaceTexts::LanguageChanged, this, &TRecoveryKeeper::ApplyTexts);
    ApplyTexts();
}

TRecoveryKeeper::~TRecoveryKeeper() = default;

void TRecoveryKeeper::ApplyTexts() {
    m_aMRecover = FTexts.GetNationalText(
        "FrmWordlark.m_aMRecover",
        "Wordlark was ended without saving your edits of %1 (kept at %2). Restore them into the "
        "editor as unsaved edits?");
    m_aStatusRestored = FTexts.GetNationalText("FrmWordlark.m_aStatusRestored",
                                               "Restored the unsaved edits of %1 (not saved yet)");
    m_aBtnRestore = FTexts.GetNationalText("FrmWordlark.BtnRestore", "Restore");
    m_aBtnDiscard = FTexts.GetNationalText("FrmWordlark.BtnDiscard", "Discard");
    m_aBtnLater = FTexts.GetNationalText("FrmWordlark.BtnDecideLater", "Decide later");
}

void TRecoveryKeeper::SetFolder(const std::string& folder,
                                const platform::TProcessIdentity& owner) {
    FTimer.stop();
    FWritten = false;
    FStore = std::make_unique<TRecoveryStore>(folder, owner);
}

void TRecoveryKeeper::Changed() {
    // Only the timer is restarted on a keystroke; the work is collected and
    // written once the typing pauses.
    FTimer.start(Delay);
}

void TRecoveryKeeper::WriteNow() {
    if (!FTimer.isActive())
        return;
    FTimer.stop();
    Write();
}

void TRecoveryKeeper::Write() {
    if (!FStore)
        return;
    // A file that cannot be written leaves the one before it; the next pause
    // tries again.
    if (FStore->Write(FCollect()).empty())
        FWritten = true;
}

void TRecoveryKeeper::Clear() {
    FTimer.stop();
    if (FStore && FWritten && FStore->Remove().empty())
        FWritten = false;
}

QString TRecoveryKeeper::RestoredMessage(const std::string& path) const {
    return m_aStatusRestored.arg(PathToQt(platform::ExtractFileName(path)));
}

std::optional<TRecoveredWork> TRecoveryKeeper::Offer(QWidget* owner) {
    if (!FStore)
        return std::nullopt;
    for (const TRecoveryFile& file : FStore->LeftBehind()) {
        const std::string& named =
            file.Work.TranslationPath.empty() ? file.Work.CataloguePath : file.Work.TranslationPath;
        const QString when = QLocale().toString(QDateTime::fromSecsSinceEpoch(file.Work.SavedAt),
                                                QLocale::ShortFormat);
        const QString answer =
            AskWithNamedButtons(FTexts, owner, m_aMRecover.arg(PathToQt(named), when),
                                {{"BtnRestore", m_aBtnRestore},
                                 {"BtnDiscard", m_aBtnDiscard},
                                 {"BtnLater", m_aBtnLater}},
                                "BtnRestore", "BtnLater");
        if (answer == "BtnRestore") {
            // Adopted, the file is this window's: kept until the work is saved.
            if (std::optional<TRecoveredWork> work = FStore->Adopt(file.Path)) {
                FWritten = true;
                return work;
            }
        } else if (answer == "BtnDiscard") {
            TRecoveryStore::Discard(file.Path);
        }
    }
    return std::nullopt;
}
