// The desktop's conventions in the main window: the platform's keys, an access
// letter for every menu and item in every shipped language, the unsaved
// marker in the title, the status line, the recent catalogues and the
// interface-language menu.
#include "texts/TextsFixture.h"

#include "editor/SynEditor.h"
#include "initfile/WorkbenchChoices.h"
#include "support/Screenshot.h"
#include "texts/AccessKeys.h"
#include "texts/ElidedLabel.h"
#include "wizard/FrmWizard.h"
#include "workbench/FindBar.h"
#include "workbench/Speller.h"
#include "workbench/Workbench.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

#include <functional>

namespace fs = std::filesystem;

namespace {

// ---- Access letters as text ------------------------------------------------------

TEST(AccessKeysTest, TheMnemonicMarksTheFirstLetterAndNothingElse) {
    const struct {
        const char* Caption;
        char16_t Letter;
        const char* Marked;
    } cases[] = {
        {"File", u'F', "&File"},
        {"Save translation", u't', "Save &translation"},
        {"Exit", u'X', "E&xit"}, // either case
        {"Tom & Jerry", u'J', "Tom && &Jerry"},
        {"Info", u'z', "Info"}, // not in the caption: no marker
        {"Help", 0, "Help"},
        {"Übersetzung", u'ü', "&Übersetzung"},
        {"?", u'?', "&?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithMnemonic(QString::fromUtf8(c.Caption), QChar(c.Letter)),
                  QString::fromUtf8(c.Marked))
            << c.Caption;

    const struct {
        const char* Caption;
        const char* Taken;
        char16_t Free;
    } free[] = {
        {"Deutsch", "", u'D'}, {"Deutsch", "dE", u'u'},  {"1 /p/Languages.ini", "", u'1'},
        {"- / -", "", 0},      {"Français", "FR", u'a'}, {"Español", "ESPAÑOL", 0},
    };
    for (const auto& c : free)
        EXPECT_EQ(FreeLetter(QString::fromUtf8(c.Caption), QString::fromUtf8(c.Taken)),
                  QChar(c.Free))
            << c.Caption << " without " << c.Taken;
}

// ---- The main window ------------------------------------------------------------------

QWidget* Popup() {
    return QApplication::activePopupWidget();
}

// A key typed into the open menu.
void TypeInMenu(char letter, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* menu = Popup();
    ASSERT_NE(menu, nullptr) << "no menu open for " << letter;
    QTest::keyClick(menu, letter, modifiers);
}

// Answers a dialog by closing it, noting its name.
ModalAnswers::Answer CloseNoting(QString& name) {
    return [&name](QWidget* dialog) {
        name = dialog->objectName();
        static_cast<QDialog*>(dialog)->reject();
    };
}

class DesktopTest : public TextsFixture {
protected:
    void StartIn(const char* language = "") {
        InstallProgramFiles();
        Catalogue = InstallDemo();
        WriteSettings({{"LanguageName", language}});
        Restart();
    }
    void Restart() {
        Start();
        Show();
        Activate();
    }
    void Browse(const std::string& catalogue) {
        ModalAnswers answers;
        answers.Then(ChooseFile(catalogue));
        Frm->BtnSelectInitFile->click();
        ASSERT_EQ(answers.Pending(), 0u);
        Activate();
    }
    // Keys reach the active window; a dialog that closed may have left none.
    void Activate() {
        Frm->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frm));
    }
    void EditTranslation(const char* name) {
        SelectTranslation(name);
        Frm->BtnEdit->click();
    }
    // The captions of the listed recent catalogues.
    QStringList RecentCaptions() const {
        QStringList captions;
        for (QAction* item : Frm->MenRecent->actions())
            if (item->isVisible())
                captions << item->text();
        return captions;
    }
    std::vector<ShellRequest> Requests() const { return CurrentFake()->ShellRequests; }

    std::string Catalogue;
};

TEST_F(DesktopTest, EveryMenuAndItemHasALetterOfItsOwnInEveryShippedLanguage) {
    StartIn();
    Browse(Catalogue); // one recent catalogue listed
    for (const char* language : {"English", "Deutsch", "Français"}) {
        Frm->SelectProgramLanguage(language);
        ASSERT_EQ(Frm->CurrentLanguageName(), language);
        // The wizard takes its captions when it is shown.
        Wizard()->Nationalize();
        // The menu bar, its menus and their submenus, and the pop-up menus.
        std::vector<std::pair<QString, QList<QAction*>>> menus = {
            {"MenMain", Frm->menuBar()->actions()}};
        std::function<void(QMenu*)> add = [&](QMenu* menu) {
            menus.emplace_back(menu->objectName(), menu->actions());
            for (QAction* item : menu->actions())
                if (item->menu())
                    add(item->menu());
        };
        for (QAction* title : Frm->menuBar()->actions())
            add(title->menu());
        for (QMenu* popup :
             {Frm->PopLanguages, Frm->PopInput, Wizard()->PopPrograms, Wizard()->PopLanguages})
            add(popup);
        int items = 0;
        for (const auto& [menu, actions] : menus) {
            QString taken;
            for (QAction* item : actions) {
                if (item->isSeparator() || !item->isVisible())
                    continue;
                ++items;
                const QChar letter = AccessLetter(item);
                const std::string where = std::string(language) + ", " + menu.toStdString() + ": " +
                                          item->text().toStdString() + " (" +
                                          QString(letter).toStdString() + ")";
                EXPECT_FALSE(letter.isNull()) << where;
                EXPECT_TRUE(item->text().contains(letter, Qt::CaseInsensitive)) << where;
                EXPECT_FALSE(taken.contains(letter, Qt::CaseInsensitive)) << where << " twice";
                taken += letter;
            }
        }
        // 4 menus; File 9, recent 1, Translation 19, View 6, checks 7,
        // languages 3, show as 7, ? 5; the list's pop-up 2, the editor's 9 (the
        // spelling's items show over a misspelled word only); the wizard's 2
        // and 1.
        EXPECT_EQ(items, 75) << language;
    }
}

TEST_F(DesktopTest, TheLettersAreUnderlinedWhereTheMenusAreDrawn) {
    StartIn("Deutsch");
    Frm->MenFile->popup(Frm->mapToGlobal(QPoint(0, 0)));
    QApplication::processEvents();
    const QImage bar = Frm->menuBar()->grab().toImage();
    const QImage menu = Frm->MenFile->grab().toImage();
    // The same captions drawn without their letters.
    for (QAction* item : Frm->menuBar()->actions() + Frm->MenFile->actions())
        SetAccessLetter(item, QChar());
    EXPECT_NE(Frm->menuBar()->grab().toImage(), bar);
    EXPECT_NE(Frm->MenFile->grab().toImage(), menu);
    Frm->MenFile->hide();
    EXPECT_EQ(Frm->MenFile->title(), Deutsch("FrmWordlark.MenFile"));
    EXPECT_EQ(Frm->MenSave->text(), Frm->BtnSave->text());
}

TEST_F(DesktopTest, AltLettersF10AndLettersInOpenMenusRunTheCommands) {
    StartIn();
    Browse(Catalogue);
    // Alt+V opens View with its first item active; F chooses Fullscreen.
    QTest::keyClick(Frm, Qt::Key_V, Qt::AltModifier);
    ASSERT_EQ(Popup(), Frm->MenView);
    EXPECT_EQ(Frm->MenView->activeAction(), Frm->MenFullscreen);
    TypeInMenu('f');
    EXPECT_EQ(Popup(), nullptr);
    EXPECT_FALSE(Frm->PnlTop->isVisibleTo(Frm));

    // F10 opens File; Alt+T there moves to Translation, where D deletes (and
    // asks which translation first).
    QTest::keyClick(Frm, Qt::Key_F10);
    ASSERT_EQ(Popup(), Frm->MenFile);
    TypeInMenu('t', Qt::AltModifier);
    ASSERT_EQ(Popup(), Frm->MenTranslation);
    ModalAnswers answers;
    answers.Click("OK");
    TypeInMenu('d');
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Text, "Please select a translation");
    Activate();

    // A submenu by its letter, then a recent catalogue by its number.
    Frm->LoadCatalogue("");
    QTest::keyClick(Frm, Qt::Key_F, Qt::AltModifier);
    TypeInMenu('r');
    ASSERT_EQ(Popup(), Frm->MenRecent);
    TypeInMenu('1');
    EXPECT_EQ(Frm->CataloguePath(), Catalogue);
    EXPECT_EQ(Frm->LisTranslations->topLevelItemCount(), 2);

    // The help menu by its "?", the about box by I.
    QString shown;
    answers.Then(CloseNoting(shown));
    QTest::keyClick(Frm, Qt::Key_Question, Qt::AltModifier);
    ASSERT_EQ(Popup(), Frm->MenHelp);
    TypeInMenu('i');
    EXPECT_EQ(shown, "FrmInfo");

    // A letter no item has does nothing; Escape closes the menu.
    Activate();
    QTest::keyClick(Frm, Qt::Key_T, Qt::AltModifier);
    TypeInMenu('q');
    EXPECT_EQ(Popup(), Frm->MenTranslation);
    if (Popup())
        QTest::keyClick(Popup(), Qt::Key_Escape);
}

TEST_F(DesktopTest, ThePlatformsKeysRunTheirCommandsWhereverTheFocusIs) {
    StartIn();
    Browse(Catalogue);
    EditTranslation("English");
    ModalAnswers answers;
    QString shown;
    const struct {
        const char* Command;
        QKeySequence Keys;
        bool Dialog;
        std::function<void()> Check;
    } cases[] = {
        {"open", QKeySequence::Open, true, [&] { EXPECT_EQ(shown, "OpdInitFile"); }},
        {"wizard", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W), true,
         [&] { EXPECT_EQ(shown, "FrmWizard"); }},
        {"save", QKeySequence::Save, false,
         [&] {
             EXPECT_TRUE(Frm->StatusText().startsWith("Saved ")) << Frm->StatusText().toStdString();
         }},
        {"help", QKeySequence::HelpContents, false,
         [&] {
             EXPECT_EQ(Requests(), (std::vector<ShellRequest>{
                                       {"document", Dir / "bin/Wordlark_English.html", {}}}));
         }},
        {"find", QKeySequence::Find, false,
         [&] {
             EXPECT_TRUE(Frm->Workbench()->PnlFind->isVisible());
             EXPECT_TRUE(Frm->Workbench()->PnlFind->EdtFind->hasFocus());
             Frm->Workbench()->PnlFind->BtnCloseFindClick();
         }},
        {"full screen", Frm->MenFullscreen->shortcut(), false,
         [&] {
             EXPECT_FALSE(Frm->PnlTop->isVisibleTo(Frm));
             QTest::keySequence(Frm, Frm->MenFullscreen->shortcut());
             EXPECT_TRUE(Frm->PnlTop->isVisibleTo(Frm));
         }},
    };
    for (QWidget* focus : {static_cast<QWidget*>(Frm->LisTranslations),
                           static_cast<QWidget*>(Frm->MemTranslation)}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.Command) + " in " + focus->objectName().toStdString());
            ASSERT_FALSE(c.Keys.isEmpty());
            Activate();
            focus->setFocus();
            shown.clear();
            Frm->ShowStatus(QString());
            CurrentFake()->ShellRequests.clear();
            if (c.Dialog)
                answers.Then(CloseNoting(shown));
            QTest::keySequence(focus, c.Keys);
            EXPECT_EQ(answers.Pending(), 0u);
            c.Check();
        }
    }
    // The keys are shown beside the menu items.
    EXPECT_EQ(Frm->MenSave->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(Frm->MenUsage->shortcut(), QKeySequence(QKeySequence::HelpContents));
    EXPECT_EQ(Frm->Workbench()->MenFind->shortcut(), QKeySequence(QKeySequence::Find));
    if (!QKeySequence(QKeySequence::FullScreen).isEmpty()) {
        EXPECT_EQ(Frm->MenFullscreen->shortcut(), QKeySequence(QKeySequence::FullScreen));
    }

    // Quit closes the window, as Exit does (a platform may have no such key).
    const QKeySequence quit(QKeySequence::Quit);
    if (!quit.isEmpty()) {
        Frm->Modified = false;
        QTest::keySequence(Frm, quit);
        EXPECT_FALSE(Frm->isVisible());
    }
}

TEST_F(DesktopTest, UndoAndRedoInTheEditorByEveryKeyAndByThePopUpMenu) {
    StartIn();
    Browse(Catalogue);
    EditTranslation("English");
    TSynEditor* editor = Frm->MemTranslation;
    const std::string english = editor->Bytes();
    editor->setFocus();
    QTest::keyClicks(editor, "x");
    ASSERT_EQ(editor->Bytes(), "x" + english);
    const QKeySequence undo(QKeySequence::Undo);
    for (const QKeySequence& keys : QKeySequence::keyBindings(QKeySequence::Undo)) {
        QTest::keySequence(editor, keys);
        EXPECT_EQ(editor->Bytes(), english) << keys.toString().toStdString();
        QTest::keyClicks(editor, "x");
    }
    // The platform's keys, and those the help page names on every platform.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    redoKeys << QKeySequence(Qt::CTRL | Qt::Key_Y)
             << QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    for (const QKeySequence& keys : redoKeys) {
        QTest::keySequence(editor, undo);
        ASSERT_EQ(editor->Bytes(), english);
        QTest::keySequence(editor, keys);
        EXPECT_EQ(editor->Bytes(), "x" + english) << keys.toString().toStdString();
    }

    // The pop-up offers what can be done, by its letters.
    const struct {
        char Letter;
        std::string Bytes;
        bool UndoOffered, RedoOffered;
    } steps[] = {{'u', english, true, false}, {'r', "x" + english, false, true}};
    for (const auto& s : steps) {
        Frm->PopInput->popup(editor->mapToGlobal(QPoint(10, 10)));
        ASSERT_EQ(Popup(), Frm->PopInput);
        EXPECT_EQ(Frm->PopUndo->isEnabled(), s.UndoOffered) << s.Letter;
        EXPECT_EQ(Frm->PopRedo->isEnabled(), s.RedoOffered) << s.Letter;
        TypeInMenu(s.Letter);
        EXPECT_EQ(editor->Bytes(), s.Bytes) << s.Letter;
    }
    EXPECT_EQ(Frm->PopUndo->text(), "Undo");
    EXPECT_EQ(Frm->PopRedo->text(), "Redo");
}

// Browse asks the discard question before anything else when it asks it at
// all; `asked` tells whether it did.
void BrowseAndCancel(TFrmWordlark* frm, bool& asked) {
    ModalAnswers answers;
    QString first;
    answers.Then([&](QWidget* dialog) {
        first = dialog->objectName();
        static_cast<QDialog*>(dialog)->reject();
    });
    frm->BtnSelectInitFile->click();
    EXPECT_EQ(answers.Pending(), 0u);
    asked = first == "MsgBox";
}

TEST_F(DesktopTest, TheTitleMarksUnsavedChangesExactlyWhenTheDiscardQuestionWouldCome) {
    StartIn();
    Browse(Catalogue);
    const QString folder = PathToQt(Dir / "Snapglass/");
    ModalAnswers answers;
    auto nameLanguage = [](const QString& name) {
        return [name](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("EdtLanguageName")->setText(name);
            ClickNamedButton(dialog, "BtnOK");
        };
    };
    // Without a Danish dictionary, the status line says so after its word.
    const QString added =
        QString("Added Dansk as a copy of Snapglass_Deutsch.ini (not saved yet)") +
        (TSpeller().HasDictionary("da_DK") ? ""
                                           : " — There is no spelling dictionary for Dansk; "
                                             "choose one under View › Spelling language");
    const struct {
        const char* Name;
        std::function<void()> Run;
        bool Marked;
        QString Status;
    } steps[] = {
        {"browse", [] {}, false, "Opened " + PathToQt(Catalogue)},
        {"edit", [&] { EditTranslation("English"); }, false, "Opened Snapglass_English.ini"},
        {"type", [&] { QTest::keyClicks(Frm->MemTranslation, "x"); }, true,
         "Opened Snapglass_English.ini"},
        // The "x" typed before the first line's ";" leaves a line that is no
        // comment any more.
        {"save", [&] { QTest::keySequence(Frm, QKeySequence::Save); }, false,
         "Saved Snapglass_English.ini and Languages.ini in " + folder + "; problems left: 1"},
        {"add",
         [&] {
             SelectTranslation("Deutsch");
             answers.Then(nameLanguage("Dansk"));
             Frm->BtnAdd->click();
             QApplication::processEvents(); // what the workbench adds to the status line
         },
         false, added},
        {"type in the new one", [&] { QTest::keyClicks(Frm->MemTranslation, "y"); }, true, added},
        {"delete",
         [&] {
             SelectTranslation("English");
             answers.Click("Yes").Click("Yes");
             Frm->BtnDelete->click();
         },
         true, "Removed English from the list (not saved yet)"},
        {"save the catalogue alone", [&] { Frm->MenSave->trigger(); }, false,
         "Saved Languages.ini in " + folder},
        {"save in German",
         [&] {
             Frm->SelectProgramLanguage("Deutsch");
             Frm->BtnSave->click();
         },
         false, Deutsch("FrmWordlark.m_aStatusSavedCatalogue").arg("Languages.ini", folder)},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.Name);
        Activate();
        s.Run();
        ASSERT_EQ(answers.Pending(), 0u);
        EXPECT_EQ(Frm->windowTitle().startsWith('*'), s.Marked) << Frm->windowTitle().toStdString();
        EXPECT_EQ(Frm->StatusText(), s.Status);
        EXPECT_EQ(Frm->StbStatus->currentMessage(), s.Status);
        bool asked = false;
        BrowseAndCancel(Frm, asked);
        EXPECT_EQ(asked, s.Marked);
    }
    // Moving over the items of a menu leaves the status line as it is.
    const QString status = Frm->StatusText();
    Activate();
    QTest::keyClick(Frm, Qt::Key_F10);
    ASSERT_EQ(Popup(), Frm->MenFile);
    QTest::keyClick(Popup(), Qt::Key_Down);
    EXPECT_EQ(Frm->StbStatus->currentMessage(), status);
    QTest::keyClick(Popup(), Qt::Key_Escape);
    EXPECT_EQ(Frm->StbStatus->currentMessage(), status);
    EXPECT_EQ(Frm->StbStatus->objectName(), "StbStatus");
}

// Choices of different kinds share one file: making one keeps the others.
TEST_F(DesktopTest, AReferenceChosenAfterBrowsingKeepsTheRecentCatalogue) {
    StartIn();
    Browse(Catalogue);
    EditTranslation("Deutsch");
    ASSERT_EQ(Frm->Workbench()->CbbReference->currentText(), "English");
    emit Frm->Workbench()->CbbReference->activated(Frm->Workbench()->CbbReference->currentIndex());
    ASSERT_TRUE(Frm->close());

    Restart();
    EXPECT_EQ(RecentCaptions(), QStringList({"1 " + PathToQt(Catalogue)}));
    TWorkbenchChoices choices;
    choices.Load(Frm->DataFolder() + TWorkbenchChoices::FileName);
    EXPECT_EQ(choices.ReferenceLanguage(Catalogue), "English");
}

TEST_F(DesktopTest, RecentCataloguesSurviveARestartAndTheFileDialogStartsWhereItWasLastUsed) {
    StartIn();
    const std::string other = InstallDemo("Other");
    const std::string gone = InstallDemo("Gone");
    for (const std::string& path : {gone, Catalogue, other})
        Browse(path);
    ASSERT_TRUE(Frm->close());
    fs::remove_all(Dir / "Gone");
    // Opened by the wizard for its program, the catalogue heads the list.
    TWorkbenchChoices().Update(
        Dir / "local/Brightmoor/Wordlark/Workbench.txt",
        [&](TWorkbenchChoices& choices) { choices.AddRecentCatalogue(Catalogue, "Snapglass"); });

    Restart();
    EXPECT_EQ(RecentCaptions(), QStringList({"1 " + PathToQt(Catalogue) + " [Snapglass]",
                                             "2 " + PathToQt(other), "3 " + PathToQt(gone)}));
    QString start;
    ModalAnswers answers;
    answers.Then([&](QWidget* dialog) {
        start = static_cast<QFileDialog*>(dialog)->directory().absolutePath();
        static_cast<QDialog*>(dialog)->reject();
    });
    Frm->BtnSelectInitFile->click();
    EXPECT_EQ(start, PathToQt(Dir / "Other"));

    // An item opens its catalogue as Browse does, for the program it was
    // opened for.
    Frm->MenRecent->actions()[0]->trigger();
    EXPECT_EQ(Frm->CataloguePath(), Catalogue);
    EXPECT_EQ(Frm->ProgramName, "Snapglass");
    EXPECT_EQ(Frm->StatusText(), "Opened " + PathToQt(Catalogue));
    EditTranslation("Deutsch");
    EXPECT_EQ(Frm->windowTitle(), "Brightmoor Wordlark - Snapglass_Deutsch.ini [Snapglass]");

    // Unsaved edits are asked about first; a catalogue that is gone is
    // reported and leaves the list.
    Frm->Modified = true;
    answers.Click("Cancel");
    Frm->MenRecent->actions()[2]->trigger();
    EXPECT_EQ(Frm->CataloguePath(), Catalogue);
    answers.Click("Yes").Click("OK");
    Frm->MenRecent->actions()[2]->trigger();
    ASSERT_EQ(answers.Seen().size(), 4u);
    EXPECT_EQ(answers.Seen()[1].Text, "You made changes! Sure to discard them?");
    EXPECT_EQ(answers.Seen()[3].Text,
              "'" + PathToQt(gone) + "' seems to be no vaild translation file. Choose another!");
    EXPECT_EQ(RecentCaptions(),
              QStringList({"1 " + PathToQt(Catalogue) + " [Snapglass]", "2 " + PathToQt(other)}));
    EXPECT_TRUE(Frm->ProgramName.empty());
}

TEST_F(DesktopTest, TheLanguageMenuRelabelsEveryWindowAndIsKeptForTheNextStart) {
    StartIn();
    Browse(Catalogue);
    EditTranslation("Deutsch");
    QStringList listed;
    for (QAction* item : Frm->MenLanguage->actions())
        listed << item->text() + (item->isChecked() ? "*" : "");
    EXPECT_EQ(listed, QStringList({"English*", "Deutsch", QString::fromUtf8("Français")}));

    // Alt+V, L for the submenu, D for Deutsch.
    QTest::keyClick(Frm, Qt::Key_V, Qt::AltModifier);
    TypeInMenu('l');
    ASSERT_EQ(Popup(), Frm->MenLanguage);
    TypeInMenu('d');
    EXPECT_EQ(Frm->CurrentLanguageName(), "Deutsch");
    EXPECT_EQ(Frm->BtnSave->text(), Deutsch("FrmWordlark.BtnSave"));
    EXPECT_EQ(Frm->MenSave->text(), Frm->BtnSave->text());
    EXPECT_EQ(Frm->MenLanguage->title(), Deutsch("FrmWordlark.MenLanguage"));
    EXPECT_TRUE(Frm->MenLanguage->actions()[1]->isChecked());
    EXPECT_FALSE(Frm->MenLanguage->actions()[0]->isChecked());

    // Every dialog speaks it at its next show.
    Frm->SettingsFilePath = Dir.Write("Snapglass.ini", "[Options]\r\n");
    const struct {
        const char* Dialog;
        std::function<void()> Show;
        std::function<QString(QWidget*)> Read;
        QString Expected;
    } dialogs[] = {
        {"FrmWizard", [&] { Frm->BtnWizard->click(); }, [](QWidget* d) { return d->windowTitle(); },
         Deutsch("FrmWiz.Caption")},
        {"FrmAddLanguage", [&] { Frm->BtnAdd->click(); },
         [](QWidget* d) { return d->windowTitle(); }, Deutsch("FrmAddLang.Caption")},
        {"FrmIniFile", [&] { Frm->BtnIniFileClick(); },
         [](QWidget* d) { return d->findChild<QPushButton*>("BtnSave")->text(); },
         Deutsch("FrmIniFile.BtnSave")},
        {"FrmSend", [&] { Frm->BtnSend->click(); }, [](QWidget* d) { return d->windowTitle(); },
         Deutsch("FrmSend.Caption")},
        {"MsgBox",
         [&] {
             Frm->LisTranslations->clearSelection();
             Frm->BtnEdit->click();
         },
         [](QWidget* d) { return qobject_cast<QMessageBox*>(d)->text(); },
         Deutsch("FrmWordlark.m_aMSelectTrans")},
    };
    for (const auto& d : dialogs) {
        QString name, text;
        ModalAnswers answers;
        answers.Then([&](QWidget* dialog) {
            name = dialog->objectName();
            text = d.Read(dialog);
            static_cast<QDialog*>(dialog)->reject();
        });
        d.Show();
        EXPECT_EQ(name, d.Dialog);
        EXPECT_EQ(text, d.Expected) << d.Dialog;
    }

    // Chosen in the menu, the language is kept.
    Frm->Modified = false;
    ASSERT_TRUE(Frm->close());
    EXPECT_EQ(Setting(ReadSettings(), "LanguageName"), "Deutsch");
    Restart();
    EXPECT_EQ(Frm->CurrentLanguageName(), "Deutsch");
    EXPECT_EQ(Frm->MenFile->title(), Deutsch("FrmWordlark.MenFile"));
    EXPECT_TRUE(Frm->MenLanguage->actions()[1]->isChecked());
}

// The status line and the rows around the editor take their room from the
// editor area alone: from the smallest window up, the areas above and below
// keep their places, and the editor keeps enough room to work as it should
// (blanks typed at a line's end go when the caret leaves it). The rows above
// the editor show where the area holds them.
TEST_F(DesktopTest, FromTheSmallestWindowUpTheAreasKeepTheirPlacesAndTheEditorWorks) {
    StartIn();
    Browse(Catalogue);
    Frm->ShowStatus("status");
    const struct {
        QSize Size;
        bool Rows;
    } cases[] = {{{650, 450}, false}, {{697, 604}, true}, {{1000, 800}, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Size.height());
        Frm->Modified = false;
        EditTranslation("English");
        Frm->resize(c.Size);
        QApplication::processEvents();
        const QWidget* editorArea = Frm->findChild<QWidget*>("PnlEditor");
        ASSERT_NE(editorArea, nullptr);
        const int height = Frm->centralWidget()->height();
        const struct {
            const QWidget* Area;
            int Top, Height;
        } areas[] = {
            {Frm->PnlTop, 0, 248},
            {Frm->PnlTranslations, 248, 41},
            {editorArea, 289, height - 289 - 53},
            {Frm->PnlBottom, height - 53, 53},
        };
        for (const auto& a : areas) {
            EXPECT_EQ(a.Area->y(), a.Top) << a.Area->objectName().toStdString();
            EXPECT_EQ(a.Area->height(), a.Height) << a.Area->objectName().toStdString();
        }
        EXPECT_TRUE(Frm->StbStatus->isVisible());
        EXPECT_EQ(Frm->Workbench()->PnlWorkbench->isVisible(), c.Rows);
        EXPECT_EQ(Frm->Workbench()->MemReference->isVisible(), c.Rows);

        TSynEditor* editor = Frm->MemTranslation;
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClicks(editor, "x  ");
        QTest::keyClick(editor, Qt::Key_Down);
        // The editor trims once it has drawn the caret on its new line.
        const auto firstLine = [editor] {
            const std::string bytes = editor->Bytes();
            return bytes.substr(0, bytes.find('\r'));
        };
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return firstLine() == "; Snapglass interface texts: Englishx"; }, 2000))
            << firstLine();
    }
}

// At the size of a first start (650×450) the rows above the editor give way to
// it, but the progress and the problem count stay in view in the status line's
// permanent area, and the label of step 5 is never cut off unseen: where it
// does not fit it is shortened with "…" and shows whole as its tooltip. With
// WORDLARK_SCREENSHOT_DIR set, the window is kept there in each language.
TEST_F(DesktopTest, AtTheFirstStartSizeProgressProblemsAndStepFiveStayInView) {
    StartIn();
    Browse(Catalogue);
    EditTranslation("Deutsch");
    Frm->resize(650, 450);
    const struct {
        const char* Language;
        const char* Send;
        const char* Progress;
    } cases[] = {
        {"English", "5. Optional (send the translation to brightmoor.example)",
         " phrases translated"},
        {"Deutsch", "5. Optional (an brightmoor.example senden)", " Phrasen übersetzt"},
        {"Français", "5. Facultatif (envoi à brightmoor.example)", " phrases traduites"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Language);
        Frm->SelectProgramLanguage(c.Language);
        QApplication::processEvents();
        const QPixmap shot = Frm->grab(); // draws every part as the user sees it
        EXPECT_EQ(Frm->size(), QSize(650, 450));
        EXPECT_FALSE(Frm->Workbench()->PnlWorkbench->isVisible()) << "the editor has the room";
        for (QLabel* label : {Frm->Workbench()->LblProgress, Frm->Workbench()->LblProblems}) {
            SCOPED_TRACE(label->objectName().toStdString());
            EXPECT_TRUE(label->isVisible());
            EXPECT_EQ(label->parentWidget(), Frm->StbStatus);
            // Whole, within the window.
            const QRect place(label->mapTo(Frm, QPoint(0, 0)), label->size());
            EXPECT_TRUE(Frm->rect().contains(place)) << place.x() << "," << place.y();
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        }
        EXPECT_TRUE(Frm->Workbench()->LblProgress->text().contains(QString::fromUtf8(c.Progress)))
            << Frm->Workbench()->LblProgress->text().toStdString();
        EXPECT_FALSE(Frm->Workbench()->LblProblems->text().isEmpty());

        auto* send = dynamic_cast<TElidedLabel*>(Frm->LblSend);
        ASSERT_NE(send, nullptr);
        EXPECT_EQ(send->text(), QString::fromUtf8(c.Send));
        EXPECT_LE(send->x() + send->width(), Frm->PnlBottom->width());
        if (send->IsElided()) {
            EXPECT_TRUE(send->ShownText().endsWith(QString::fromUtf8("…")));
            EXPECT_EQ(send->toolTip(), send->text());
        } else {
            EXPECT_EQ(send->ShownText(), send->text());
            EXPECT_EQ(send->toolTip(), "");
        }
        const QString folder = ScreenshotFolder();
        if (!folder.isEmpty()) {
            EXPECT_TRUE(WithCaption(shot, Frm->windowTitle(), Frm->font())
                            .save(folder + "/first-start-" + QString(c.Language).left(2).toLower() +
                                  ".png"));
        }
    }
    // Wide enough, the label shows whole and needs no tooltip.
    Frm->resize(1000, 700);
    QApplication::processEvents();
    Frm->grab();
    auto* send = static_cast<TElidedLabel*>(Frm->LblSend);
    EXPECT_FALSE(send->IsElided());
    EXPECT_EQ(send->toolTip(), "");
}

// The menus with their letters and keys, as pictures for docs/ when
// WORDLARK_SCREENSHOT_DIR is set: the menu bar above, each menu below under
// its title.
TEST_F(DesktopTest, MenusAsTheUserSeesThem) {
    for (const char* language : {"English", "Deutsch"}) {
        SCOPED_TRACE(language);
        StartIn(language);
        Browse(Catalogue);
        EditTranslation("English");
        QTest::keyClicks(Frm->MemTranslation, "x");
        const QPixmap bar = Frm->menuBar()->grab();
        std::vector<std::pair<QString, QPixmap>> menus;
        const std::pair<QMenu*, QString> shown[] = {
            {Frm->MenFile, Frm->MenFile->title()},
            {Frm->MenRecent, Frm->MenFile->title() + " > " + Frm->MenRecent->title()},
            {Frm->MenTranslation, Frm->MenTranslation->title()},
            {Frm->MenView, Frm->MenView->title()},
            {Frm->MenLanguage, Frm->MenView->title() + " > " + Frm->MenLanguage->title()},
            {Frm->MenHelp, Frm->MenHelp->title()},
            {Frm->PopInput, Frm->PopInput->objectName()},
        };
        for (const auto& [menu, title] : shown) {
            menu->popup(Frm->mapToGlobal(QPoint(0, 0)));
            QApplication::processEvents();
            menus.emplace_back(title, menu->grab());
            menu->hide();
        }
        const int gap = 12;
        const QFont font = Frm->menuBar()->font();
        const int line = QFontMetrics(font).height() + 4;
        int width = gap, height = 0;
        for (const auto& [title, picture] : menus) {
            width += std::max(picture.width(), QFontMetrics(font).horizontalAdvance(title)) + gap;
            height = std::max(height, picture.height());
        }
        QPixmap shot(std::max(width, bar.width() + 2 * gap),
                     bar.height() + line + height + 3 * gap);
        shot.fill(QColor(236, 236, 236));
        {
            QPainter painter(&shot);
            painter.setFont(font);
            painter.drawPixmap(gap, gap, bar);
            int x = gap;
            const int top = bar.height() + 2 * gap;
            for (const auto& [title, picture] : menus) {
                const int w =
                    std::max(picture.width(), QFontMetrics(font).horizontalAdvance(title));
                painter.drawText(QRect(x, top, w, line), Qt::AlignLeft, title);
                painter.drawPixmap(x, top + line, picture);
                x += w + gap;
            }
        }
        EXPECT_EQ(menus.size(), 7u);
        const QString folder = ScreenshotFolder();
        if (!folder.isEmpty()) {
            const QString name = QString("menus-%1.png").arg(QString(language).toLower());
            EXPECT_TRUE(shot.save(folder + "/" + name));
        }
        Frm->Modified = false;
    }
}

} // namespace
