#include "texts/InterfaceTexts.h"

#include "platform/Platform.h"
#include "texts/AccessKeys.h"
#include "texts/InterfaceLocale.h"
#include "texts/QtText.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMenu>
#include <QTranslator>

TInterfaceTexts::TInterfaceTexts(QObject* parent) : QObject(parent) {
    ApplyWords();
}

TInterfaceTexts::~TInterfaceTexts() {
    if (FQtTranslator)
        QCoreApplication::removeTranslator(FQtTranslator.get());
}

bool TInterfaceTexts::ReadLanguages(const std::string& path, std::vector<TLanguage>& languages,
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

void TInterfaceTexts::Select(const std::string& programFolder, const std::string& languageName) {
    std::vector<TLanguage> languages;
    std::string defaultName;
    std::string file = FLanguageFile;
    std::string name = FLanguageName;
    if (ReadLanguages(programFolder + "Languages.ini", languages, defaultName)) {
        const std::string requested = languageName.empty() ? defaultName : languageName;
        for (const TLanguage& language : languages) {
            if (language.Name == requested) {
                file = programFolder + language.File;
                name = language.Name;
                break;
            }
        }
    }
    Load(file, name);
}

void TInterfaceTexts::Load(const std::string& languageFile, const std::string& languageName) {
    FLanguageName = languageName;
    // An empty or unreadable file fails to load and would leave the previous
    // language's texts in place; it holds no keys, so it shows the defaults.
    FTexts.Clear();
    FLanguageFile.clear();
    if (!languageFile.empty() && platform::FileExists(languageFile)) {
        FTexts.Load(languageFile);
        FLanguageFile = languageFile;
    }
    ApplyWords();
    emit LanguageChanged();
    ApplyAccessKeys();
    ApplyQtTexts(InterfaceLocale(FTexts.GetString(LocaleKey, ""), languageName));
}

void TInterfaceTexts::Release() {
    FTexts.Clear();
}

QString TInterfaceTexts::GetNationalText(const std::string& key, const QString& defaultText) const {
    const std::string value = FTexts.GetString(key, "");
    return value.empty() ? defaultText : ToDisplay(value);
}

void TInterfaceTexts::ApplyWords() {
    const std::pair<QString*, std::pair<const char*, const char*>> words[] = {
        {&m_aMYes, {"FrmWordlark.m_aMYes", "Yes"}},
        {&m_aMYesToAll, {"FrmWordlark.m_aMYesToAll", "Yes to all"}},
        {&m_aMNo, {"FrmWordlark.m_aMNo", "No"}},
        {&m_aMNoToAll, {"FrmWordlark.m_aMNoToAll", "No to all"}},
        {&m_aMCancel, {"FrmWordlark.m_aMCancel", "Cancel"}},
        {&m_aMError, {"FrmWordlark.m_aMError", "Error"}},
        {&m_aMInformation, {"FrmWordlark.m_aMInformation", "Information"}},
        {&m_aMConfirmation, {"FrmWordlark.m_aMConfirmation", "Confirmation"}},
        {&m_aMWarning, {"FrmWordlark.m_aMWarning", "Warning"}},
        {&m_aMNotInEncoding,
         {"FrmWordlark.m_aMNotInEncoding",
          "The character %1 cannot be stored in this file's encoding (%2), so it was not "
          "inserted."}},
    };
    for (const auto& [member, text] : words)
        *member = GetNationalText(text.first, text.second);
}

void TInterfaceTexts::ApplyQtTexts(const std::string& locale) {
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

// ---- Message dialogs -------------------------------------------------------------

QMessageBox::StandardButton TInterfaceTexts::DoMsgBox(const QString& text, QMessageBox::Icon type,
                                                      QMessageBox::StandardButtons buttons,
                                                      QWidget* owner) {
    QMessageBox box(type, QApplication::applicationName(), text, buttons, owner);
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

void TInterfaceTexts::NationalizeMsgBox(QMessageBox& dialog, QMessageBox::Icon type) const {
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

// Says which character the document's encoding cannot hold, as the character
// and its code point (it may not show in every font).
void TInterfaceTexts::ShowInputRefused(char32_t character, TTextEncoding encoding, QWidget* owner) {
    DoMsgBox(m_aMNotInEncoding.arg(NamedCharacter(character), FromUtf8(EncodingName(encoding))),
             QMessageBox::Warning, QMessageBox::Ok, owner);
}

QFont TInterfaceTexts::WindowFont() const {
    return FFontSource ? FFontSource->font() : QApplication::font();
}

// ---- Access letters ----------------------------------------------------------------

void TInterfaceTexts::AddAccessKey(QAction* item, const std::string& key,
                                   const QString& defaultLetter) {
    RegisterAccessKey(item, key, defaultLetter);
    ApplyAccessKeys();
}

void TInterfaceTexts::RegisterAccessKey(QAction* item, const std::string& key,
                                        const QString& defaultLetter) {
    FAccessKeys.push_back({item, key, defaultLetter});
}

void TInterfaceTexts::ApplyAccessKeys() {
    std::erase_if(FAccessKeys, [](const TAccessKey& a) { return a.Item.isNull(); });
    for (const TAccessKey& a : FAccessKeys) {
        const QString letter = GetNationalText(a.Key, a.DefaultLetter);
        SetAccessLetter(a.Item, letter.isEmpty() ? QChar() : letter.front());
        if (FMenuKeys)
            for (QObject* holder : a.Item->associatedObjects())
                if (auto* menu = qobject_cast<QMenu*>(holder))
                    FMenuKeys->Watch(menu);
    }
    if (FMenuKeys)
        FMenuKeys->Update();
}

void TInterfaceTexts::WatchMenu(QMenu* menu) {
    if (FMenuKeys)
        FMenuKeys->Watch(menu);
}
