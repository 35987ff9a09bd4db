#include "dialogs/FrmInfo.h"

#include "texts/InterfaceTexts.h"

#include "platform/Platform.h"
#include "texts/DesktopHandOff.h"
#include "texts/FontMapping.h"
#include "texts/Guarded.h"
#include "texts/Maker.h"
#include "texts/Registration.h"

#include <QEvent>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {

// The volunteers who translate the program's own interface, with the address
// a double click on their row opens: a web page or, for a mail address, a new
// mail to it.
struct TCredit {
    const char* Language;
    const char* Contact;
    const char* Target;
};
const TCredit Credits[] = {
    {"Greek by:", "Volunteer team, greek@brightmoor.example", "mailto:greek@brightmoor.example"},
    {"French by:", "Volunteer team, www.brightmoor.example/fr", "www.brightmoor.example/fr"},
    {"Italian by:", "Volunteer team, italian@brightmoor.example",
     "mailto:italian@brightmoor.example"},
    {"Swedish by:", "Volunteer team, swedish@brightmoor.example",
     "mailto:swedish@brightmoor.example"},
    {"Slovenian by:", "Volunteer team, www.brightmoor.example/sl", "www.brightmoor.example/sl"},
    {"Russian by:", "Volunteer team, russian@brightmoor.example",
     "mailto:russian@brightmoor.example"},
};
enum TCreditRow { Greek, French, Italian, Swedish, Slovenian, Russian };

const char* const MakerMail = "info@brightmoor.example";
constexpr int CreditTop = 140;
constexpr int CreditHeight = 14;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                  int h) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(x, y, w, h);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

TFrmInfo::TFrmInfo(QWidget* parent, TInterfaceTexts& texts) : QDialog(parent), FTexts(texts) {
    setObjectName("FrmInfo");
    setWindowTitle("Info");
    setFixedSize(604, 267);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    QFont designFont("MS Sans Serif");
    designFont.setPixelSize(12);
    setFont(designFont);

    PnlAbout = new QFrame(this);
    PnlAbout->setObjectName("PnlAbout");
    PnlAbout->setGeometry(0, 0, 604, 231);
    PnlAbout->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PnlAbout->setAutoFillBackground(true);
    QPalette white = PnlAbout->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    PnlAbout->setPalette(white);

    ImgLogo = new QLabel(PnlAbout);
    ImgLogo->setObjectName("ImgLogo");
    ImgLogo->setGeometry(12, 12, 160, 99);
    ImgLogo->setScaledContents(true);
    ImgLogo->setPixmap(QIcon(":/brightmoor-logo.svg").pixmap(QSize(160, 99), devicePixelRatioF()));

    ImgIcon = new QLabel(PnlAbout);
    ImgIcon->setObjectName("ImgIcon");
    ImgIcon->setGeometry(184, 10, 32, 32);
    ImgIcon->setAlignment(Qt::AlignCenter);
    ImgIcon->setPixmap(ProgramIcon().pixmap(QSize(32, 32), devicePixelRatioF()));

    LblApplicationName =
        MakeLabel(PnlAbout, "LblApplicationName", "Brightmoor Wordlark", 224, 10, 370, 18);
    QFont bold = LblApplicationName->font();
    bold.setBold(true);
    LblApplicationName->setFont(bold);
    LblVersion = MakeLabel(PnlAbout, "LblVersion", WordlarkVersionText, 224, 28, 370, 16);
    LblComment = MakeLabel(PnlAbout, "LblComment",
                           "Helps volunteers translate the interface of Brightmoor's programs "
                           "into their own language. Free of charge.",
                           184, 50, 410, 30);
    LblComment->setWordWrap(true);
    EdtWeb = MakeLink("EdtWeb", MakerHost, 184, 84, 410);
    EdtMail = MakeLink("EdtMail", MakerMail, 184, 100, 410);

    LblCredits = MakeLabel(PnlAbout, "LblCredits",
                           "The program's own interface was translated by:", 184, 122, 410, 16);
    CreditRow("LblGreek", Credits[Greek].Language, "EdtGreek", LblGreek, EdtGreek, Greek);
    CreditRow("LblFrench", Credits[French].Language, "EdtFrench", LblFrench, EdtFrench, French);
    CreditRow("LblItalian", Credits[Italian].Language, "EdtItalian", LblItalian, EdtItalian,
              Italian);
    CreditRow("LblSwedish", Credits[Swedish].Language, "EdtSwedish", LblSwedish, EdtSwedish,
              Swedish);
    CreditRow("LblSlovenian", Credits[Slovenian].Language, "EdtSlovenian", LblSlovenian,
              EdtSlovenian, Slovenian);
    CreditRow("LblRussian", Credits[Russian].Language, "EdtRussian", LblRussian, EdtRussian,
              Russian);

    BtnOK = new QPushButton("OK", this);
    BtnOK->setObjectName("BtnOK");
    BtnOK->setGeometry(264, 236, 75, 25);
    BtnOK->setDefault(true);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
}

QLineEdit* TFrmInfo::MakeLink(const char* name, const QString& text, int x, int y, int w) {
    auto* edit = new QLineEdit(text, PnlAbout);
    edit->setObjectName(name);
    edit->setGeometry(x, y, w, CreditHeight + 2);
    edit->setReadOnly(true);
    edit->setFrame(false);
    edit->setCursor(Qt::PointingHandCursor);
    edit->setTextMargins(0, 0, 0, 0);
    edit->setFocusPolicy(Qt::NoFocus);
    QPalette link = edit->palette();
    link.setColor(QPalette::Text, Qt::blue);
    link.setColor(QPalette::Base, Qt::white);
    edit->setPalette(link);
    edit->setCursorPosition(0);
    edit->installEventFilter(this);
    return edit;
}

void TFrmInfo::CreditRow(const char* labelName, const char* language, const char* editName,
                         QLabel*& label, QLineEdit*& edit, int row) {
    const int y = CreditTop + row * CreditHeight;
    label = MakeLabel(PnlAbout, labelName, language, 184, y, 86, CreditHeight);
    edit = MakeLink(editName, Credits[row].Contact, 272, y - 1, 322);
}

bool TFrmInfo::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick)
        return QDialog::eventFilter(watched, event);
    const std::pair<QLineEdit*, void (TFrmInfo::*)()> handlers[] = {
        {EdtWeb, &TFrmInfo::EdtWebDblClick},
        {EdtMail, &TFrmInfo::EdtMailDblClick},
        {EdtGreek, &TFrmInfo::EdtGreekDblClick},
        {EdtFrench, &TFrmInfo::EdtFrenchDblClick},
        {EdtItalian, &TFrmInfo::EdtItalianDblClick},
        {EdtSwedish, &TFrmInfo::EdtSwedishDblClick},
        {EdtSlovenian, &TFrmInfo::EdtSlovenianDblClick},
        {EdtRussian, &TFrmInfo::EdtRussianDblClick},
    };
    for (const auto& [edit, handler] : handlers) {
        if (watched == edit) {
            Guarded([this, handler = handler] { (this->*handler)(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmInfo::Open(const std::string& address) {
    OpenOnDesktop(TDesktopTarget::Address, address, FTexts, this);
}

void TFrmInfo::EdtWebDblClick() {
    Open(EdtWeb->text().toStdString());
}
void TFrmInfo::EdtMailDblClick() {
    Open("mailto:" + EdtMail->text().toStdString());
}
void TFrmInfo::EdtGreekDblClick() {
    Open(Credits[Greek].Target);
}
void TFrmInfo::EdtFrenchDblClick() {
    Open(Credits[French].Target);
}
void TFrmInfo::EdtItalianDblClick() {
    Open(Credits[Italian].Target);
}
void TFrmInfo::EdtSwedishDblClick() {
    Open(Credits[Swedish].Target);
}
void TFrmInfo::EdtSlovenianDblClick() {
    Open(Credits[Slovenian].Target);
}
void TFrmInfo::EdtRussianDblClick() {
    Open(Credits[Russian].Target);
}

void TFrmInfo::showEvent(QShowEvent* event) {
    // The window system's own show events (a restore after minimizing) are no
    // new showing of the dialog.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFrmInfo::FormShow() {
    LblVersion->setText(WordlarkVersionText);
    BtnOK->setText(FTexts.GetNationalText("FrmInfo.BtnOK", "OK"));
    ApplyFont(FTexts.WindowFont());
    BtnOK->setFocus();
}

void TFrmInfo::ApplyFont(const QFont& font) {
    const int pitch = FontPitch(font);
    QFont own = this->font();
    own.setFamily(font.family());
    SetFontPitch(own, pitch);
    setFont(own);

    QFont name = LblApplicationName->font();
    name.setFamily(font.family());
    SetFontPitch(name, pitch);
    if (font.pixelSize() > 0)
        name.setPixelSize(font.pixelSize());
    else
        name.setPointSizeF(font.pointSizeF());
    LblApplicationName->setFont(name);

    // The comment and the mail address in the given face at the window's size;
    // the other addresses look like the mail address.
    for (QWidget* control : {static_cast<QWidget*>(LblComment), static_cast<QWidget*>(EdtMail)}) {
        QFont f = control->font();
        f.setFamily(font.family());
        SetFontPitch(f, pitch);
        if (own.pixelSize() > 0)
            f.setPixelSize(own.pixelSize());
        else
            f.setPointSizeF(own.pointSizeF());
        control->setFont(f);
    }
    for (QLineEdit* edit :
         {EdtWeb, EdtGreek, EdtFrench, EdtItalian, EdtSwedish, EdtSlovenian, EdtRussian})
        edit->setFont(EdtMail->font());
}
