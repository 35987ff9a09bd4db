// The viewer and the about box take the main window's font when shown, each by
// its own rule; bold stays bold and the viewer's text stays fixed-pitch.
#include "dialogs/FrmInfo.h"
#include "dialogs/FrmIniFile.h"
#include "editor/SynEditor.h"
#include "texts/FontMapping.h"
#include "texts/TextsFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using DialogFontsTest = TextsFixture;

TEST_F(DialogFontsTest, TheDialogsTakeTheMainWindowsFontByTheirOwnRules) {
    WriteSettings({{"FontDefName", "DejaVu Serif"},
                   {"FontDefHeight", "-20"},
                   {"FontDefPitch", "2"},
                   {"UseFontHeight", "1"}});
    InstallDemo();
    Start();
    Show();
    ASSERT_EQ(Frm->font().pixelSize(), 20);
    const std::string settings = Dir.Write("roaming/App/App.ini", "k=1\r\n");
    Frm->OpenTranslation(Dir / "Snapglass/Snapglass_English.ini", settings);

    ModalAnswers answers;
    answers.Then([&](QWidget* dialog) {
        auto* viewer = qobject_cast<TFrmIniFile*>(dialog);
        ASSERT_NE(viewer, nullptr);
        // Face, pitch and height of the main window; the text one point larger,
        // in its own fixed-pitch face.
        EXPECT_EQ(viewer->font().family(), "DejaVu Serif");
        EXPECT_EQ(viewer->font().pixelSize(), 20);
        EXPECT_EQ(FontPitch(viewer->font()), 2);
        const int size = FontSize(viewer->font(), viewer->logicalDpiY());
        EXPECT_EQ(viewer->MemIniFile->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, 0ul),
                  size + 1);
        char face[64] = {};
        viewer->MemIniFile->SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, 0ul, face);
        EXPECT_STREQ(face, "Courier New");
        viewer->BtnCancel->click();
    });
    Frm->BtnIniFile->click();

    answers.Then([&](QWidget* dialog) {
        auto* info = qobject_cast<TFrmInfo*>(dialog);
        ASSERT_NE(info, nullptr);
        // Face and pitch, not the size: the box keeps its designed size.
        EXPECT_EQ(info->font().family(), "DejaVu Serif");
        EXPECT_EQ(info->font().pixelSize(), 12);
        // The name in the main window's size, still bold.
        EXPECT_EQ(info->LblApplicationName->font().family(), "DejaVu Serif");
        EXPECT_EQ(info->LblApplicationName->font().pixelSize(), 20);
        EXPECT_TRUE(info->LblApplicationName->font().bold());
        for (QWidget* w :
             {static_cast<QWidget*>(info->LblComment), static_cast<QWidget*>(info->EdtMail)}) {
            EXPECT_EQ(w->font().family(), "DejaVu Serif") << w->objectName().toStdString();
            EXPECT_EQ(w->font().pixelSize(), 12) << w->objectName().toStdString();
        }
        for (QLineEdit* edit : {info->EdtWeb, info->EdtGreek, info->EdtFrench, info->EdtItalian,
                                info->EdtSwedish, info->EdtSlovenian, info->EdtRussian})
            EXPECT_EQ(edit->font(), info->EdtMail->font()) << edit->objectName().toStdString();
        info->BtnOK->click();
    });
    Frm->MenInfo->trigger();
    EXPECT_EQ(answers.Seen().size(), 2u);
}

} // namespace
