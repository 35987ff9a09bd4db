// What the user sees: the demo catalogue listed and a translation open with its
// phrases marked yellow. With WORDLARK_SCREENSHOT_DIR set, the pictures are
// also saved there (run under Xvfb with QT_QPA_PLATFORM=xcb for docs/).
#include "support/WordlarkFixture.h"

#include "editor/SynEditor.h"

#include <QImage>
#include <QPushButton>
#include <QTreeWidget>

namespace {
// Pixels of the phrase marking: light yellow behind the quoted values.
int YellowPixels(const QImage& image) {
    const QRgb yellow = qRgb(255, 255, 157);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (yellow & 0xFFFFFF))
                ++count;
    return count;
}

void Keep(QWidget* widget, const char* name) {
    const QByteArray dir = qgetenv("WORDLARK_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        widget->grab().save(QString::fromLocal8Bit(dir) + "/" + name);
}
} // namespace

using ScreenshotTest = WordlarkFixture;

TEST_F(ScreenshotTest, OpenTranslationShowsItsPhrasesMarkedYellow) {
    InstallProgramFiles();
    const std::string catalogue = InstallDemo();
    Start();
    Show();
    // The window as designed, rather than the minimum size of a first start.
    Frm->resize(697, 604);
    ModalAnswers answers;
    answers.Then(ChooseFile(catalogue));
    Frm->BtnSelectInitFile->click();
    SelectTranslation("Deutsch");
    QApplication::processEvents();
    // Nothing open yet: no phrase is marked.
    EXPECT_EQ(YellowPixels(Frm->MemTranslation->grab().toImage()), 0);
    Keep(Frm, "main-window.png");

    Frm->BtnEdit->click();
    QApplication::processEvents();
    const QImage editor = Frm->MemTranslation->grab().toImage();
    // Every visible line holds a quoted phrase, so the marking covers a good
    // share of the editor.
    EXPECT_GT(YellowPixels(editor), editor.width() * editor.height() / 50);
    Keep(Frm, "translation-highlighted.png");
}
