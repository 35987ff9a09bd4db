// The main window's interface texts, its localized message dialogs and its
// registration in the common maker folder.
#include "app/FrmWordlark.h"

#include "initfile/Catalogue.h"
#include "platform/Platform.h"
#include "texts/AccessKeys.h"
#include "texts/InterfaceLocale.h"
#include "texts/Maker.h"
#include "texts/QtText.h"
#include "texts/Registration.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QPushButton>
#include <QTranslator>

void TFrmWordlark::RegisterInstallation() {
    platform::Platform& os = platform::Get();
    WriteRegistration(MakerFolders(os.CommonAppDataRoots()), MakerFolders(os.RegistrationRoots()),
                      FProgramFolder, CurrentInstallDate());
}

QString TFrmWordlark::GetNationalText(const std::string& key, const QString& defaultText) {
    if (!FInterfaceTexts)
        return defaultText;
    const std::string value = FInterfaceTexts->GetString(key, "");
    return value.empty() ? defaultText : ToDisplay(value);
}

namespace {

struct TProgramLanguage {
    std::string Name;
    std::string File; // as the catalogue gives it, relative to the program folder
};

// The program's own languages: each LanguageName of its catalogue paired with
// the LanguageFile after it, up to the first pair with an empty part. False
// when the catalogue cannot be read.
bool ReadProgramLanguages(const std::string& path, std::vector<TProgramLanguage>& languages,
                          std::string& defaultName) {
    TInitFile catalogue(TInitFile::TForm::Ini);
    if (!catalogue.Load(path))
        return false;
    defaultName = catalogue.GetString("LanguageDefault", "");
    std::string name = catalogue.GetString("LanguageName", "");
    std::string file = catalogue.GetString("LanguageFile", "");
    while (!name.empty() && !file.empty()) {
        languages.push_back({name, file});
        name = catalogue.GetNextString("LanguageName");
        file = catalogue.GetNextString("LanguageFile");
    }
    return true;
}

std::string LanguageOf(const QAction* item) {
    return item->data().toByteArray().toStdString();
}

} // namespace

void TFrmWordlark::SelectProgramLanguage(const std::string& languageName) {
    std::vector<TProgramLanguage> languages;
    std::string defaultName;
    if (ReadProgramLanguages(FProgramFolder + "Languages.ini", languages, defaultName)) {
        const std::string requested = languageName.empty() ? defaultName : languageName;
        for (const TProgramLanguage& language : languages) {
            if (language.Name == requested) {
                FCurrentLanguageFile = FProgramFolder + language.File;
                FCurrentLanguageName = language.Name;
                break;
            }
        }
    }
    Nationalize(FCurrentLanguageFile, FCurrentLanguageName);
}

// The languages are listed once, at the first show; choosing one only moves
// the check mark, since the item chosen is the command that is running.
void TFrmWordlark::FillLanguageMenu() {
    std::vector<TProgramLanguage> languages;
    std::string defaultName;
    ReadProgramLanguages(FProgramFolder + "Languages.ini", languages, defaultName);
    MenLanguage->clear();
    QString taken;
    for (const TProgramLanguage& language : languages) {
        const QString caption = ToDisplay(language.Name);
        QAction* item = MenLanguage->addAction(caption);
        item->setObjectName("MenLanguageItem");
        item->setCheckable(true);
        item->setChecked(language.Name == FCurrentLanguageName);
        item->setData(QByteArray::fromStdString(language.Name));
        const QChar letter = FreeLetter(caption, taken);
        SetAccessLetter(item, letter);
        taken += letter;
        connect(item, &QAction::triggered, this,
                [this, name = language.Name] { Guarded([&] { MenLanguageItemClick(name); }); });
    }
    MenLanguage->setEnabled(!languages.empty());
    FAccessKeys->Watch(MenLanguage);
}

void TFrmWordlark::MenLanguageItemClick(const std::string& languageName) {
    SelectProgramLanguage(languageName);
    // Chosen by the user, the language is kept in the preferences from now on.
    FLanguageStored = true;
}

void TFrmWordlark::Nationalize(const std::string& languageFile, const std::string& languageName) {
    FCurrentLanguageName = languageName;
    if (languageFile.empty() || !platform::FileExists(languageFile)) {
        FInterfaceTexts->Clear();
        FCurrentLanguageFile.clear();
    } else {
        // An empty or unreadable file fails to load and would leave the previous
        // language's texts in place; it holds no keys, so it shows the defaults.
        FInterfaceTexts->Clear();
        FInterfaceTexts->Load(languageFile);
        FCurrentLanguageFile = languageFile;
    }
    ApplyMainTexts();
    ApplyQtTexts(InterfaceLocale(FInterfaceTexts->GetString(LocaleKey, ""), languageName));
    // What the status line said belongs to the language before.
    ShowStatus(QString());
}

void TFrmWordlark::ApplyQtTexts(const std::string& locale) {
    if (locale == FQtLocale)
        return;
    if (FQtTranslator) {
        QCoreApplication::removeTranslator(FQtTranslator.get());
        FQtTranslator.reset();
    }
    FQtLocale.clear();
    auto translator = std::make_unique<QTranslator>();
    // Qt's own texts are English. "qtbase_pt_BR" falls back to "qtbase_pt"
    // when there is no such file.
    const bool english = locale.empty() || locale == "en" || locale.rfind("en_", 0) == 0;
    if (!english && translator->load("qtbase_" + QString::fromStdString(locale),
                                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator.get());
        FQtTranslator = std::move(translator);
        FQtLocale = locale;
    }
    // Windows retranslate Qt's texts on the change events posted for it. They
    // are delivered now, not in the loop of the next message dialog, where
    // they would put Qt's words back over the dialog's own button captions.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

QString TFrmWordlark::DefaultLblInfo() const {
    return QString("This is a program which should make the translation of an 'Brightmoor' (") +
           MakerHost +
           ") program easier. And it is the only thing you can do with this program! Condition is "
           "also, that you already installed the program you want to translate!";
}

QString TFrmWordlark::DefaultLblSend() const {
    return QString("5. Optional (send the translation to ") + MakerDomain + ")";
}

void TFrmWordlark::ApplyMainTexts() {
    struct Caption {
        const char* key;
        QString text;
        std::function<void(const QString&)> apply;
    };
    auto label = [](QLabel* l) { return [l](const QString& t) { l->setText(t); }; };
    auto button = [](QPushButton* b) { return [b](const QString& t) { b->setText(t); }; };
    auto action = [](QAction* a) { return [a](const QString& t) { a->setText(t); }; };
    auto menu = [](QMenu* m) { return [m](const QString& t) { m->setTitle(t); }; };
    auto member = [](QString& s) { return [&s](const QString& t) { s = t; }; };
    const Caption controls[] = {
        {"FrmWordlark.LblInfo", DefaultLblInfo(), label(LblInfo)},
        {"FrmWordlark.LblSelectInitFile",
         "1. Select an INI file (this located in the installation directory, e.g. "
         "C:\\Programme\\Brightmoor\\Snapglass, mostly named Languages.ini)",
         label(LblSelectInitFile)},
        {"FrmWordlark.LblAvailableTranslations",
         "2. Available translations (modify an existing translation or add a new one)",
         label(LblAvailableTranslations)},
        {"FrmWordlark.BtnSelectInitFile", "Browse", button(BtnSelectInitFile)},
        {"FrmWordlark.BtnEdit", "Edit", button(BtnEdit)},
        {"FrmWordlark.BtnAdd", "Add new", button(BtnAdd)},
        {"FrmWordlark.LblCurrentDefault", "Current default language", label(LblCurrentDefault)},
        {"FrmWordlark.LblTranslations",
         "3. Modify the translations (Modify only the yellow marked phrases, leave the "
         "\"-characters, leave TAB-spaces and %s placeholders)",
         label(LblTranslations)},
        {"FrmWordlark.LblSave", "4. Save your settings", label(LblSave)},
        {"FrmWordlark.BtnSave", "Save translation", button(BtnSave)},
        {"FrmWordlark.LblSend", DefaultLblSend(), label(LblSend)},
        {"FrmWordlark.BtnSend", "Prepare to send", button(BtnSend)},
        {"FrmWordlark.BtnHelp", "Help", button(BtnHelp)},
        {"FrmWordlark.BtnDelete", "Delete", button(BtnDelete)},
        {"FrmWordlark.BtnWizard", "Wizard", button(BtnWizard)},
        {"FrmWordlark.PopRefresh", "Refresh", action(PopRefresh)},
        {"FrmWordlark.BtnFullscreen", "Fullscreen",
         [this](const QString& t) { BtnFullscreen->setToolTip(t); }},
        {"FrmWordlark.PopCut", "Cut", action(PopCut)},
        {"FrmWordlark.PopCopy", "Copy", action(PopCopy)},
        {"FrmWordlark.PopPaste", "Paste", action(PopPaste)},
        {"FrmWordlark.PopSelectAll", "SelectAll", action(PopSelectAll)},
        {"FrmWordlark.MenFile", "File", menu(MenFile)},
        {"FrmWordlark.MenExit", "Exit", action(MenExit)},
        {"FrmWordlark.MenTranslation", "Translation", menu(MenTranslation)},
        {"FrmWordlark.MenView", "View", menu(MenView)},
        {"FrmWordlark.MenLicense", "License", action(MenLicense)},
        {"FrmWordlark.MenReadMe", "Changes", action(MenReadMe)},
        {"FrmWordlark.MenCheckUpdate", "Check for update", action(MenCheckUpdate)},
        {"FrmWordlark.MenInfo", "Info", action(MenInfo)},
        {"FrmWordlark.PopUndo", "Undo", action(PopUndo)},
        {"FrmWordlark.PopRedo", "Redo", action(PopRedo)},
        {"FrmWordlark.MenRecent", "Recent catalogues", menu(MenRecent)},
        {"FrmWordlark.MenLanguage", "Interface language", menu(MenLanguage)},
    };
    const Caption messages[] = {
        {"FrmWordlark.m_aMDiscard", "You made changes! Sure to discard them?", member(m_aMDiscard)},
        {"FrmWordlark.m_aMFailed", "Saving failed!", member(m_aMFailed)},
        {"FrmWordlark.m_aMNoTransFile", " seems to be no vaild translation file. Choose another!",
         member(m_aMNoTransFile)},
        {"FrmWordlark.m_aMSelectTrans", "Please select a translation", member(m_aMSelectTrans)},
        {"FrmWordlark.m_aMSelectTransSource",
         "Please select an existing translation as master for translation!",
         member(m_aMSelectTransSource)},
        {"FrmWordlark.m_aMNoDeleteGerman", "Deleting the german translation is not allowed!",
         member(m_aMNoDeleteGerman)},
        {"FrmWordlark.m_aMSureToDelete", "Sure to delete?", member(m_aMSureToDelete)},
        {"FrmWordlark.m_aMFileDoesNotExist",
         "The file you are trying to load does not exist. It might be a new translation that is "
         "not saved yet. Do you want to remove this translation entry from list:",
         member(m_aMFileDoesNotExist)},
        {"FrmWordlark.m_aMInvalidLanguageName",
         " cannot be used as a language name, because it names the translation file. Choose "
         "another!",
         member(m_aMInvalidLanguageName)},
        {"FrmWordlark.m_aMLanguageListed", " is listed already. Choose another name!",
         member(m_aMLanguageListed)},
        {"FrmWordlark.m_aMNotInEncoding",
         "The character %1 cannot be stored in this file's encoding (%2), so it was not "
         "inserted.",
         member(m_aMNotInEncoding)},
        {"FrmWordlark.m_aMYes", "Yes", member(m_aMYes)},
        {"FrmWordlark.m_aMYesToAll", "Yes to all", member(m_aMYesToAll)},
        {"FrmWordlark.m_aMNo", "No", member(m_aMNo)},
        {"FrmWordlark.m_aMNoToAll", "No to all", member(m_aMNoToAll)},
        {"FrmWordlark.m_aMCancel", "Cancel", member(m_aMCancel)},
        {"FrmWordlark.m_aMError", "Error", member(m_aMError)},
        {"FrmWordlark.m_aMInformation", "Information", member(m_aMInformation)},
        {"FrmWordlark.m_aMConfirmation", "Confirmation", member(m_aMConfirmation)},
        {"FrmWordlark.m_aMWarning", "Warning", member(m_aMWarning)},
        {"FrmWordlark.m_aStatusOpened", "Opened %1", member(m_aStatusOpened)},
        {"FrmWordlark.m_aStatusSaved", "Saved %1 and %2 in %3", member(m_aStatusSaved)},
        {"FrmWordlark.m_aStatusSavedCatalogue", "Saved %1 in %2", member(m_aStatusSavedCatalogue)},
        {"FrmWordlark.m_aStatusAdded", "Added %1 as a copy of %2 (not saved yet)",
         member(m_aStatusAdded)},
        {"FrmWordlark.m_aStatusRemoved", "Removed %1 from the list (not saved yet)",
         member(m_aStatusRemoved)},
        {"FrmWordlark.m_aStatusHandedOver", "The wizard handed over %1 of %2",
         member(m_aStatusHandedOver)},
    };
    for (const Caption& c : controls)
        c.apply(GetNationalText(c.key, c.text));
    for (const Caption& c : messages)
        c.apply(GetNationalText(c.key, c.text));

    // Items without a key of their own take the caption of the control that
    // carries the same command.
    MenOpen->setText(BtnSelectInitFile->text());
    MenWizard->setText(BtnWizard->text());
    MenSave->setText(BtnSave->text());
    MenSend->setText(BtnSend->text());
    MenEdit->setText(BtnEdit->text());
    MenAdd->setText(BtnAdd->text());
    MenDelete->setText(BtnDelete->text());
    MenFullscreen->setText(BtnFullscreen->toolTip());
    MenUsage->setText(BtnHelp->text());
    PopEdit->setText(BtnEdit->text());
    ApplyWorkbenchTexts();

    ApplyAccessKeys();
    for (QAction* item : MenLanguage->actions())
        item->setChecked(LanguageOf(item) == FCurrentLanguageName);
}

// ---- Message dialogs -------------------------------------------------------------

QMessageBox::StandardButton TFrmWordlark::DoMsgBox(const QString& text, QMessageBox::Icon type,
                                                   QMessageBox::StandardButtons buttons,
                                                   QWidget* owner) {
    QMessageBox box(type, QApplication::applicationName(), text, buttons, owner ? owner : this);
    box.setObjectName("MsgBox");
    static const std::pair<QMessageBox::StandardButton, const char*> kinds[] = {
        {QMessageBox::Yes, "Yes"},
        {QMessageBox::No, "No"},
        {QMessageBox::Ok, "OK"},
        {QMessageBox::Cancel, "Cancel"},
        {QMessageBox::Abort, "Abort"},
        {QMessageBox::Retry, "Retry"},
        {QMessageBox::Ignore, "Ignore"},
        {QMessageBox::NoToAll, "NoToAll"},
        {QMessageBox::YesToAll, "YesToAll"},
        {QMessageBox::Help, "Help"},
    };
    for (const auto& [kind, name] : kinds)
        if (QAbstractButton* b = box.button(kind))
            b->setObjectName(name);
    NationalizeMsgBox(box, type);
    box.exec();
    return box.standardButton(box.clickedButton());
}

void TFrmWordlark::NationalizeMsgBox(QMessageBox& dialog, QMessageBox::Icon type) {
    const std::pair<const char*, const QString*> words[] = {
        {"No", &m_aMNo},         {"NoToAll", &m_aMNoToAll},
        {"Yes", &m_aMYes},       {"YesToAll", &m_aMYesToAll},
        {"Cancel", &m_aMCancel},
    };
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        for (const auto& [name, word] : words)
            if (b->objectName() == QLatin1String(name))
                b->setText(*word);
    switch (type) {
    case QMessageBox::Warning:
        dialog.setWindowTitle(m_aMWarning);
        break;
    case QMessageBox::Critical:
        dialog.setWindowTitle(m_aMError);
        break;
    case QMessageBox::Information:
        dialog.setWindowTitle(m_aMInformation);
        break;
    case QMessageBox::Question:
        dialog.setWindowTitle(m_aMConfirmation);
        break;
    default:
        break;
    }
}
