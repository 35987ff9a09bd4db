// The main window's interface texts: which language is chosen at start-up, how
// a text is looked up, the captions copied from the buttons, and the shipped
// language files as the windows show them.
#include "TextsFixture.h"

#include "dialogs/FrmAddLanguage.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>

#include <set>

namespace fs = std::filesystem;

namespace {

using Texts = std::map<std::string, QString>;

// Everything the main window's key tables set, by the key's control or member.
Texts MainWindowTexts(TFrmWordlark* frm) {
    Texts texts;
    // The window's own controls, not those of the dialogs it owns.
    auto own = [frm](const QObject* o) {
        for (; o; o = o->parent())
            if (o->isWidgetType() && static_cast<const QWidget*>(o)->isWindow())
                return o == frm;
        return false;
    };
    for (QLabel* l : frm->findChildren<QLabel*>())
        if (own(l) && l->objectName().startsWith("Lbl"))
            texts[l->objectName().toStdString()] = l->text();
    for (QPushButton* b : frm->findChildren<QPushButton*>())
        if (own(b) && b->objectName().startsWith("Btn") && b != frm->BtnIniFile &&
            b != frm->BtnFullscreen)
            texts[b->objectName().toStdString()] = b->text();
    texts["BtnFullscreen"] = frm->BtnFullscreen->toolTip();
    // Menu items lie in menus, windows of their own; those of a dialog's menus
    // are the dialog's.
    auto inDialog = [](const QObject* o) {
        for (; o; o = o->parent())
            if (qobject_cast<const QDialog*>(o))
                return true;
        return false;
    };
    // The recent catalogues and the interface languages are listed by their
    // paths and names, not by interface texts.
    for (QAction* a : frm->findChildren<QAction*>())
        if ((a->objectName().startsWith("Men") || a->objectName().startsWith("Pop")) &&
            !a->objectName().endsWith("Item") && !inDialog(a))
            texts[a->objectName().toStdString()] = a->text();
    for (QMenu* m : {frm->MenFile, frm->MenTranslation, frm->MenView})
        texts[m->objectName().toStdString()] = m->title();
    const std::pair<const char*, const QString*> members[] = {
        {"m_aMDiscard", &frm->m_aMDiscard},
        {"m_aMFailed", &frm->m_aMFailed},
        {"m_aMNoTransFile", &frm->m_aMNoTransFile},
        {"m_aMSelectTrans", &frm->m_aMSelectTrans},
        {"m_aMSelectTransSource", &frm->m_aMSelectTransSource},
        {"m_aMNoDeleteGerman", &frm->m_aMNoDeleteGerman},
        {"m_aMSureToDelete", &frm->m_aMSureToDelete},
        {"m_aMFileDoesNotExist", &frm->m_aMFileDoesNotExist},
        {"m_aMInvalidLanguageName", &frm->m_aMInvalidLanguageName},
        {"m_aMLanguageListed", &frm->m_aMLanguageListed},
        {"m_aMNotInEncoding", &frm->Texts().m_aMNotInEncoding},
        {"m_aMYes", &frm->m_aMYes},
        {"m_aMYesToAll", &frm->m_aMYesToAll},
        {"m_aMNo", &frm->m_aMNo},
        {"m_aMNoToAll", &frm->m_aMNoToAll},
        {"m_aMCancel", &frm->m_aMCancel},
        {"m_aMError", &frm->m_aMError},
        {"m_aMInformation", &frm->m_aMInformation},
        {"m_aMConfirmation", &frm->m_aMConfirmation},
        {"m_aMWarning", &frm->m_aMWarning},
        {"m_aStatusOpened", &frm->m_aStatusOpened},
        {"m_aStatusSaved", &frm->m_aStatusSaved},
        {"m_aStatusSavedCatalogue", &frm->m_aStatusSavedCatalogue},
        {"m_aStatusAdded", &frm->m_aStatusAdded},
        {"m_aStatusRemoved", &frm->m_aStatusRemoved},
        {"m_aStatusHandedOver", &frm->m_aStatusHandedOver},
    };
    for (const auto& [name, member] : members)
        texts[name] = *member;
    return texts;
}

class InterfaceTextsTest : public TextsFixture {
protected:
    // A catalogue of the program's own beside the executable.
    void WriteCatalogue(const Entries& entries) {
        WriteProgramFile("Languages.ini", IniText(entries));
    }
    void WriteGermanOnly(const Entries& texts) {
        WriteCatalogue({{"LanguageName", "Deutsch"},
                        {"LanguageFile", "Lang_Deutsch.ini"},
                        {"LanguageDefault", "Deutsch"}});
        WriteProgramFile("Lang_Deutsch.ini", IniText(texts));
    }
};

// ---- Looking a text up --------------------------------------------------------

TEST_F(InterfaceTextsTest, MissingKeysAndEmptyValuesShowTheEnglishDefault) {
    WriteGermanOnly({{"FrmWordlark.BtnSave", ""},
                     {"FrmWordlark.BtnSend", "Versenden"},
                     {"frmwordlark.BtnEdit", "falsch geschrieben"},
                     {"FrmWordlark.LblSave", "4. Speichern"},
                     {"FrmAddLang.Caption", "Sprache anlegen"}});
    Start();
    Show();
    EXPECT_EQ(Frm->CurrentLanguageName(), "Deutsch");
    // Listed texts in their language...
    EXPECT_EQ(Frm->BtnSend->text(), "Versenden");
    EXPECT_EQ(Frm->LblSave->text(), "4. Speichern");
    EXPECT_EQ(Frm->GetNationalText("FrmAddLang.Caption", "Add new language"), "Sprache anlegen");
    // ...an empty value, a key in other case and a missing key in English.
    EXPECT_EQ(Frm->BtnSave->text(), "Save translation");
    EXPECT_EQ(Frm->BtnEdit->text(), "Edit");
    EXPECT_EQ(Frm->BtnAdd->text(), "Add new");
    EXPECT_EQ(Frm->m_aMWarning, "Warning");
    EXPECT_EQ(Frm->GetNationalText("FrmWiz.Caption", "Wizard"), "Wizard");
    EXPECT_EQ(Frm->LblInfo->text(),
              "This is a program which should make the translation of an 'Brightmoor' "
              "(www.brightmoor.example) program easier. And it is the only thing you can do "
              "with this program! Condition is also, that you already installed the program "
              "you want to translate!");
    EXPECT_EQ(Frm->LblSend->text(), "5. Optional (send the translation to brightmoor.example)");
}

TEST_F(InterfaceTextsTest, ValuesShowAsUtf8OrElseAsTheWesternCodePage) {
    WriteGermanOnly({{"FrmWordlark.BtnSave", "\xDC"
                                             "bersetzung speichern"}, // Windows-1252
                     {"FrmWordlark.BtnSend", "Versand vorbereiten \xE2\x80\x93 gleich"},
                     {"FrmWordlark.m_aMNoTransFile", " ist keine \xDC"
                                                     "bersetzungsdatei."}});
    Start();
    Show();
    EXPECT_EQ(Frm->BtnSave->text(), QString::fromUtf8("Übersetzung speichern"));
    EXPECT_EQ(Frm->BtnSend->text(), QString::fromUtf8("Versand vorbereiten – gleich"));
    // The leading blank of a message shown behind a quoted name is kept.
    EXPECT_EQ(Frm->m_aMNoTransFile, QString::fromUtf8(" ist keine Übersetzungsdatei."));
}

TEST_F(InterfaceTextsTest, AnEmptyLanguageFileShowsTheDefaults) {
    InstallProgramFiles();
    WriteProgramFile("Wordlark_Francais.ini", "");
    Start();
    Show();
    Frm->SelectProgramLanguage("Deutsch");
    ASSERT_EQ(Frm->BtnSave->text(), Deutsch("FrmWordlark.BtnSave"));
    // The empty file is there, but holds no texts: nothing of German may stay.
    Frm->SelectProgramLanguage("Français");
    EXPECT_EQ(Frm->CurrentLanguageName(), "Français");
    EXPECT_EQ(Frm->CurrentLanguageFile(), Dir / "bin/Wordlark_Francais.ini");
    EXPECT_EQ(Frm->BtnSave->text(), "Save translation");
    EXPECT_EQ(Frm->m_aMWarning, "Warning");
}

// ---- The language chosen at start-up ---------------------------------------------

TEST_F(InterfaceTextsTest, TheCataloguesDefaultLanguageIsShown) {
    InstallProgramFiles();
    Start();
    Show();
    EXPECT_EQ(Frm->CurrentLanguageName(), "English");
    EXPECT_EQ(Frm->CurrentLanguageFile(), Dir / "bin/Wordlark_English.ini");

    // The same files with another default.
    SetShippedDefaultLanguage("Deutsch");
    Start();
    Show();
    EXPECT_EQ(Frm->CurrentLanguageName(), "Deutsch");
    EXPECT_EQ(Frm->CurrentLanguageFile(), Dir / "bin/Wordlark_Deutsch.ini");
    EXPECT_EQ(Frm->BtnSave->text(), Deutsch("FrmWordlark.BtnSave"));
    EXPECT_EQ(Frm->MenFile->title(), Deutsch("FrmWordlark.MenFile"));
}

TEST_F(InterfaceTextsTest, TheLanguageStoredInTheSettingsWins) {
    InstallProgramFiles();
    WriteSettings({{"LanguageName", "Deutsch"}});
    Start();
    Show();
    EXPECT_EQ(Frm->CurrentLanguageName(), "Deutsch");
    EXPECT_EQ(Frm->CurrentLanguageFile(), Dir / "bin/Wordlark_Deutsch.ini");
    EXPECT_EQ(Frm->BtnSave->text(), Deutsch("FrmWordlark.BtnSave"));
    EXPECT_EQ(Frm->m_aMDiscard, Deutsch("FrmWordlark.m_aMDiscard"));

    WriteSettings({{"LanguageName", "Français"}});
    Start();
    Show();
    EXPECT_EQ(Frm->CurrentLanguageName(), "Français");
    EXPECT_EQ(Frm->BtnSave->text(), Shipped("Wordlark_Francais.ini", "FrmWordlark.BtnSave"));
}

TEST_F(InterfaceTextsTest, AStoredNameTheCatalogueDoesNotListKeepsTheDefault) {
    InstallProgramFiles();
    SetShippedDefaultLanguage("Deutsch");
    // Names are matched exactly: neither another case nor a stray blank.
    for (const char* stored : {"Klingon", "english", "English ", "FRANÇAIS"}) {
        WriteSettings({{"LanguageName", stored}});
        Start();
        Show();
        EXPECT_EQ(Frm->CurrentLanguageName(), "Deutsch") << stored;
        EXPECT_EQ(Frm->BtnSave->text(), Deutsch("FrmWordlark.BtnSave")) << stored;
    }
}

TEST_F(InterfaceTextsTest, ADefaultTheCatalogueDoesNotListGivesEnglish) {
    InstallProgramFiles();
    SetShippedDefaultLanguage("german");
    Start();
    Show();
    EXPECT_EQ(Frm->CurrentLanguageName(), "");
    EXPECT_EQ(Frm->CurrentLanguageFile(), "");
    EXPECT_EQ(Frm->BtnSave->text(), "Save translation");
}

TEST_F(InterfaceTextsTest, AListedLanguageWithoutItsFileShowsAllDefaults) {
    WriteCatalogue({{"LanguageName", "Deutsch"},
                    {"LanguageFile", "Wordlark_Deutsch.ini"},
                    {"LanguageDefault", "Deutsch"}});
    Start();
    Show();
    EXPECT_EQ(Frm->CurrentLanguageName(), "Deutsch");
    EXPECT_EQ(Frm->CurrentLanguageFile(), "");
    EXPECT_EQ(MainWindowTexts(Frm), [&] {
        Frm->Nationalize("", "");
        return MainWindowTexts(Frm);
    }());
    EXPECT_EQ(Frm->BtnSave->text(), "Save translation");
}

TEST_F(InterfaceTextsTest, EntriesBehindAnEmptyNameOrFileAreNeverFound) {
    WriteProgramFile("Lang_Deutsch.ini", IniText({{"FrmWordlark.BtnSave", "Sichern"}}));
    WriteProgramFile("Lang_Francais.ini", IniText({{"FrmWordlark.BtnSave", "Enregistrer"}}));
    const Entries cases[] = {
        {{"LanguageName", "English"},
         {"LanguageFile", "Lang_English.ini"},
         {"LanguageName", ""},
         {"LanguageFile", "Lang_Francais.ini"},
         {"LanguageName", "Deutsch"},
         {"LanguageFile", "Lang_Deutsch.ini"}},
        {{"LanguageName", "English"},
         {"LanguageFile", ""},
         {"LanguageName", "Deutsch"},
         {"LanguageFile", "Lang_Deutsch.ini"}},
    };
    for (Entries entries : cases) {
        entries.push_back({"LanguageDefault", "Deutsch"});
        WriteCatalogue(entries);
        Start();
        Show();
        EXPECT_EQ(Frm->CurrentLanguageName(), "");
        EXPECT_EQ(Frm->BtnSave->text(), "Save translation");
    }
    // The same entry found when nothing empty comes before it.
    WriteCatalogue({{"LanguageName", "English"},
                    {"LanguageFile", "Lang_English.ini"},
                    {"LanguageName", "Deutsch"},
                    {"LanguageFile", "Lang_Deutsch.ini"},
                    {"LanguageDefault", "Deutsch"}});
    Start();
    Show();
    EXPECT_EQ(Frm->BtnSave->text(), "Sichern");
}

TEST_F(InterfaceTextsTest, AnUnknownLanguageLaterKeepsTheCurrentOne) {
    InstallProgramFiles();
    Start();
    Show();
    Frm->SelectProgramLanguage("Deutsch");
    Frm->SelectProgramLanguage("Klingon");
    EXPECT_EQ(Frm->CurrentLanguageName(), "Deutsch");
    EXPECT_EQ(Frm->BtnSave->text(), Deutsch("FrmWordlark.BtnSave"));
    // With the catalogue gone, too.
    fs::remove(Dir / "bin/Languages.ini");
    Frm->SelectProgramLanguage("English");
    EXPECT_EQ(Frm->CurrentLanguageName(), "Deutsch");
    EXPECT_EQ(Frm->BtnSave->text(), Deutsch("FrmWordlark.BtnSave"));
}

// ---- Captions copied from the buttons ----------------------------------------------

TEST_F(InterfaceTextsTest, DerivedCaptionsFollowALanguageChange) {
    InstallProgramFiles();
    Start();
    Show();
    for (const char* language : {"Deutsch", "Français", "English"}) {
        Frm->SelectProgramLanguage(language);
        ASSERT_EQ(Frm->CurrentLanguageName(), language);
        EXPECT_EQ(Frm->MenOpen->text(), Frm->BtnSelectInitFile->text()) << language;
        EXPECT_EQ(Frm->MenWizard->text(), Frm->BtnWizard->text()) << language;
        EXPECT_EQ(Frm->MenSave->text(), Frm->BtnSave->text()) << language;
        EXPECT_EQ(Frm->MenSend->text(), Frm->BtnSend->text()) << language;
        EXPECT_EQ(Frm->MenEdit->text(), Frm->BtnEdit->text()) << language;
        EXPECT_EQ(Frm->MenAdd->text(), Frm->BtnAdd->text()) << language;
        EXPECT_EQ(Frm->MenDelete->text(), Frm->BtnDelete->text()) << language;
        EXPECT_EQ(Frm->MenFullscreen->text(), Frm->BtnFullscreen->toolTip()) << language;
        EXPECT_EQ(Frm->MenUsage->text(), Frm->BtnHelp->text()) << language;
        EXPECT_EQ(Frm->PopEdit->text(), Frm->BtnEdit->text()) << language;
        // The button's own caption is the full-screen state, not a text.
        EXPECT_EQ(Frm->BtnFullscreen->text(), "<>") << language;
        EXPECT_EQ(Frm->MenHelp->title(), "?") << language;
        EXPECT_EQ(Frm->BtnIniFile->text(), "...") << language;
        EXPECT_EQ(Frm->windowTitle(), "Brightmoor Wordlark") << language;
    }
    Frm->SelectProgramLanguage("Deutsch");
    EXPECT_EQ(Frm->MenSave->text(), Deutsch("FrmWordlark.BtnSave"));
    EXPECT_EQ(Frm->MenFullscreen->text(), Deutsch("FrmWordlark.BtnFullscreen"));
    EXPECT_EQ(Frm->PopEdit->text(), Deutsch("FrmWordlark.BtnEdit"));
}

// ---- The shipped language files on screen ------------------------------------------

TEST_F(InterfaceTextsTest, TheEnglishFileShowsTheBuiltInTexts) {
    InstallProgramFiles();
    Start();
    Show();
    ASSERT_EQ(Frm->CurrentLanguageFile(), Dir / "bin/Wordlark_English.ini");
    Texts shipped = MainWindowTexts(Frm);
    Frm->Nationalize("", "");
    Texts builtIn = MainWindowTexts(Frm);
    // The English file leaves the one text it cannot hold, the one with a
    // double quote, empty, so that its built-in text shows.
    EXPECT_TRUE(shipped["LblTranslations"].contains('"'));
    EXPECT_EQ(shipped, builtIn);
}

TEST_F(InterfaceTextsTest, EveryShippedTranslationCoversTheWholeMainWindow) {
    InstallProgramFiles();
    Start();
    Show();
    Frm->Nationalize("", "");
    const Texts english = MainWindowTexts(Frm);
    ASSERT_GE(english.size(), 57u); // 16 controls, 20 menu items, 3 menus, 18 messages
    // Words that read the same in the language.
    const std::map<std::string, std::set<std::string>> same = {
        {"Deutsch", {"MenInfo", "m_aMInformation"}},
        {"Français", {"m_aMInformation", "m_aMConfirmation"}},
    };
    // No words: a sign, an encoding's name, the progress and problem counts,
    // the suggestions and the spelling's replacements, empty while no
    // translation is open, and the place of the user's own copy, empty while
    // none is worked on.
    const std::set<std::string> everywhere = {
        "BtnCloseFind",    "MenShowAsUTF8",   "LblProgress",     "LblProblems",
        "LblSuggestion1",  "LblSuggestion2",  "LblSuggestion3",  "PopReplacement1",
        "PopReplacement2", "PopReplacement3", "PopReplacement4", "PopReplacement5",
        "LblUserCopy"};
    for (auto [language, alike] : same) {
        alike.insert(everywhere.begin(), everywhere.end());
        Frm->SelectProgramLanguage(language);
        const Texts translated = MainWindowTexts(Frm);
        ASSERT_EQ(translated.size(), english.size());
        for (const auto& [name, text] : translated) {
            if (alike.count(name))
                EXPECT_EQ(text, english.at(name)) << language << " " << name;
            else
                EXPECT_NE(text, english.at(name)) << language << " " << name << " still English";
        }
    }
}

// Qt's own dialogs speak the interface language: the catalogue's file dialog,
// made under Deutsch and asked again after each change of language.
TEST_F(InterfaceTextsTest, QtsOwnDialogsSpeakTheInterfaceLanguage) {
    InstallProgramFiles();
    WriteSettings({{"LanguageName", "Deutsch"}});
    Start();
    Show();
    const struct {
        const char* language;
        const char* locale;
        QStringList buttons; // accept, reject
    } cases[] = {
        {"Deutsch", "de", {QString::fromUtf8("Öffnen"), "Abbrechen"}},
        {"Français", "fr", {"Ouvrir", "Annuler"}},
        {"English", "", {"Open", "Cancel"}},
        {"Deutsch", "de", {QString::fromUtf8("Öffnen"), "Abbrechen"}},
    };
    for (const auto& c : cases) {
        Frm->SelectProgramLanguage(c.language);
        EXPECT_EQ(Frm->QtLocale(), c.locale);
        QStringList buttons;
        ModalAnswers answers;
        answers.Then([&](QWidget* dialog) {
            auto* box = dialog->findChild<QDialogButtonBox*>();
            for (auto kind : {QDialogButtonBox::Open, QDialogButtonBox::Cancel})
                buttons << (box && box->button(kind) ? box->button(kind)->text() : QString());
            QMetaObject::invokeMethod(dialog, "reject");
        });
        Frm->BtnSelectInitFile->click();
        EXPECT_EQ(buttons, c.buttons) << c.language;
    }
}

// ---- The new-language dialog ----------------------------------------------------------

TEST_F(InterfaceTextsTest, AddLanguageDialogStartsEmptyInTheCurrentLanguage) {
    InstallProgramFiles();
    WriteSettings({{"LanguageName", "Deutsch"}});
    Start();
    Show();
    TFrmAddLanguage* dialog = Windows.FrmAddLanguage;
    dialog->EdtLanguageName->setText("typed before");

    ModalAnswers answers;
    QString seenText = "unset";
    answers.Then([&](QWidget*) {
        seenText = dialog->EdtLanguageName->text();
        QTest::keyClicks(dialog->EdtLanguageName, "Klingon");
        // Restored after being minimized: the window system shows it again,
        // which is no new showing, and what was typed stays.
        QShowEvent restored;
        QSpontaneKeyEvent::setSpontaneous(&restored);
        qApp->notify(dialog, &restored); // as the window system delivers it
        dialog->BtnOK->click();
    });
    ASSERT_EQ(dialog->exec(), QDialog::Accepted);
    EXPECT_EQ(seenText, "");
    EXPECT_EQ(dialog->LanguageName(), "Klingon");
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Title, Deutsch("FrmAddLang.Caption"));
    EXPECT_EQ(dialog->LblLanguageName->text(), Deutsch("FrmAddLang.LblLanguageName"));
    EXPECT_EQ(dialog->BtnOK->text(), Deutsch("FrmAddLang.BtnOK"));
    EXPECT_EQ(dialog->BtnCancel->text(), Deutsch("FrmAddLang.BtnCancel"));

    // Shown again after a switch to English: empty again, English again.
    Frm->SelectProgramLanguage("English");
    seenText = "unset";
    answers.Then([&](QWidget*) {
        seenText = dialog->EdtLanguageName->text();
        dialog->BtnCancel->click();
    });
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_EQ(seenText, "");
    EXPECT_EQ(answers.Seen().at(1).Title, "Add new language");
    EXPECT_EQ(dialog->LblLanguageName->text(), "Language name:");
    EXPECT_EQ(dialog->BtnCancel->text(), "Cancel");
}

TEST_F(InterfaceTextsTest, AddLanguageDialogTakesEnterAndAnyText) {
    Start();
    Show();
    TFrmAddLanguage* dialog = Windows.FrmAddLanguage;
    ModalAnswers answers;
    // Enter with an empty edit is OK with an empty name.
    answers.Then([&](QWidget*) { QTest::keyClick(dialog->EdtLanguageName, Qt::Key_Return); });
    EXPECT_EQ(dialog->exec(), QDialog::Accepted);
    EXPECT_EQ(dialog->LanguageName(), "");
    // Blanks and characters no file name may hold reach the caller unchanged.
    const QString odd = QString::fromUtf8("  Ñe/w:*?  ");
    answers.Then([&](QWidget*) {
        dialog->EdtLanguageName->setText(odd);
        QTest::keyClick(dialog->EdtLanguageName, Qt::Key_Return);
    });
    EXPECT_EQ(dialog->exec(), QDialog::Accepted);
    EXPECT_EQ(dialog->LanguageName(), odd);
    // Escape cancels.
    answers.Then([&](QWidget*) { QTest::keyClick(dialog->EdtLanguageName, Qt::Key_Escape); });
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_EQ(answers.Pending(), 0u);
}

} // namespace
