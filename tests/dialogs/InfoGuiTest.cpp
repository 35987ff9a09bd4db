// The about box: its controls, its version line and texts, the program's own
// icon, and the addresses a double click hands to the shell.
#include "dialogs/FrmInfo.h"
#include "texts/Guarded.h"
#include "texts/TextsFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <functional>

namespace {

using InfoTest = TextsFixture;

// Shows the about box from the menu and runs `inside` while it is shown.
void ShowInfo(TFrmWordlark* frm, ModalAnswers& answers, std::function<void(TFrmInfo*)> inside) {
    answers.Then([inside](QWidget* dialog) {
        auto* info = qobject_cast<TFrmInfo*>(dialog);
        ASSERT_NE(info, nullptr);
        inside(info);
        info->BtnOK->click();
    });
    frm->MenInfo->trigger();
}

// Pixels that are not transparent: something was drawn.
int DrawnPixels(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 0;
    return drawn;
}

TEST_F(InfoTest, TheVersionLineAndTheButtonAreSetWhenShown) {
    InstallProgramFiles();
    WriteSettings({{"LanguageName", "Deutsch"}});
    Start();
    Show();
    TFrmInfo* info = Windows.FrmInfo;
    // Whatever the form holds, the version line is set when it is shown.
    info->LblVersion->setText("Version 0.1");
    ModalAnswers answers;
    ShowInfo(Frm, answers, [&](TFrmInfo* shown) {
        EXPECT_EQ(shown->LblVersion->text(), "Version 1.700 (01.09.2016)");
        EXPECT_EQ(shown->BtnOK->text(), Deutsch("FrmInfo.BtnOK"));
    });
    EXPECT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Title, "Info");
}

// The icon is the program's own drawing, and all six windows carry it.
TEST_F(InfoTest, TheProgramsIconIsDrawnInTheAboutBoxAndOnEveryWindow) {
    Start();
    TFrmInfo* info = Windows.FrmInfo;
    EXPECT_GT(DrawnPixels(info->ImgIcon->pixmap()), 32 * 32 / 3);
    EXPECT_GT(DrawnPixels(info->ImgLogo->pixmap()), 160 * 99 / 2);
    // The main window and every window it owns.
    int windows = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->objectName().startsWith("Frm") ||
            !(window == Frm || window->parentWidget() == Frm))
            continue;
        ++windows;
        EXPECT_GT(DrawnPixels(window->windowIcon().pixmap(QSize(32, 32))), 32 * 32 / 3)
            << window->objectName().toStdString();
    }
    // The wizard, the send dialog, the new-language dialog, the viewer and the
    // about box.
    EXPECT_EQ(windows, 6);
}

// The icon the build drew at each size the window system asks for is the
// drawing itself at that size: its colours in their places, not shifted or
// with channels swapped (the two renderers may smooth edges differently).
TEST_F(InfoTest, TheProgramsIconAtEachSizeIsItsDrawing) {
    const QIcon icon = ProgramIcon();
    const QIcon drawing(WORDLARK_ICON_SVG);
    for (int size : {16, 32, 64, 128}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        const QImage built =
            icon.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage drawn =
            drawing.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(built.size(), QSize(size, size));
        ASSERT_EQ(drawn.size(), QSize(size, size));
        long long difference = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb a = built.pixel(x, y), b = drawn.pixel(x, y);
                difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                              std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
            }
        // On average less than 6 of 1020 per pixel.
        EXPECT_LT(difference, 6LL * size * size);
    }
}

// Each address opens on a double click: web pages as written, mail addresses
// as a new mail. Nothing opens on a single click.
TEST_F(InfoTest, DoubleClickedAddressesAreHandedToTheShell) {
    Start();
    Show();
    ModalAnswers answers;
    std::vector<std::pair<std::string, std::string>> seen; // edit, address
    ShowInfo(Frm, answers, [&](TFrmInfo* info) {
        for (QLineEdit* edit :
             {info->EdtWeb, info->EdtMail, info->EdtGreek, info->EdtFrench, info->EdtItalian,
              info->EdtSwedish, info->EdtSlovenian, info->EdtRussian}) {
            CurrentFake()->ShellRequests.clear();
            QTest::mouseClick(edit, Qt::LeftButton);
            EXPECT_TRUE(CurrentFake()->ShellRequests.empty());
            QTest::mouseDClick(edit, Qt::LeftButton);
            ASSERT_EQ(CurrentFake()->ShellRequests.size(), 1u) << edit->objectName().toStdString();
            const ShellRequest& r = CurrentFake()->ShellRequests[0];
            EXPECT_EQ(r.What, "address");
            EXPECT_TRUE(r.Arguments.empty());
            seen.emplace_back(edit->objectName().toStdString(), r.Target);
        }
    });
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"EdtWeb", "www.brightmoor.example"},
        {"EdtMail", "mailto:info@brightmoor.example"},
        {"EdtGreek", "mailto:greek@brightmoor.example"},
        {"EdtFrench", "www.brightmoor.example/fr"},
        {"EdtItalian", "mailto:italian@brightmoor.example"},
        {"EdtSwedish", "mailto:swedish@brightmoor.example"},
        {"EdtSlovenian", "www.brightmoor.example/sl"},
        {"EdtRussian", "mailto:russian@brightmoor.example"},
    };
    EXPECT_EQ(seen, expected);
}

// An address the desktop cannot open is told with the address, in the
// interface language, so that the user can open it by hand.
TEST_F(InfoTest, AnAddressThatDoesNotOpenIsToldWithTheAddress) {
    InstallProgramFiles();
    WriteSettings({{"LanguageName", "Deutsch"}});
    Start();
    Show();
    CurrentFake()->OpenResults = {
        {platform::THandOff::TState::Failed, platform::THandOff::TReason::ActionFailed, 4, {}}};
    ModalAnswers answers;
    answers
        .Then([](QWidget* dialog) {
            auto* info = qobject_cast<TFrmInfo*>(dialog);
            ASSERT_NE(info, nullptr);
            QTest::mouseDClick(info->EdtWeb, Qt::LeftButton);
            info->BtnOK->click();
        })
        .Click("OK");
    Frm->MenInfo->trigger();
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_EQ(answers.Seen()[1].Text,
              Deutsch("Desktop.m_aMOpenFailed") + " " + Deutsch("Desktop.m_aMOpenActionFailed") +
                  "\n\n" + Deutsch("Desktop.m_aMOpenByHand") + "\nhttps://www.brightmoor.example");
}

} // namespace
