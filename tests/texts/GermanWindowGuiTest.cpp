// The main window in the shipped translations at its design size: every label
// and button shows its whole text. With WORDLARK_SCREENSHOT_DIR set, the German
// window, its menus and the discard question are also saved there as PNG files
// (docs/main-window-deutsch.png and docs/discard-deutsch.png come from here).
#include "TextsFixture.h"
#include "support/Screenshot.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace {

class ShippedWindowTest : public TextsFixture {
protected:
    void StartIn(const char* language) {
        InstallProgramFiles();
        const std::string catalogue = InstallDemo();
        WriteSettings({{"WinPos", "20,20,697,604"}, {"LanguageName", language}});
        Start();
        Show();
        ASSERT_EQ(Frm->CurrentLanguageName(), language);
        ASSERT_TRUE(Frm->LoadCatalogue(catalogue));
        Frm->SetCataloguePath(catalogue);
        Frm->ProgramName = "Snapglass";
        SelectTranslation("English");
        Frm->BtnEdit->click();
        QApplication::processEvents();
    }

    // Names of the controls whose text does not fit.
    std::vector<std::string> Clipped() const {
        std::vector<std::string> clipped;
        for (QLabel* l : Frm->findChildren<QLabel*>()) {
            if (!l->isVisible() || !l->objectName().startsWith("Lbl"))
                continue;
            const bool fits = l->wordWrap() ? l->heightForWidth(l->width()) <= l->height()
                                            : l->sizeHint().width() <= l->width();
            if (!fits)
                clipped.push_back(l->objectName().toStdString());
        }
        for (QPushButton* b : Frm->findChildren<QPushButton*>()) {
            if (!b->isVisible() || b->window() != Frm)
                continue;
            // Room for the text within the button's frame.
            if (b->fontMetrics().horizontalAdvance(b->text()) + 8 > b->width())
                clipped.push_back(b->objectName().toStdString());
        }
        return clipped;
    }
};

TEST_F(ShippedWindowTest, EveryTranslatedTextFitsItsControl) {
    for (const char* language : {"Deutsch", "Français"}) {
        StartIn(language);
        EXPECT_EQ(Clipped(), std::vector<std::string>()) << language;
    }
}

// A menu as it pops up, grabbed.
QPixmap GrabMenu(QMenu* menu, const QPoint& at) {
    menu->popup(at);
    QApplication::processEvents();
    QPixmap pixmap = menu->grab();
    menu->hide();
    return pixmap;
}

TEST_F(ShippedWindowTest, GermanWindowMenusAndDiscardQuestion) {
    StartIn("Deutsch");
    EXPECT_EQ(Frm->MenFile->title(), Deutsch("FrmWordlark.MenFile"));
    EXPECT_EQ(Frm->MenTranslation->title(), Deutsch("FrmWordlark.MenTranslation"));
    EXPECT_EQ(Frm->MenView->title(), Deutsch("FrmWordlark.MenView"));
    EXPECT_EQ(Frm->BtnSave->text(), Deutsch("FrmWordlark.BtnSave"));
    const QString folder = qEnvironmentVariable("WORDLARK_SCREENSHOT_DIR");

    // The window, and beside it every menu of its menu bar under its title.
    const QPixmap window = WithCaption(Frm->grab(), Frm->windowTitle(), Frm->font());
    const int gap = 16;
    const QFont font = Frm->menuBar()->font();
    const int line = QFontMetrics(font).height() + 4;
    std::vector<std::pair<QString, QPixmap>> menus;
    int columnWidth = 0;
    int columnHeight = gap;
    for (QMenu* menu : {Frm->MenFile, Frm->MenTranslation, Frm->MenView, Frm->MenHelp}) {
        menus.emplace_back(menu->title(), GrabMenu(menu, Frm->mapToGlobal(QPoint(0, 0))));
        columnWidth = std::max(columnWidth, menus.back().second.width());
        columnHeight += line + menus.back().second.height() + gap;
    }
    QPixmap shot(window.width() + columnWidth + 2 * gap, std::max(window.height(), columnHeight));
    shot.fill(QColor(236, 236, 236));
    {
        QPainter painter(&shot);
        painter.drawPixmap(0, 0, window);
        painter.setFont(font);
        int y = gap;
        for (const auto& [title, menu] : menus) {
            painter.drawText(QRect(window.width() + gap, y, columnWidth, line), Qt::AlignLeft,
                             title);
            y += line;
            painter.drawPixmap(window.width() + gap, y, menu);
            y += menu.height() + gap;
        }
    }
    EXPECT_EQ(menus.size(), 4u);
    if (!folder.isEmpty()) {
        EXPECT_TRUE(shot.save(folder + "/main-window-deutsch.png"));
    }

    Frm->Modified = true;
    ModalAnswers answers;
    answers.Then([&](QWidget* dialog) {
        if (!folder.isEmpty()) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(box, nullptr);
            box->adjustSize();
            EXPECT_TRUE(WithCaption(box->grab(), box->windowTitle(), box->font())
                            .save(folder + "/discard-deutsch.png"));
        }
        ClickNamedButton(dialog, "Cancel");
    });
    EXPECT_FALSE(Frm->close());
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Text, Deutsch("FrmWordlark.m_aMDiscard"));
    EXPECT_EQ(answers.Seen()[0].Title, Deutsch("FrmWordlark.m_aMWarning"));
}

} // namespace
