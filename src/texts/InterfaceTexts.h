// TInterfaceTexts: the program's own interface language. It holds the loaded
// language file, looks texts up by key with an English default, speaks the
// message dialogs in that language, and keeps what every window takes from the
// main window: its texts, the words of the message dialogs, its font and the
// access letters of menu items. The main window owns the one object; the other
// windows and the window parts receive it.
#pragma once

#include "encoding/TextEncoding.h"
#include "initfile/InitFile.h"

#include <QFont>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QTranslator;
class QWidget;
class TAccessKeys;

class TInterfaceTexts : public QObject {
    Q_OBJECT
public:
    explicit TInterfaceTexts(QObject* parent = nullptr);
    ~TInterfaceTexts() override;

    // A language of the program's own catalogue: its name and its file as the
    // catalogue gives it, relative to the program folder.
    struct TLanguage {
        std::string Name;
        std::string File;
    };
    // Each LanguageName of the catalogue at `path` paired with the LanguageFile
    // after it, up to the first pair with an empty part, and the default
    // language's name. False when the catalogue cannot be read.
    static bool ReadLanguages(const std::string& path, std::vector<TLanguage>& languages,
                              std::string& defaultName);

    // Chooses the language `languageName` of the catalogue in `programFolder`
    // (empty: the catalogue's default) and loads it; a name the catalogue does
    // not list keeps the language chosen before.
    void Select(const std::string& programFolder, const std::string& languageName);
    // Loads the language file (none, or one that is not there: the English
    // defaults), and tells every part of the windows to take its texts again.
    void Load(const std::string& languageFile, const std::string& languageName);
    // Releases the loaded texts; every text shows its default from now on.
    void Release();

    QString GetNationalText(const std::string& key, const QString& defaultText) const;
    const std::string& LanguageName() const { return FLanguageName; }
    const std::string& LanguageFile() const { return FLanguageFile; }
    // The locale whose translation of Qt's own texts is in use; empty for
    // Qt's English.
    const std::string& QtLocale() const { return FQtLocale; }

    // A message dialog in the interface language over `owner`; returns the
    // button pressed.
    QMessageBox::StandardButton DoMsgBox(const QString& text, QMessageBox::Icon type,
                                         QMessageBox::StandardButtons buttons, QWidget* owner);
    // Gives a message dialog the interface language's button words and title.
    void NationalizeMsgBox(QMessageBox& dialog, QMessageBox::Icon type) const;
    // Tells the user over `owner` that typed, pasted or dropped text was
    // refused because a document in this encoding cannot hold the character.
    void ShowInputRefused(char32_t character, TTextEncoding encoding, QWidget* owner);

    // The font every window takes: that of `window` (the main window).
    void SetFontSource(QWidget* window) { FFontSource = window; }
    QFont WindowFont() const;

    // Gives a menu (pass its menuAction()) or a menu item an access letter:
    // the first character of the interface text under `key`, `defaultLetter`
    // in English. The letter is taken again at every language change, so ship
    // the key in every language file: the letter must occur in the caption and
    // be unique in its menu. `keys` makes the letters work from the keyboard.
    void SetMenuKeys(TAccessKeys* keys) { FMenuKeys = keys; }
    void AddAccessKey(QAction* item, const std::string& key, const QString& defaultLetter);
    // The same, applied only with the next ApplyAccessKeys (or language).
    void RegisterAccessKey(QAction* item, const std::string& key, const QString& defaultLetter);
    // The access letters of every registered item in the interface language.
    void ApplyAccessKeys();
    // Letters typed while `menu` is open choose its items.
    void WatchMenu(QMenu* menu);

    // The words of the message dialogs and the message that refuses a
    // character, in the interface language.
    QString m_aMYes, m_aMYesToAll, m_aMNo, m_aMNoToAll, m_aMCancel, m_aMError, m_aMInformation,
        m_aMConfirmation, m_aMWarning, m_aMNotInEncoding;

signals:
    // A language was loaded: every part of the windows takes its texts again.
    void LanguageChanged();

private:
    void ApplyWords();
    // Qt's own texts (file dialogs, standard buttons) in the interface
    // language: Qt's translation for the locale, none for English.
    void ApplyQtTexts(const std::string& locale);

    // Looking a key up moves the document's read position, which no caller uses.
    mutable TInitFile FTexts{TInitFile::TForm::Ini};
    std::string FLanguageName;
    std::string FLanguageFile;
    std::unique_ptr<QTranslator> FQtTranslator;
    std::string FQtLocale;
    QPointer<QWidget> FFontSource;
    TAccessKeys* FMenuKeys = nullptr;
    struct TAccessKey {
        QPointer<QAction> Item;
        std::string Key;
        QString DefaultLetter;
    };
    std::vector<TAccessKey> FAccessKeys;
};
