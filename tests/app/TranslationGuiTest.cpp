// Editing, adding, deleting and saving translations through the main window.
#include "support/WordlarkFixture.h"

#include "dialogs/FrmAddLanguage.h"
#include "editor/SynEditor.h"
#include "platform/FileIO.h"
#include "texts/Guarded.h"
#include "texts/QtText.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <cerrno>
#include <functional>

namespace fs = std::filesystem;

namespace {
const char* const Francais = "Fran\xc3\xa7"
                             "ais";

QStringList ListNames(QTreeWidget* list) {
    QStringList names;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        names << list->topLevelItem(i)->text(0);
    return names;
}

QStringList Choices(QComboBox* box) {
    QStringList names;
    for (int i = 0; i < box->count(); ++i)
        names << box->itemText(i);
    return names;
}
} // namespace

class TranslationTest : public WordlarkFixture {
protected:
    void SetUp() override {
        Catalogue = InstallDemo();
        English = TempDir::Read(Dir / "Snapglass/Snapglass_English.ini");
        Deutsch = TempDir::Read(Dir / "Snapglass/Snapglass_Deutsch.ini");
        Start();
        Show();
        ModalAnswers answers;
        answers.Then(ChooseFile(Catalogue));
        Frm->BtnSelectInitFile->click();
        ASSERT_EQ(Frm->LisTranslations->topLevelItemCount(), 2);
    }

    // Answers the new-language dialog with a name and OK.
    static ModalAnswers::Answer NameLanguage(const QString& name) {
        return [name](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("EdtLanguageName")->setText(name);
            ClickNamedButton(dialog, "BtnOK");
        };
    }

    // One key press per character, the character as the event's text.
    void Type(const QString& text) {
        for (char32_t c : text.toUcs4()) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                            QString::fromUcs4(&c, 1));
            QApplication::sendEvent(Frm->MemTranslation, &press);
        }
    }

    std::string Catalogue, English, Deutsch;
};

TEST_F(TranslationTest, EditOpensTheSelectedTranslation) {
    SelectTranslation("Deutsch");
    Frm->BtnEdit->click();
    EXPECT_EQ(Frm->windowTitle(), "Brightmoor Wordlark - Snapglass_Deutsch.ini");
    EXPECT_EQ(Frm->TranslationPath, Dir / "Snapglass/Snapglass_Deutsch.ini");
    EXPECT_EQ(Frm->MemTranslation->Bytes(), Deutsch);
    EXPECT_TRUE(Frm->MemTranslation->isEnabled());
    EXPECT_FALSE(Frm->Modified);

    // The wizard names the program; the caption then carries it.
    Frm->SetProgramName("Snapglass");
    Frm->PopEdit->trigger();
    EXPECT_EQ(Frm->windowTitle(), "Brightmoor Wordlark - Snapglass_Deutsch.ini [Snapglass]");
}

TEST_F(TranslationTest, EveryEditTriggerNeedsASelection) {
    Frm->LisTranslations->clearSelection();
    ModalAnswers answers;
    answers.Click("OK").Click("OK").Click("OK");
    Frm->BtnEdit->click();
    Frm->MenEdit->trigger();
    Frm->PopEdit->trigger();
    ASSERT_EQ(answers.Seen().size(), 3u);
    for (const SeenDialog& seen : answers.Seen()) {
        EXPECT_EQ(seen.Text, "Please select a translation");
        EXPECT_EQ(seen.Title, "Information");
    }
    EXPECT_FALSE(Frm->MemTranslation->isEnabled());
}

TEST_F(TranslationTest, TypingSetsModifiedAndOpeningAnotherClearsIt) {
    SelectTranslation("English");
    Frm->BtnEdit->click();
    Type("x");
    EXPECT_TRUE(Frm->Modified);

    // Cancel at the discard question keeps text and flag.
    const std::string edited = Frm->MemTranslation->Bytes();
    SelectTranslation("Deutsch");
    ModalAnswers answers;
    answers.Click("Cancel");
    Frm->BtnEdit->click();
    EXPECT_EQ(answers.Seen().at(0).Text, "You made changes! Sure to discard them?");
    EXPECT_EQ(Frm->MemTranslation->Bytes(), edited);
    EXPECT_TRUE(Frm->Modified);

    answers.Click("Yes");
    Frm->BtnEdit->click();
    EXPECT_EQ(Frm->MemTranslation->Bytes(), Deutsch);
    EXPECT_FALSE(Frm->Modified);
}

TEST_F(TranslationTest, SettingsFileButtonFollowsTheSettingsFile) {
    const std::string settings =
        Dir.Write("local/Brightmoor/Snapglass/Snapglass.ini", "A=\"1\"\r\n");
    Frm->OpenTranslation(Dir / "Snapglass/Snapglass_English.ini", settings);
    EXPECT_TRUE(Frm->BtnIniFile->isVisible());
    EXPECT_EQ(Frm->SettingsFilePath, settings);
    Frm->OpenTranslation(Dir / "Snapglass/Snapglass_English.ini",
                         Dir / "local/Brightmoor/Snapglass/");
    EXPECT_FALSE(Frm->BtnIniFile->isVisible());
}

TEST_F(TranslationTest, AMissingFileCanBeDroppedFromTheLists) {
    fs::remove(Dir / "Snapglass/Snapglass_Deutsch.ini");
    const std::string before = TempDir::Read(Catalogue);
    SelectTranslation("Deutsch");
    ModalAnswers answers;
    answers.Click("Cancel").Click("Yes");
    Frm->BtnEdit->click();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(
        answers.Seen()[0].Text,
        "The file you are trying to load does not exist. It might be a new translation that "
        "is not saved yet. Do you want to remove this translation entry from list: Deutsch, " +
            PathToQt(Dir / "Snapglass/Snapglass_Deutsch.ini"));
    EXPECT_EQ(answers.Seen()[0].Title, "Warning");
    EXPECT_EQ(ListNames(Frm->LisTranslations), QStringList({"English", "Deutsch"}));

    Frm->BtnEdit->click();
    EXPECT_EQ(ListNames(Frm->LisTranslations), QStringList({"English"}));
    EXPECT_EQ(Choices(Frm->CbbDefaultLanguage), QStringList({"English"}));
    EXPECT_EQ(Frm->CbbDefaultLanguage->currentIndex(), 0);
    EXPECT_FALSE(Frm->Modified);
    EXPECT_EQ(TempDir::Read(Catalogue), before);
}

TEST_F(TranslationTest, AFileThatCannotBeOpenedIsReportedAndTheEditorKeepsItsState) {
    SelectTranslation("English");
    Frm->BtnEdit->click();
    Type("x");
    ModalAnswers answers;
    answers.Click("OK");
    // A folder where the file should be: listed, exists as a path, cannot be read.
    Guarded([&] { Frm->OpenTranslation(Dir / "Snapglass/", ""); });
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_TRUE(answers.Seen()[0].Text.contains("Snapglass"))
        << answers.Seen()[0].Text.toStdString();
    EXPECT_EQ(Frm->MemTranslation->Bytes(), "x" + English);
    EXPECT_TRUE(Frm->MemTranslation->isEnabled());
    EXPECT_TRUE(Frm->Modified);
    // The text is still saved where it came from, and the title says so, with
    // its edits still marked as unsaved.
    EXPECT_EQ(Frm->TranslationPath, Dir / "Snapglass/Snapglass_English.ini");
    EXPECT_EQ(Frm->windowTitle(), "*Brightmoor Wordlark - Snapglass_English.ini");
}

TEST_F(TranslationTest, AddCopiesTheMasterUnderANewName) {
    SelectTranslation("Deutsch");
    ModalAnswers answers;
    answers.Then(NameLanguage(QString::fromUtf8(Francais)));
    Frm->BtnAdd->click();
    ASSERT_EQ(answers.Pending(), 0u);
    EXPECT_EQ(ListNames(Frm->LisTranslations),
              QStringList({"English", "Deutsch", QString::fromUtf8(Francais)}));
    QTreeWidgetItem* added = Frm->LisTranslations->topLevelItem(2);
    EXPECT_TRUE(added->isSelected());
    EXPECT_EQ(Frm->TranslationPath,
              Dir / (std::string("Snapglass/Snapglass_") + Francais + ".ini"));
    EXPECT_EQ(added->text(1), PathToQt(Frm->TranslationPath));
    EXPECT_EQ(Frm->MemTranslation->Bytes(), Deutsch);
    EXPECT_TRUE(Frm->MemTranslation->isEnabled());
    EXPECT_EQ(Frm->CbbDefaultLanguage->currentText(), QString::fromUtf8(Francais));
    EXPECT_FALSE(Frm->Modified);
    EXPECT_FALSE(fs::exists(Frm->TranslationPath));
}

TEST_F(TranslationTest, AddIsRefusedOrDroppedWithoutChanges) {
    ModalAnswers answers;
    // No master selected.
    Frm->LisTranslations->clearSelection();
    answers.Click("OK");
    Frm->BtnAdd->click();
    EXPECT_EQ(answers.Seen().back().Text,
              "Please select an existing translation as master for translation!");

    SelectTranslation("English");
    // Cancel, an empty name, and names that cannot name a file or a catalogue entry.
    answers.Click("BtnCancel").Then(NameLanguage(""));
    Frm->BtnAdd->click();
    Frm->BtnAdd->click();
    for (const char* bad : {"../../evil", "a/b", "Say \"hi\""}) {
        answers.Then(NameLanguage(bad)).Click("OK");
        Frm->BtnAdd->click();
        EXPECT_EQ(answers.Seen().back().Title, "Error") << bad;
    }
    EXPECT_EQ(answers.Pending(), 0u);
    EXPECT_EQ(ListNames(Frm->LisTranslations), QStringList({"English", "Deutsch"}));
    EXPECT_EQ(Frm->CbbDefaultLanguage->count(), 2);
    EXPECT_FALSE(Frm->MemTranslation->isEnabled());
}

TEST_F(TranslationTest, AListedNameIsRefusedAndNothingIsWritten) {
    SelectTranslation("English");
    Frm->BtnEdit->click();
    ModalAnswers answers;
    // Names are compared byte for byte, as the catalogue compares them.
    const struct {
        const char* name;
        bool refused;
    } cases[] = {{"Deutsch", true}, {"English", true}, {"deutsch", false}, {"Deutsch2", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList before = ListNames(Frm->LisTranslations);
        const std::string path = Frm->TranslationPath;
        SelectTranslation("English");
        answers.Then(NameLanguage(c.name));
        if (c.refused)
            answers.Click("OK");
        Frm->BtnAdd->click();
        ASSERT_EQ(answers.Pending(), 0u);
        if (!c.refused) {
            EXPECT_EQ(ListNames(Frm->LisTranslations), before + QStringList(c.name));
            continue;
        }
        EXPECT_EQ(answers.Seen().back().Text,
                  QString("'") + c.name + "' is listed already. Choose another name!");
        EXPECT_EQ(answers.Seen().back().Title, "Error");
        EXPECT_EQ(ListNames(Frm->LisTranslations), before);
        EXPECT_EQ(Frm->TranslationPath, path);
    }
    // The wizard's road is refused the same way.
    answers.Click("OK");
    EXPECT_FALSE(Frm->AddTranslation("Deutsch", Dir / "Snapglass/Snapglass_English.ini"));
    EXPECT_EQ(Choices(Frm->CbbDefaultLanguage),
              QStringList({"English", "Deutsch", "deutsch", "Deutsch2"}));
    // Saving writes the editor's text to the last added file, never over Deutsch.
    Frm->BtnSave->click();
    EXPECT_EQ(TempDir::Read(Dir / "Snapglass/Snapglass_Deutsch.ini"), Deutsch);
    EXPECT_EQ(TempDir::Read(Dir / "Snapglass/Snapglass_English.ini"), English);
}

TEST_F(TranslationTest, TheNameDialogStartsEmptyEveryTime) {
    SelectTranslation("English");
    QString seenText = "unset";
    ModalAnswers answers;
    answers.Then(NameLanguage("Dansk")).Then([&](QWidget* dialog) {
        seenText = dialog->findChild<QLineEdit*>("EdtLanguageName")->text();
        ClickNamedButton(dialog, "BtnCancel");
    });
    Frm->BtnAdd->click();
    SelectTranslation("English");
    Frm->BtnAdd->click();
    EXPECT_EQ(seenText, "");
}

TEST_F(TranslationTest, DeleteRemovesFromTheListOnly) {
    ModalAnswers answers;
    SelectTranslation("Deutsch");
    answers.Click("OK");
    Frm->BtnDelete->click();
    EXPECT_EQ(answers.Seen().back().Text, "Deleting the german translation is not allowed!");

    SelectTranslation("English");
    Frm->BtnEdit->click();
    answers.Click("Cancel");
    Frm->MenDelete->trigger();
    EXPECT_EQ(answers.Seen().back().Text, "Sure to delete?");
    EXPECT_EQ(answers.Seen().back().Title, "Confirmation");
    EXPECT_EQ(Frm->LisTranslations->topLevelItemCount(), 2);

    answers.Click("Yes");
    Frm->BtnDelete->click();
    EXPECT_EQ(ListNames(Frm->LisTranslations), QStringList({"Deutsch"}));
    EXPECT_TRUE(Frm->Modified);
    EXPECT_FALSE(Frm->MemTranslation->isEnabled());
    EXPECT_TRUE(Frm->MemTranslation->IsEmpty());
    // The default box no longer offers it; its default gives way.
    EXPECT_EQ(Choices(Frm->CbbDefaultLanguage), QStringList({"Deutsch"}));
    EXPECT_EQ(Frm->CbbDefaultLanguage->currentText(), "Deutsch");
    EXPECT_TRUE(fs::exists(Dir / "Snapglass/Snapglass_English.ini"));
}

TEST_F(TranslationTest, DeleteWithUnsavedEditsAsksToDiscardThemFirst) {
    Dir.Write("Snapglass/Snapglass_Dansk.ini", English);
    Dir.Write("Snapglass/Languages.ini",
              "LanguageName=\"English\"\r\nLanguageFile=\"Snapglass_English.ini\"\r\n"
              "LanguageName=\"Deutsch\"\r\nLanguageFile=\"Snapglass_Deutsch.ini\"\r\n"
              "LanguageName=\"Dansk\"\r\nLanguageFile=\"Snapglass_Dansk.ini\"\r\n");
    Frm->PopRefresh->trigger();
    SelectTranslation("Deutsch");
    Frm->BtnEdit->click();
    Type("x");
    const std::string edited = Frm->MemTranslation->Bytes();

    ModalAnswers answers;
    SelectTranslation("English");
    answers.Click("Cancel");
    Frm->BtnDelete->click();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Text, "You made changes! Sure to discard them?");
    EXPECT_EQ(ListNames(Frm->LisTranslations), QStringList({"English", "Deutsch", "Dansk"}));
    EXPECT_EQ(Frm->MemTranslation->Bytes(), edited);
    EXPECT_TRUE(Frm->MemTranslation->isEnabled());

    // Discarding leads to the usual confirmation; Cancel there keeps all too.
    answers.Click("Yes").Click("Cancel");
    Frm->BtnDelete->click();
    ASSERT_EQ(answers.Seen().size(), 3u);
    EXPECT_EQ(answers.Seen()[2].Text, "Sure to delete?");
    EXPECT_EQ(Frm->MemTranslation->Bytes(), edited);

    answers.Click("Yes").Click("Yes");
    Frm->BtnDelete->click();
    EXPECT_EQ(ListNames(Frm->LisTranslations), QStringList({"Deutsch", "Dansk"}));
    EXPECT_TRUE(Frm->MemTranslation->IsEmpty());

    // With the editor empty there are no edits to lose: only the confirmation.
    SelectTranslation("Dansk");
    answers.Click("Yes");
    Frm->BtnDelete->click();
    ASSERT_EQ(answers.Seen().size(), 6u);
    EXPECT_EQ(answers.Seen()[5].Text, "Sure to delete?");
    EXPECT_EQ(ListNames(Frm->LisTranslations), QStringList({"Deutsch"}));
}

TEST_F(TranslationTest, TheTitleNamesWhatTheEditorHolds) {
    const std::string other = InstallDemo("Other");
    const QString plain = "Brightmoor Wordlark";
    Frm->SetProgramName("Snapglass");
    ModalAnswers answers;
    const struct {
        const char* step;
        std::function<void()> run;
        QString title;
    } steps[] = {
        {"edit", [&] { SelectTranslation("English"), Frm->BtnEdit->click(); },
         plain + " - Snapglass_English.ini [Snapglass]"},
        {"add",
         [&] {
             SelectTranslation("Deutsch");
             answers.Then(NameLanguage(QString::fromUtf8(Francais)));
             Frm->BtnAdd->click();
         },
         plain + " - Snapglass_" + QString::fromUtf8(Francais) + ".ini [Snapglass]"},
        {"delete, marked as unsaved",
         [&] {
             answers.Click("Yes");
             Frm->BtnDelete->click();
         },
         "*" + plain},
        {"edit again, the deletion discarded",
         [&] {
             SelectTranslation("English");
             answers.Click("Yes");
             Frm->BtnEdit->click();
         },
         plain + " - Snapglass_English.ini [Snapglass]"},
        {"browse",
         [&] {
             answers.Then(ChooseFile(other));
             Frm->BtnSelectInitFile->click();
         },
         plain},
        {"edit without a program", [&] { SelectTranslation("Deutsch"), Frm->BtnEdit->click(); },
         plain + " - Snapglass_Deutsch.ini"},
    };
    for (const auto& s : steps) {
        s.run();
        ASSERT_EQ(answers.Pending(), 0u) << s.step;
        EXPECT_EQ(Frm->windowTitle(), s.title) << s.step;
    }
}

TEST_F(TranslationTest, OnlyTheExactNameDeutschIsProtected) {
    Dir.Write("Snapglass/Languages.ini",
              "LanguageName=\"deutsch\"\r\nLanguageFile=\"Snapglass_Deutsch.ini\"\r\n");
    Frm->PopRefresh->trigger();
    SelectTranslation("deutsch");
    ModalAnswers answers;
    answers.Click("Yes");
    Frm->BtnDelete->click();
    EXPECT_EQ(Frm->LisTranslations->topLevelItemCount(), 0);
}

TEST_F(TranslationTest, SaveWritesTheTranslationAndRebuildsTheCatalogue) {
    Dir.Write("Snapglass/Languages.ini",
              "; maker's "
              "comment\r\nLanguageName=\"English\"\r\nLanguageFile=\"Snapglass_English.ini\"\r\n"
              "LanguageName=\"Deutsch\"\r\nLanguageFile=\"Snapglass_Deutsch.ini\"\r\n"
              "DefautltLanguage=\"Deutsch\"\r\n");
    Frm->PopRefresh->trigger();
    SelectTranslation("English");
    Frm->BtnEdit->click();
    Type("!");
    Frm->MenSave->trigger();
    EXPECT_FALSE(Frm->Modified);
    EXPECT_EQ(TempDir::Read(Dir / "Snapglass/Snapglass_English.ini"), "!" + English);
    EXPECT_EQ(TempDir::Read(Catalogue),
              "[_WORDLARK_GENERATED_FILE]\r\nLanguageName=\"English\"\r\n"
              "LanguageFile=\"Snapglass_English.ini\"\r\nLanguageName=\"Deutsch\"\r\n"
              "LanguageFile=\"Snapglass_Deutsch.ini\"\r\n\r\nDefautltLanguage=\"Deutsch\"\r\n");
}

TEST_F(TranslationTest, SaveWithoutAUsableCatalogueFolderFails) {
    ModalAnswers answers;
    SelectTranslation("English");
    Frm->BtnEdit->click();
    Type("x");
    fs::rename(Dir / "Snapglass", Dir / "Moved");
    answers.Click("OK");
    Frm->BtnSave->click();
    EXPECT_EQ(answers.Seen().back().Text, "Saving failed!");
    EXPECT_EQ(answers.Seen().back().Title, "Error");
    EXPECT_TRUE(Frm->Modified);
    EXPECT_FALSE(fs::exists(Dir / "Snapglass"));

    // No catalogue open at all.
    Frm->SetCataloguePath("");
    answers.Click("OK");
    Frm->BtnSave->click();
    EXPECT_EQ(answers.Seen().back().Text, "Saving failed!");
}

TEST_F(TranslationTest, AReadOnlyTranslationIsReportedAndNothingIsWritten) {
    SelectTranslation("English");
    Frm->BtnEdit->click();
    Type("x");
    const std::string file = Dir / "Snapglass/Snapglass_English.ini";
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string catalogue = TempDir::Read(Catalogue);
    // The user's own folder is offered first; declined, the failure is told.
    ModalAnswers answers;
    answers.Click("Cancel").Click("OK");
    Frm->BtnSave->click();
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_TRUE(answers.Seen()[0].Text.startsWith("Wordlark may not write in "))
        << answers.Seen()[0].Text.toStdString();
    EXPECT_TRUE(answers.Seen()[1].Text.contains("Snapglass_English.ini"))
        << answers.Seen()[1].Text.toStdString();
    EXPECT_EQ(TempDir::Read(file), English);
    EXPECT_EQ(TempDir::Read(Catalogue), catalogue);
    EXPECT_TRUE(Frm->Modified);
}

TEST_F(TranslationTest, ACatalogueThatCannotBeWrittenIsReported) {
    SelectTranslation("English");
    Frm->BtnEdit->click();
    Type("x");
    fs::permissions(Catalogue, fs::perms::owner_read);
    ModalAnswers answers;
    answers.Click("Cancel").Click("OK");
    Frm->BtnSave->click();
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_TRUE(answers.Seen()[0].Text.startsWith("Wordlark may not write in "))
        << answers.Seen()[0].Text.toStdString();
    EXPECT_EQ(answers.Seen()[1].Text, "Saving failed!");
    EXPECT_TRUE(Frm->Modified);
    // The translation itself was saved before the catalogue.
    EXPECT_EQ(TempDir::Read(Dir / "Snapglass/Snapglass_English.ini"), "x" + English);
}

// The road of a translation: edit Deutsch, save, add Français from Deutsch,
// save, delete Français, save; every file checked byte for byte.
TEST_F(TranslationTest, EditAddDeleteRoundTrip) {
    Frm->SetProgramName("Snapglass");
    SelectTranslation("Deutsch");
    Frm->BtnEdit->click();
    Type("; ");
    Frm->BtnSave->click();
    const std::string deutsch = "; " + Deutsch;
    EXPECT_EQ(TempDir::Read(Dir / "Snapglass/Snapglass_Deutsch.ini"), deutsch);
    const std::string pairs =
        "LanguageName=\"English\"\r\nLanguageFile=\"Snapglass_English.ini\"\r\n"
        "LanguageName=\"Deutsch\"\r\nLanguageFile=\"Snapglass_Deutsch.ini\"\r\n";
    EXPECT_EQ(TempDir::Read(Catalogue), "[SNAPGLASS_WORDLARK_GENERATED_FILE]\r\n" + pairs +
                                            "LanguageDefault=\"English\"\r\n");

    ModalAnswers answers;
    answers.Then(NameLanguage(QString::fromUtf8(Francais)));
    Frm->BtnAdd->click();
    Type("X");
    Frm->BtnSave->click();
    const std::string francaisFile =
        Dir / (std::string("Snapglass/Snapglass_") + Francais + ".ini");
    EXPECT_EQ(TempDir::Read(francaisFile), "X" + deutsch);
    EXPECT_EQ(TempDir::Read(Catalogue), "[SNAPGLASS_WORDLARK_GENERATED_FILE]\r\n" + pairs +
                                            "LanguageName=\"" + Francais +
                                            "\"\r\nLanguageFile=\"Snapglass_" + Francais +
                                            ".ini\"\r\nLanguageDefault=\"" + Francais + "\"\r\n");

    answers.Click("Yes");
    SelectTranslation(QString::fromUtf8(Francais));
    Frm->BtnDelete->click();
    Frm->BtnSave->click();
    EXPECT_FALSE(Frm->Modified);
    // The deleted default gives way to the one the catalogue had when opened.
    EXPECT_EQ(TempDir::Read(Catalogue), "[SNAPGLASS_WORDLARK_GENERATED_FILE]\r\n" + pairs +
                                            "LanguageDefault=\"English\"\r\n");
    // Deleting never removes the file, and the empty editor wrote nothing.
    EXPECT_EQ(TempDir::Read(francaisFile), "X" + deutsch);
    EXPECT_EQ(TempDir::Read(Dir / "Snapglass/Snapglass_Deutsch.ini"), deutsch);
    EXPECT_EQ(TempDir::Read(Dir / "Snapglass/Snapglass_English.ini"), English);
}

// Snapglass_Deutsch.ini is no UTF-8, so it shows as Windows-1252.
// A letter the file's code page lacks: where another code page holds it, the
// file may be shown as that one (declined here); where none does, it is
// refused with a message.
TEST_F(TranslationTest, CharactersTheFileCannotHoldAreRefusedWithAMessage) {
    SelectTranslation("Deutsch");
    Frm->BtnEdit->click();
    ModalAnswers answers;
    answers.Click("No").Click("No").Click("No").Click("No").Click("OK");
    Type(QString::fromUtf8("łść"));
    QApplication::clipboard()->setText(QString::fromUtf8("Ω"));
    Frm->PopPaste->trigger();
    Type(QString::fromUtf8("日"));
    ASSERT_EQ(answers.Seen().size(), 5u);
    EXPECT_TRUE(answers.Seen()[0].Text.startsWith(
        QString::fromUtf8("The character 'ł' (U+0142) cannot be stored in this file's encoding "
                          "(Windows-1252). Show the file as Windows-1250, which can hold it?")))
        << answers.Seen()[0].Text.toStdString();
    EXPECT_TRUE(answers.Seen()[2].Text.contains(QString::fromUtf8("'ć' (U+0107)")));
    EXPECT_TRUE(answers.Seen()[3].Text.contains(QString::fromUtf8("'Ω' (U+03A9)")));
    EXPECT_TRUE(answers.Seen()[3].Text.contains("Windows-1253"));
    EXPECT_EQ(answers.Seen()[4].Text, QString::fromUtf8("The character '日' (U+65E5) cannot be "
                                                        "stored in this file's encoding "
                                                        "(Windows-1252), so it was not inserted."));
    EXPECT_EQ(answers.Seen()[4].Title, "Warning");
    EXPECT_FALSE(Frm->Modified);

    // What the code page holds goes in and is saved as its bytes.
    Type(QString::fromUtf8("é€„"));
    Frm->BtnSave->click();
    EXPECT_EQ(answers.Seen().size(), 5u);
    EXPECT_EQ(TempDir::Read(Dir / "Snapglass/Snapglass_Deutsch.ini"), "\xE9\x80\x84" + Deutsch);
}

TEST_F(TranslationTest, ClipboardCommandsOfTheEditorMenu) {
    SelectTranslation("English");
    Frm->BtnEdit->click();
    Frm->PopSelectAll->trigger();
    Frm->PopCopy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), English);
    EXPECT_FALSE(Frm->Modified);
    Frm->PopCut->trigger();
    EXPECT_TRUE(Frm->MemTranslation->IsEmpty());
    EXPECT_TRUE(Frm->Modified);
    Frm->PopPaste->trigger();
    Frm->PopPaste->trigger();
    EXPECT_EQ(Frm->MemTranslation->Bytes(), English + English);
}

// A catalogue never names as default a language it does not list: a deleted
// default gives way to the default the catalogue had when opened, while that
// is listed, else to the first listed language.
TEST_F(TranslationTest, ADeletedLanguageIsNoLongerTheDefault) {
    const std::string cestina = "\xc4\x8c"
                                "e\xc5\xa1tina";
    SelectTranslation("English");
    ModalAnswers answers;
    answers.Then(NameLanguage(QString::fromStdString(cestina)));
    Frm->BtnAdd->click();
    EXPECT_EQ(Frm->CbbDefaultLanguage->currentText(), QString::fromStdString(cestina));
    answers.Click("Yes");
    SelectTranslation(QString::fromStdString(cestina));
    Frm->BtnDelete->click();
    EXPECT_EQ(Choices(Frm->CbbDefaultLanguage), QStringList({"English", "Deutsch"}));
    EXPECT_EQ(Frm->CbbDefaultLanguage->currentText(), "English");
    Frm->BtnSave->click();
    const std::string pairs =
        "LanguageName=\"English\"\r\nLanguageFile=\"Snapglass_English.ini\"\r\n"
        "LanguageName=\"Deutsch\"\r\nLanguageFile=\"Snapglass_Deutsch.ini\"\r\n";
    EXPECT_EQ(TempDir::Read(Catalogue),
              "[_WORDLARK_GENERATED_FILE]\r\n" + pairs + "LanguageDefault=\"English\"\r\n");

    // Opened with a default that is then deleted: the first listed language.
    Dir.Write("Snapglass/Snapglass_Dansk.ini", English);
    Dir.Write("Snapglass/Languages.ini", pairs +
                                             "LanguageName=\"Dansk\"\r\nLanguageFile=\"Snapglass_"
                                             "Dansk.ini\"\r\nLanguageDefault=\"Dansk\"\r\n");
    Frm->PopRefresh->trigger();
    EXPECT_EQ(Frm->CbbDefaultLanguage->currentText(), "Dansk");
    SelectTranslation("English");
    answers.Click("Yes").Click("Yes");
    Frm->BtnDelete->click();
    SelectTranslation("Dansk");
    Frm->BtnDelete->click();
    EXPECT_EQ(Choices(Frm->CbbDefaultLanguage), QStringList({"Deutsch"}));
    EXPECT_EQ(Frm->CbbDefaultLanguage->currentText(), "Deutsch");
    Frm->BtnSave->click();
    EXPECT_EQ(TempDir::Read(Catalogue),
              "[_WORDLARK_GENERATED_FILE]\r\n"
              "LanguageName=\"Deutsch\"\r\nLanguageFile=\"Snapglass_Deutsch.ini\"\r\n"
              "LanguageDefault=\"Deutsch\"\r\n");
}

// "Save translation as" writes the editor's text, as "Save" would write it,
// to a file of the user's choice; the translation's own file and the
// catalogue stay as they are, and the dialog starts where it was used last.
TEST_F(TranslationTest, SaveAsWritesTheEditorsTextToAnotherFile) {
    const std::string catalogue = TempDir::Read(Catalogue);
    EXPECT_FALSE(Frm->MenSaveAs->isEnabled()) << "nothing open";
    SelectTranslation("Deutsch");
    Frm->BtnEdit->click();
    EXPECT_TRUE(Frm->MenSaveAs->isEnabled());
    // Blanks typed at a line's end go on saving, as they do for "Save".
    Frm->MemTranslation->setCursorPosition(0, 0);
    Type("; ");
    const QString menFile = Frm->MemTranslation->text(3);
    ASSERT_TRUE(menFile.startsWith("FrmMain.MenFile=")) << menFile.toStdString();
    Frm->MemTranslation->setCursorPosition(3, static_cast<int>(menFile.trimmed().size()));
    Type("  ");
    fs::create_directories(Dir / "Elsewhere");
    ModalAnswers answers;
    QString title, start;
    answers.Then([&](QWidget* dialog) {
        title = dialog->windowTitle();
        start = static_cast<QFileDialog*>(dialog)->directory().absolutePath();
        ChooseFile(Dir / "Elsewhere/Mine.ini")(dialog);
    });
    Frm->SdTranslation()->setOption(QFileDialog::DontUseNativeDialog);
    Frm->MenSaveAs->trigger();
    ASSERT_EQ(answers.Pending(), 0u);
    EXPECT_EQ(title, "Save translation as…");
    EXPECT_EQ(start, PathToQt(Dir / "Snapglass"));
    const std::string expected = "; " + Deutsch;
    EXPECT_EQ(TempDir::Read(Dir / "Elsewhere/Mine.ini"), expected);
    EXPECT_EQ(TempDir::Read(Dir / "Snapglass/Snapglass_Deutsch.ini"), Deutsch);
    EXPECT_EQ(TempDir::Read(Catalogue), catalogue);
    EXPECT_TRUE(Frm->Modified);
    EXPECT_EQ(Frm->TranslationPath, Dir / "Snapglass/Snapglass_Deutsch.ini");
    EXPECT_TRUE(Frm->StatusText().startsWith("Saved the translation as " +
                                             PathToQt(Dir / "Elsewhere/Mine.ini") +
                                             " (the catalogue is unchanged); problems left: "))
        << Frm->StatusText().toStdString();

    // The same bytes as "Save" writes; the next time the dialog starts in the
    // folder chosen last.
    Frm->BtnSave->click();
    EXPECT_EQ(TempDir::Read(Dir / "Snapglass/Snapglass_Deutsch.ini"), expected);
    answers.Then([&](QWidget* dialog) {
        start = static_cast<QFileDialog*>(dialog)->directory().absolutePath();
        static_cast<QDialog*>(dialog)->reject();
    });
    Frm->MenSaveAs->trigger();
    EXPECT_EQ(start, PathToQt(Dir / "Elsewhere"));

    // A file that cannot be written is told, and changes nothing.
    platform::ReplaceFaultHook = [](const std::string& path) {
        return path.find("Refused.ini") != std::string::npos ? EACCES : 0;
    };
    answers.Then(ChooseFile(Dir / "Elsewhere/Refused.ini")).Click("OK");
    Frm->MenSaveAs->trigger();
    platform::ReplaceFaultHook = nullptr;
    ASSERT_EQ(answers.Pending(), 0u);
    EXPECT_TRUE(answers.Seen().back().Text.contains("Refused.ini"))
        << answers.Seen().back().Text.toStdString();
    EXPECT_EQ(Frm->StatusText(), "Saving failed!");
    EXPECT_FALSE(fs::exists(Dir / "Elsewhere/Refused.ini"));
    EXPECT_EQ(Frm->CataloguePath(), Catalogue);
}
