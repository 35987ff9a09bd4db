// "Export for translators…" and "Import translations…": a PO file edited
// elsewhere comes back into the editor with only the edited phrase changed,
// as unsaved edits of one undo step, and what cannot come back is listed.
#include "support/WordlarkFixture.h"

#include "editor/SynEditor.h"
#include "workbench/ExchangeMenu.h"

#include <QAction>
#include <QFileDialog>

namespace fs = std::filesystem;

using ExchangeMenuTest = WordlarkFixture;

TEST_F(ExchangeMenuTest, AnEditedPoFileComesBackAsOneUndoStep) {
    InstallProgramFiles();
    const std::string catalogue = InstallDemo();
    Start();
    Show();
    ASSERT_TRUE(Frm->LoadCatalogue(catalogue));
    Frm->SetCataloguePath(catalogue);
    Frm->OpenTranslation(Dir / "Snapglass/Snapglass_Deutsch.ini", "");
    auto* menu = Frm->findChild<TExchangeMenu*>();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->MenExport->isEnabled());
    menu->OpdExport()->setOption(QFileDialog::DontUseNativeDialog);
    menu->OpdImport()->setOption(QFileDialog::DontUseNativeDialog);
    fs::create_directories(Dir / "team");
    const std::string po = Dir / "team/Deutsch.po";
    {
        ModalAnswers answers;
        answers.Then(ChooseFile(po));
        menu->MenExport->trigger();
    }
    std::string text = TempDir::Read(po);
    const std::string entry = "msgctxt \"FrmMain.MenFile\"\nmsgid \"File\"\nmsgstr \"Datei\"\n";
    const std::size_t at = text.find(entry);
    ASSERT_NE(at, std::string::npos) << text;
    // Edited elsewhere: one phrase changed, and a key the translation lacks.
    text.replace(at, entry.size(),
                 "msgctxt \"FrmMain.MenFile\"\nmsgid \"File\"\nmsgstr \"Ablage\"\n");
    text += "\nmsgctxt \"FrmMain.Unknown\"\nmsgid \"New\"\nmsgstr \"Neu\"\n";
    Dir.Write("team/Deutsch.po", text);

    const std::string before = Frm->MemTranslation->Bytes();
    ASSERT_FALSE(Frm->Modified);
    ModalAnswers answers;
    answers.Then(ChooseFile(po)).Click("OK");
    menu->MenImport->trigger();
    std::string expected = before;
    const std::string old = "FrmMain.MenFile=\"Datei\"";
    expected.replace(expected.find(old), old.size(), "FrmMain.MenFile=\"Ablage\"");
    EXPECT_EQ(Frm->MemTranslation->Bytes(), expected);
    EXPECT_TRUE(Frm->Modified);
    // The file dialog, then the notes.
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_TRUE(answers.Seen()[1].Text.contains("FrmMain.Unknown"))
        << answers.Seen()[1].Text.toStdString();
    Frm->MemTranslation->undo();
    EXPECT_EQ(Frm->MemTranslation->Bytes(), before);
}
