#include "texts/UserCopy.h"

#include "initfile/WorkbenchChoices.h"
#include "platform/FileIO.h"
#include "platform/FileStamp.h"
#include "platform/Platform.h"
#include "texts/ElidedLabel.h"
#include "texts/InterfaceTexts.h"
#include "texts/QtText.h"
#include "texts/StatusLine.h"

#include <QApplication>
#include <QDateTime>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace {

// A question with buttons of their own words, each under an object name (an
// empty caption: the dialog's Cancel); the first is the default, the last
// answers Escape. Gives the object name of the button pressed.
QString Ask(TInterfaceTexts& texts, QWidget* owner, const QString& text,
            std::initializer_list<std::pair<const char*, QString>> buttons) {
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::NoButton, owner);
    box.setObjectName("MsgBox");
    QPushButton* first = nullptr;
    QPushButton* last = nullptr;
    for (const auto& [name, caption] : buttons) {
        last = caption.isEmpty() ? box.addButton(QMessageBox::Cancel)
                                 : box.addButton(caption, first ? QMessageBox::RejectRole
                                                                : QMessageBox::AcceptRole);
        last->setObjectName(name);
        if (!first)
            first = last;
    }
    box.setDefaultButton(first);
    box.setEscapeButton(last);
    texts.NationalizeMsgBox(box, QMessageBox::Question);
    box.exec();
    return box.clickedButton() ? box.clickedButton()->objectName() : QString();
}

} // namespace

TUserCopy::TUserCopy(TInterfaceTexts& texts, TChoicesStore& choices, TStatusLine& statusLine,
                     QWidget* window)
    : QObject(window), FTexts(texts), FChoices(choices), FWindow(window) {
    LblUserCopy = new TElidedLabel(nullptr, Qt::ElideMiddle);
    LblUserCopy->setObjectName("LblUserCopy");
    LblUserCopy->setMaximumWidth(260);
    statusLine.AddPermanent(LblUserCopy);
    LblUserCopy->hide();
    connect(&texts, &TInterfaceTexts::LanguageChanged, this, &TUserCopy::ApplyTexts);
    ApplyTexts();
}

void TUserCopy::ApplyTexts() {
    const std::pair<QString*, std::pair<const char*, const char*>> texts[] = {
        {&m_aMUserCopyOffer,
         {"FrmWordlark.m_aMUserCopyOffer",
          "Wordlark may not write in %1 (the folder is protected or read-only), so the "
          "translation cannot be saved there. Save the translation and the catalogue in your "
          "own folder %2 instead, and go on working on that copy? “Prepare to send” then "
          "sends those files."}},
        {&m_aMUserCopyReplaces,
         {"FrmWordlark.m_aMUserCopyReplaces",
          "Your copy kept there, last saved %1, is then replaced."}},
        {&m_aMUserCopyFound,
         {"FrmWordlark.m_aMUserCopyFound",
          "You have your own copy of this translation in %1, last saved %2. Continue with "
          "your copy, or use the installed files?"}},
        {&m_aMUserCopyFailed,
         {"FrmWordlark.m_aMUserCopyFailed", "Your own folder cannot be made: %1"}},
        {&m_aCaptionUserCopy, {"FrmWordlark.m_aCaptionUserCopy", "your copy in %1"}},
        {&LblUserCopyText, {"FrmWordlark.LblUserCopy", "Your copy: %1"}},
        {&BtnSaveInOwnFolder, {"FrmWordlark.BtnSaveInOwnFolder", "Save in my folder"}},
        {&BtnContinueCopy, {"FrmWordlark.BtnContinueCopy", "Continue"}},
        {&BtnUseInstalled, {"FrmWordlark.BtnUseInstalled", "Use the installed files"}},
    };
    for (const auto& [member, text] : texts)
        *member = FTexts.GetNationalText(text.first, text.second);
    Use(FCopy);
    // The title says where the copy is in the new language.
    if (Active())
        emit Changed();
}

// ---- Opening -----------------------------------------------------------------------

std::string TUserCopy::ChooseCatalogue(const std::string& path) {
    const TUserCopyFolder holding = UserCopyHolding(path);
    if (!holding.Empty()) {
        Use(holding);
        return path;
    }
    const TUserCopyFolder found = FindUserCopy(FDataFolder, path);
    if (!found.Empty() &&
        Ask(FTexts, FWindow, m_aMUserCopyFound.arg(PathToQt(found.Folder), LastSaved(found)),
            {{"BtnContinueCopy", BtnContinueCopy}, {"BtnUseInstalled", BtnUseInstalled}}) ==
            "BtnContinueCopy") {
        Use(found);
        return found.Catalogue();
    }
    Use({});
    return path;
}

std::string TUserCopy::ShownCatalogue(const std::string& path) const {
    return Active() && path == FCopy.InstalledCatalogue ? FCopy.Catalogue() : path;
}

std::string TUserCopy::RememberedCatalogue(const std::string& path) const {
    return Active() && path == FCopy.Catalogue() ? FCopy.InstalledCatalogue : path;
}

std::string TUserCopy::OpenedTranslation(const std::string& path) const {
    if (!Active() || platform::ExtractFilePath(path) != FCopy.InstalledFolder())
        return path;
    const std::string copy = FCopy.CopyPath(path);
    return platform::FileExists(copy) ? copy : path;
}

// ---- Saving ------------------------------------------------------------------------

std::string TUserCopy::SavePath(const std::string& path) {
    if (!Active() || path.empty() || FCopy.Holds(path))
        return path;
    const std::string copy = FCopy.CopyPath(path);
    FChoices.Update([&](TWorkbenchChoices& choices) { choices.CopyFileChoices(path, copy); });
    return copy;
}

bool TUserCopy::OfferAfterRefusal(const std::string& failedPath, const std::string& cataloguePath,
                                  const std::string& programName) {
    if (Active() || !platform::IsWriteRefusal(platform::LastWriteError()))
        return false;
    const TUserCopyFolder planned = PlannedUserCopy(FDataFolder, cataloguePath, programName);
    if (planned.Empty())
        return false;
    QString question = m_aMUserCopyOffer.arg(PathToQt(platform::ExtractFilePath(failedPath)),
                                             PathToQt(planned.Folder));
    if (platform::FileExists(planned.Catalogue()))
        question += " " + m_aMUserCopyReplaces.arg(LastSaved(planned));
    if (Ask(FTexts, FWindow, question,
            {{"BtnSaveInOwnFolder", BtnSaveInOwnFolder}, {"Cancel", QString()}}) !=
        "BtnSaveInOwnFolder")
        return false;
    std::string error;
    const TUserCopyFolder copy = MakeUserCopy(FDataFolder, cataloguePath, programName, error);
    if (copy.Empty()) {
        FTexts.DoMsgBox(m_aMUserCopyFailed.arg(PathToQt(error)), QMessageBox::Critical,
                        QMessageBox::Ok, FWindow);
        return false;
    }
    // The reference chosen for the catalogue goes with it.
    FChoices.Update([&](TWorkbenchChoices& choices) {
        choices.CopyFileChoices(cataloguePath, copy.Catalogue());
    });
    Use(copy);
    return true;
}

// ---- Saying where ------------------------------------------------------------------

QString TUserCopy::CaptionPart() const {
    return Active() ? m_aCaptionUserCopy.arg(PathToQt(FCopy.Folder)) : QString();
}

void TUserCopy::Use(const TUserCopyFolder& copy) {
    const bool changed = !(copy == FCopy);
    FCopy = copy;
    LblUserCopy->setText(Active() ? LblUserCopyText.arg(PathToQt(FCopy.Folder)) : QString());
    LblUserCopy->setVisible(Active());
    if (changed)
        emit Changed();
}

QString TUserCopy::LastSaved(const TUserCopyFolder& copy) const {
    const platform::TFileStamp stamp = platform::StampFile(copy.Catalogue());
    const QDateTime saved = QDateTime::fromMSecsSinceEpoch(stamp.ModifiedNs / 1000000);
    const std::string& locale = FTexts.QtLocale();
    return QLocale(locale.empty() ? QString("en") : QString::fromStdString(locale))
        .toString(saved, QLocale::ShortFormat);
}
