// What the user sees: the demo catalogue listed and a translation open with its
// phrases marked yellow. With WORDLARK_SCREENSHOT_DIR set, the pictures are
// also saved there (run under Xvfb with QT_QPA_PLATFORM=xcb for docs/).
#include "support/WordlarkFixture.h"

#include "editor/SynEditor.h"
#include "workbench/Workbench.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
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

namespace {
// The phrase of a line replaced as the user would type it over.
void SetPhrase(TSynEditor* editor, int line, const char* phrase) {
    const QString text = editor->text(line);
    const int open = static_cast<int>(text.indexOf('"'));
    const int close = static_cast<int>(text.lastIndexOf('"'));
    editor->setSelection(line, open + 1, line, close);
    editor->replaceSelectedText(QString::fromUtf8(phrase));
}
} // namespace

// A new language copied from English, a few phrases translated and one with a
// lost placeholder: the reference under the caret, the markers, the progress
// and the problems list, in English and, beside the whole reference, in German.
TEST_F(ScreenshotTest, TheWorkbenchInEnglishAndGerman) {
    InstallProgramFiles();
    const std::string catalogue = InstallDemo();
    Start();
    Show();
    Frm->resize(860, 720);
    ModalAnswers answers;
    answers.Then(ChooseFile(catalogue));
    Frm->BtnSelectInitFile->click();
    SelectTranslation("English");
    answers.Then([](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("EdtLanguageName")->setText("Polski");
        ClickNamedButton(dialog, "BtnOK");
    });
    Frm->BtnAdd->click();
    TSynEditor* editor = Frm->MemTranslation;
    SetPhrase(editor, 3, "Plik");
    SetPhrase(editor, 4, "Otwórz obraz...");
    SetPhrase(editor, 5, "Zapisz obraz");
    SetPhrase(editor, 26, "Gotowe");
    SetPhrase(editor, 27, "Rozmiar obrazu: %s pikseli");
    SetPhrase(editor, 28, "Zapisano jako %s");
    editor->setCursorPosition(27, 20);
    editor->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 14UL);
    QApplication::processEvents();
    EXPECT_EQ(Frm->Workbench()->CbbReference->currentText(), "English");
    EXPECT_EQ(Frm->Workbench()->MemReference->text(),
              "FrmMain.StatusSize=\"Picture size: %s x %s pixels\"");
    EXPECT_TRUE(Frm->Workbench()->LblProgress->text().startsWith("6 of "))
        << Frm->Workbench()->LblProgress->text().toStdString();
    EXPECT_EQ(Frm->Workbench()->ProblemRowCount(), 1);
    Keep(Frm, "workbench-english.png");

    Frm->SelectProgramLanguage("Deutsch");
    Frm->Workbench()->ChkSideBySide->click();
    QApplication::processEvents();
    EXPECT_TRUE(Frm->Workbench()->LblProgress->text().startsWith("6 von "))
        << Frm->Workbench()->LblProgress->text().toStdString();
    Keep(Frm, "workbench-german.png");
}
