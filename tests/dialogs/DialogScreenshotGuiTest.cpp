// The settings-file viewer and the about box as a user sees them. With
// WORDLARK_SCREENSHOT_DIR set, the pictures of docs/ and of the help pages are
// saved there too (run under Xvfb with QT_QPA_PLATFORM=xcb for real fonts):
// settings-viewer.png, about-box.png and main-window-francais.png.
#include "dialogs/FrmInfo.h"
#include "dialogs/FrmIniFile.h"
#include "editor/SynEditor.h"
#include "support/Screenshot.h"
#include "texts/TextsFixture.h"

#include <QAction>
#include <QPushButton>

namespace {

// A translated program's settings file as it might look.
const char* const SnapglassSettings = "[Window]\r\n"
                                      "Left=120\r\n"
                                      "Top=80\r\n"
                                      "Width=900\r\n"
                                      "Height=640\r\n"
                                      "Maximized=0\r\n"
                                      "\r\n"
                                      "[Options]\r\n"
                                      "Language=\"Deutsch\"\r\n"
                                      "RecentFolder=\"/home/anna/Bilder\"\r\n"
                                      "JpegQuality=90\r\n"
                                      "ShowToolbar=1\r\n";

using DialogScreenshotTest = TextsFixture;

void Keep(const QPixmap& picture, const char* name) {
    const QString folder = ScreenshotFolder();
    if (!folder.isEmpty()) {
        EXPECT_TRUE(picture.save(folder + "/" + name)) << name;
    }
}

// Pixels of the given colour.
int PixelsOf(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return count;
}

int DarkPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 96;
    return count;
}

// The viewer is a plain text box: no phrase marked, no line numbers, just the
// text in ink on white.
TEST_F(DialogScreenshotTest, TheViewerShowsTheSettingsAsPlainText) {
    InstallProgramFiles();
    InstallDemo();
    Start();
    Show();
    const std::string settings =
        Dir.Write("roaming/Brightmoor/Snapglass/Snapglass.ini", SnapglassSettings);
    Frm->OpenTranslation(Dir / "Snapglass/Snapglass_Deutsch.ini", settings);
    ModalAnswers answers;
    answers.Then([&](QWidget* dialog) {
        auto* viewer = qobject_cast<TFrmIniFile*>(dialog);
        ASSERT_NE(viewer, nullptr);
        QApplication::processEvents();
        const QImage text = viewer->MemIniFile->grab().toImage();
        EXPECT_EQ(PixelsOf(text, qRgb(255, 255, 157)), 0);
        EXPECT_EQ(viewer->MemIniFile->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0ul),
                  0);
        // The text is drawn (a few hundred dark pixels for twelve short lines).
        EXPECT_GT(DarkPixels(text), 500);
        Keep(WithCaption(viewer->grab(), viewer->windowTitle(), viewer->font()),
             "settings-viewer.png");
        viewer->BtnCancel->click();
    });
    Frm->BtnIniFile->click();
    EXPECT_EQ(answers.Seen().size(), 1u);
}

TEST_F(DialogScreenshotTest, TheAboutBoxAndTheFrenchWindow) {
    InstallProgramFiles();
    const std::string catalogue = InstallDemo();
    WriteSettings({{"WinPos", "20,20,697,604"}, {"LanguageName", "Français"}});
    Start();
    Show();
    ASSERT_TRUE(Frm->LoadCatalogue(catalogue));
    Frm->SetCataloguePath(catalogue);
    Frm->ProgramName = "Snapglass";
    SelectTranslation("Deutsch");
    Frm->BtnEdit->click();
    QApplication::processEvents();
    EXPECT_GT(PixelsOf(Frm->MemTranslation->grab().toImage(), qRgb(255, 255, 157)), 1000);
    Keep(WithCaption(Frm->grab(), Frm->windowTitle(), Frm->font()), "main-window-francais.png");

    ModalAnswers answers;
    answers.Then([&](QWidget* dialog) {
        QApplication::processEvents();
        EXPECT_EQ(dialog, Windows.FrmInfo);
        Keep(WithCaption(dialog->grab(), dialog->windowTitle(), dialog->font()), "about-box.png");
        ClickNamedButton(dialog, "BtnOK");
    });
    Frm->MenInfo->trigger();
    EXPECT_EQ(answers.Seen().size(), 1u);
}

} // namespace
