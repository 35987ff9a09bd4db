// The main window's message dialogs: title and button captions in the
// interface language, the toolkit's own words for the rest.
#include "TextsFixture.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace {

class MessageDialogsTest : public TextsFixture {
protected:
    // Shows a dialog, answers it with the named button and returns what it showed.
    SeenDialog Ask(const QString& text, QMessageBox::Icon type,
                   QMessageBox::StandardButtons buttons, const QString& answer,
                   QMessageBox::StandardButton* result = nullptr) {
        ModalAnswers answers;
        answers.Click(answer);
        const QMessageBox::StandardButton pressed = Frm->DoMsgBox(text, type, buttons);
        if (result)
            *result = pressed;
        EXPECT_EQ(answers.Pending(), 0u);
        EXPECT_EQ(answers.Seen().size(), 1u);
        return answers.Seen().empty() ? SeenDialog{} : answers.Seen().front();
    }

    void StartIn(const char* language) {
        InstallProgramFiles();
        WriteSettings({{"LanguageName", language}});
        Start();
        Show();
        ASSERT_EQ(Frm->CurrentLanguageName(), language);
    }
};

TEST_F(MessageDialogsTest, EnglishTitlesAndButtons) {
    StartIn("English");
    QMessageBox::StandardButton result{};
    SeenDialog seen = Ask(Frm->m_aMDiscard, QMessageBox::Warning,
                          QMessageBox::Yes | QMessageBox::Cancel, "Yes", &result);
    EXPECT_EQ(result, QMessageBox::Yes);
    EXPECT_EQ(seen.Title, "Warning");
    EXPECT_EQ(seen.Text, "You made changes! Sure to discard them?");
    EXPECT_EQ(seen.Buttons, QStringList({"Yes=Yes", "Cancel=Cancel"}));

    seen = Ask("x", QMessageBox::Critical, QMessageBox::Ok, "OK", &result);
    EXPECT_EQ(result, QMessageBox::Ok);
    EXPECT_EQ(seen.Title, "Error");
    seen = Ask("x", QMessageBox::Information, QMessageBox::Ok, "OK");
    EXPECT_EQ(seen.Title, "Information");
    seen =
        Ask("x", QMessageBox::Question, QMessageBox::Yes | QMessageBox::Cancel, "Cancel", &result);
    EXPECT_EQ(result, QMessageBox::Cancel);
    EXPECT_EQ(seen.Title, "Confirmation");
}

TEST_F(MessageDialogsTest, GermanTitlesAndButtons) {
    StartIn("Deutsch");
    QMessageBox::StandardButton result{};
    SeenDialog seen = Ask(Frm->m_aMDiscard, QMessageBox::Warning,
                          QMessageBox::Yes | QMessageBox::Cancel, "Cancel", &result);
    EXPECT_EQ(result, QMessageBox::Cancel);
    EXPECT_EQ(seen.Title, Deutsch("FrmWordlark.m_aMWarning"));
    EXPECT_EQ(seen.Text, Deutsch("FrmWordlark.m_aMDiscard"));
    EXPECT_EQ(seen.Buttons, QStringList({"Yes=" + Deutsch("FrmWordlark.m_aMYes"),
                                         "Cancel=" + Deutsch("FrmWordlark.m_aMCancel")}));

    seen = Ask(Frm->m_aMFailed, QMessageBox::Critical, QMessageBox::Ok, "OK", &result);
    EXPECT_EQ(result, QMessageBox::Ok);
    EXPECT_EQ(seen.Title, Deutsch("FrmWordlark.m_aMError"));
    EXPECT_EQ(seen.Buttons, QStringList({"OK=OK"})); // the toolkit's own word, in any language

    seen = Ask(Frm->m_aMSelectTrans, QMessageBox::Information, QMessageBox::Ok, "OK");
    EXPECT_EQ(seen.Title, Deutsch("FrmWordlark.m_aMInformation"));
    seen = Ask(Frm->m_aMSureToDelete, QMessageBox::Question, QMessageBox::Yes | QMessageBox::Cancel,
               "Yes", &result);
    EXPECT_EQ(result, QMessageBox::Yes);
    EXPECT_EQ(seen.Title, Deutsch("FrmWordlark.m_aMConfirmation"));
}

TEST_F(MessageDialogsTest, EveryButtonKindWithAWordIsTranslated) {
    StartIn("Deutsch");
    QMessageBox::StandardButton result{};
    const SeenDialog seen =
        Ask("x", QMessageBox::Warning,
            QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::NoToAll |
                QMessageBox::Cancel | QMessageBox::Retry | QMessageBox::Help,
            "NoToAll", &result);
    EXPECT_EQ(result, QMessageBox::NoToAll);
    const QStringList expected = {
        "Yes=" + Deutsch("FrmWordlark.m_aMYes"), "YesToAll=" + Deutsch("FrmWordlark.m_aMYesToAll"),
        "No=" + Deutsch("FrmWordlark.m_aMNo"), "NoToAll=" + Deutsch("FrmWordlark.m_aMNoToAll"),
        "Cancel=" + Deutsch("FrmWordlark.m_aMCancel")};
    for (const QString& button : expected)
        EXPECT_TRUE(seen.Buttons.contains(button)) << button.toStdString();
    // Kinds without a word of ours keep the toolkit's caption.
    QMessageBox plain(QMessageBox::Warning, "t", "x", QMessageBox::Retry | QMessageBox::Help);
    EXPECT_TRUE(seen.Buttons.contains("Retry=" + plain.button(QMessageBox::Retry)->text()));
    EXPECT_TRUE(seen.Buttons.contains("Help=" + plain.button(QMessageBox::Help)->text()));
    EXPECT_EQ(seen.Buttons.size(), 7);
}

TEST_F(MessageDialogsTest, ADialogWithoutTypeKeepsTheToolkitsTitle) {
    StartIn("Deutsch");
    const SeenDialog seen = Ask("x", QMessageBox::NoIcon, QMessageBox::Ok, "OK");
    EXPECT_EQ(seen.Title, QApplication::applicationName());
}

TEST_F(MessageDialogsTest, ALanguageChangeAffectsTheNextDialog) {
    StartIn("Deutsch");
    Frm->SelectProgramLanguage("Français");
    const SeenDialog seen =
        Ask("x", QMessageBox::Warning, QMessageBox::Yes | QMessageBox::Cancel, "Yes");
    EXPECT_EQ(seen.Title, Shipped("Wordlark_Francais.ini", "FrmWordlark.m_aMWarning"));
    EXPECT_EQ(
        seen.Buttons,
        QStringList({"Yes=" + Shipped("Wordlark_Francais.ini", "FrmWordlark.m_aMYes"),
                     "Cancel=" + Shipped("Wordlark_Francais.ini", "FrmWordlark.m_aMCancel")}));
}

} // namespace
