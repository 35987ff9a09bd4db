#include "send/FrmSend.h"

#include "platform/Platform.h"
#include "send/FileCopy.h"
#include "texts/FontMapping.h"
#include "texts/Guarded.h"
#include "texts/InterfaceTexts.h"
#include "texts/QtText.h"
#include "texts/Workspace.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {
const char* const MailProfile = "Test";
const char* const SubjectPrefix = "Translation of ";
const char* const MailBody = "Machine generated E-Mail of Brightmoor Wordlark ";
const char* const ProgramVersion = "1.700";

const char* const DefaultMailFailed =
    "The E-Mail could not be generated. You can still send the files manually.";
const char* const DefaultCopyFailed = "The files could not be copied:";

// Why the mail tool could not take the message, as it tells it.
const TReasonText MailReasons[] = {
    {platform::THandOff::TReason::NotStarted, "FrmSend.m_aMMailNotStarted",
     "The desktop's mail tool (xdg-email) could not be started."},
    {platform::THandOff::TReason::BadRequest, "FrmSend.m_aMMailBadRequest",
     "The mail program did not understand the request."},
    {platform::THandOff::TReason::NotFound, "FrmSend.m_aMMailNotFound",
     "One of the files to attach does not exist."},
    {platform::THandOff::TReason::NoHandler, "FrmSend.m_aMMailNoHandler",
     "No mail program is set up on this computer."},
    {platform::THandOff::TReason::ActionFailed, "FrmSend.m_aMMailActionFailed",
     "The mail program could not prepare the message."},
    {platform::THandOff::TReason::NoPermission, "FrmSend.m_aMMailNoPermission",
     "One of the files to attach may not be read (no permission)."},
    {platform::THandOff::TReason::Other, "FrmSend.m_aMMailOther",
     "The mail program ended with error code %1."},
    {platform::THandOff::TReason::Unknown, "FrmSend.m_aMMailUnknown",
     "The message did not reach the mail program."},
};

constexpr int ClientWidth = 584;
constexpr int ClientHeight = 362;
constexpr int SideWidth = 164;
constexpr int BottomHeight = 41;

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& geometry, bool wrap) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QRect& geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

// The files' names, as a list.
QString FileNames(const std::vector<std::string>& files) {
    QStringList names;
    for (const std::string& file : files)
        names << PathToQt(platform::ExtractFileName(file));
    return names.join(", ");
}

// The side picture: a sealed envelope on its way, over the colours of the
// evening sky.
QPixmap SidePicture() {
    const QSize size(SideWidth, ClientHeight - BottomHeight);
    QPixmap picture(size);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0.0, QColor(28, 58, 104));
    sky.setColorAt(0.7, QColor(64, 118, 170));
    sky.setColorAt(1.0, QColor(236, 178, 96));
    p.fillRect(picture.rect(), sky);

    // Flight lines behind the envelope.
    p.setPen(QPen(QColor(255, 255, 255, 110), 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(18, 150 + i * 12), QPointF(52 - i * 8, 150 + i * 12));

    // The envelope, tilted a little as if it flew.
    p.translate(96, 158);
    p.rotate(-12);
    const QRectF body(-42, -28, 84, 56);
    p.setPen(QPen(QColor(40, 50, 70), 1.5));
    p.setBrush(QColor(250, 248, 240));
    p.drawRoundedRect(body, 3, 3);
    QPainterPath flap;
    flap.moveTo(body.topLeft());
    flap.lineTo(0, 6);
    flap.lineTo(body.topRight());
    p.setBrush(QColor(232, 228, 214));
    p.drawPath(flap);
    p.setBrush(QColor(196, 48, 48));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, 4), 7, 7);
    return picture;
}

// The folder of a file: the path up to its last separator, without that
// separator unless the folder is a root ("/", "C:\").
std::string FolderOf(const std::string& path) {
    std::string folder = platform::ExtractFilePath(path);
    const bool root =
        folder.size() == 1 || (folder.size() >= 2 && folder[folder.size() - 2] == ':');
    if (!folder.empty() && !root)
        folder.pop_back();
    return folder;
}
} // namespace

TFrmSend::TFrmSend(QWidget* parent, TInterfaceTexts& texts, TWorkspace& workspace)
    : QDialog(parent), FTexts(texts), FWorkspace(workspace) {
    BuildWindow();
    EmlMail = std::make_unique<TEmail>();
    EmlMail->SetNewSession(true);
    EmlMail->ShowDialog = true;
    EmlMail->TruncAttFN = false;
    EmlMail->OnMapiError = [this](TEmail&, smapi::ULONG code) { FMailErrors.push_back(code); };

    connect(BtnGenerate, &QPushButton::clicked, this,
            [this] { Guarded([this] { BtnGenerateClick(); }); });
    connect(BtnSendManually, &QPushButton::clicked, this,
            [this] { Guarded([this] { BtnSendManuallyClick(); }); });
    connect(BtnOpen, &QPushButton::clicked, this, [this] { Guarded([this] { BtnOpenClick(); }); });
}

TFrmSend::~TFrmSend() = default;

void TFrmSend::BuildWindow() {
    setObjectName("FrmSend");
    setWindowTitle("Send translation");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientWidth, ClientHeight);
    QFont designFont("MS Sans Serif");
    designFont.setPixelSize(12);
    setFont(designFont);

    ImgWizard = new QLabel(this);
    ImgWizard->setObjectName("ImgWizard");
    ImgWizard->setGeometry(0, 0, SideWidth, ClientHeight - BottomHeight);
    ImgWizard->setScaledContents(true);
    ImgWizard->setPixmap(SidePicture());

    PnlMain = new QWidget(this);
    PnlMain->setObjectName("PnlMain");
    PnlMain->setGeometry(SideWidth, 0, ClientWidth - SideWidth, ClientHeight - BottomHeight);
    PnlMain->setAutoFillBackground(true);
    QPalette white = PnlMain->palette();
    white.setColor(QPalette::Window, Qt::white);
    PnlMain->setPalette(white);

    LblStepFourInfo = MakeLabel(PnlMain, "LblStepFourInfo", {12, 12, 396, 22}, false);
    QFont heading = LblStepFourInfo->font();
    heading.setBold(true);
    heading.setPixelSize(16);
    LblStepFourInfo->setFont(heading);
    LblInfo = MakeLabel(PnlMain, "LblInfo", {12, 42, 396, 46}, true);
    LblFiles = MakeLabel(PnlMain, "LblFiles", {12, 98, 340, 18}, false);
    BtnOpen = MakeButton(PnlMain, "BtnOpen", "...", {360, 95, 28, 20});
    for (QLabel** label : {&LblFileOne, &LblFileTwo}) {
        const bool one = label == &LblFileOne;
        *label = MakeLabel(PnlMain, one ? "LblFileOne" : "LblFileTwo",
                           {24, one ? 120 : 140, 384, 18}, false);
        (*label)->setText("...");
        QPalette blue = (*label)->palette();
        blue.setColor(QPalette::WindowText, Qt::blue);
        (*label)->setPalette(blue);
        (*label)->setCursor(Qt::PointingHandCursor);
        (*label)->installEventFilter(this);
    }
    LblRecipient = MakeLabel(PnlMain, "LblRecipient", {12, 170, 396, 18}, false);
    EdtRecipient = new QLineEdit(PnlMain);
    EdtRecipient->setObjectName("EdtRecipient");
    EdtRecipient->setGeometry(24, 190, 260, 22);
    EdtRecipient->setReadOnly(true);
    LblChoose = MakeLabel(PnlMain, "LblChoose", {12, 224, 396, 92}, true);

    PnlBottom = new QWidget(this);
    PnlBottom->setObjectName("PnlBottom");
    PnlBottom->setGeometry(0, ClientHeight - BottomHeight, ClientWidth, BottomHeight);
    BtnSendManually =
        MakeButton(PnlBottom, "BtnSendManually", "I send them manually", {214, 8, 176, 25});
    BtnGenerate =
        MakeButton(PnlBottom, "BtnGenerate", "Generate an E-Mail for me", {398, 8, 178, 25});
    BtnGenerate->setDefault(true);
    BtnSendManually->setAutoDefault(false);
}

QFileDialog* TFrmSend::OpdSelectTargetPath() {
    if (!FOpdSelectTargetPath) {
        FOpdSelectTargetPath = new QFileDialog(this);
        FOpdSelectTargetPath->setObjectName("OpdSelectTargetPath");
        FOpdSelectTargetPath->setFileMode(QFileDialog::Directory);
        FOpdSelectTargetPath->setOption(QFileDialog::ShowDirsOnly);
        FOpdSelectTargetPath->setAcceptMode(QFileDialog::AcceptOpen);
        FOpdSelectTargetPath->setWindowModality(Qt::ApplicationModal);
    }
    return FOpdSelectTargetPath;
}

void TFrmSend::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QDialog::showEvent(event);
}

bool TFrmSend::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == LblFileOne)
            Guarded([this] { LblFileOneClick(); });
        else if (watched == LblFileTwo)
            Guarded([this] { LblFileTwoClick(); });
    }
    return QDialog::eventFilter(watched, event);
}

std::vector<std::string> TFrmSend::Files() const {
    std::vector<std::string> files;
    for (const std::string& file : {FFileOne, FFileTwo})
        if (!file.empty())
            files.push_back(file);
    return files;
}

void TFrmSend::FormShow() {
    FFileOne = FWorkspace.TranslationToSend();
    FFileTwo = FWorkspace.CataloguePath();
    const std::pair<QLabel*, const std::string*> labels[] = {{LblFileOne, &FFileOne},
                                                             {LblFileTwo, &FFileTwo}};
    for (const auto& [label, path] : labels) {
        label->setText(PathToQt(*path));
        label->setToolTip(PathToQt(*path));
        label->setVisible(!path->empty());
    }
    EdtRecipient->setText(SubmissionAddress);
    Nationalize();
    ApplyFont(FTexts.WindowFont());
    // "..." stands right behind the label's text, whatever its language.
    const int room = PnlMain->width() - LblFiles->x() - BtnOpen->width() - 2 * 8;
    const int text = LblFiles->fontMetrics().horizontalAdvance(LblFiles->text()) + 2;
    LblFiles->resize(std::min(text, room), LblFiles->height());
    BtnOpen->move(LblFiles->geometry().right() + 1 + 8, BtnOpen->y());
}

void TFrmSend::Nationalize() {
    const TInterfaceTexts& m = FTexts;
    m_aSelectTargetPath = m.GetNationalText("FrmSend.m_aSelectTargetPath", "Select target folder");
    m_aMMailFailed = m.GetNationalText("FrmSend.m_aMMailFailed", DefaultMailFailed);
    m_aMCopyFailed = m.GetNationalText("FrmSend.m_aMCopyFailed", DefaultCopyFailed);
    m_aStatusCopied = m.GetNationalText("FrmSend.m_aStatusCopied", "Copied %1 to %2");
    m_aStatusMailed = m.GetNationalText("FrmSend.m_aStatusMailed", "Handed %1 to the mail program");
    m_aStatusMailPending =
        m.GetNationalText("FrmSend.m_aStatusMailPending",
                          "Handed %1 to the mail program; it is still preparing the message");
    m_aStatusMailFailed = m.GetNationalText("FrmSend.m_aStatusMailFailed",
                                            "%1 could not be handed to the mail program");
    setWindowTitle(m.GetNationalText("FrmSend.Caption", "Send in translation"));
    LblStepFourInfo->setText(
        m.GetNationalText("FrmSend.LblStepFourInfo", "Send in your translation"));
    LblInfo->setText(m.GetNationalText("FrmSend.LblInfo",
                                       "Thank you for translating. Now you may select the way your "
                                       "translation files should be transferred to Brightmoor."));
    LblFiles->setText(m.GetNationalText(
        "FrmSend.LblFiles", "The following files have been generated by this program:"));
    LblRecipient->setText(
        m.GetNationalText("FrmSend.LblRecipient", "These files shall be sent to:"));
    LblChoose->setText(m.GetNationalText(
        "FrmSend.LblChoose",
        "You can either let the program generate an E-Mail for you or create the E-Mail by "
        "yourself. In last case, the files are copied to a desired destination and you can "
        "attach the files manually. For E-Mail generation it uses your client program (e.g. "
        "Outlook)"));
    BtnSendManually->setText(m.GetNationalText("FrmSend.BtnSendManually", "I send them manually"));
    BtnGenerate->setText(m.GetNationalText("FrmSend.BtnGenerate", "Generate an E-Mail for me"));
}

void TFrmSend::ApplyFont(const QFont& font) {
    // The heading is bold and the file labels carry fonts of their own: only
    // face and size follow the window.
    FollowMainFont(*this, font, {LblStepFourInfo, LblFileOne, LblFileTwo});
}

void TFrmSend::BtnGenerateClick() {
    const std::vector<std::string> files = Files();
    if (files.empty())
        return;
    TEmail& mail = *EmlMail;
    FMailErrors.clear();
    mail.Clear();
    mail.SetProfile(MailProfile);
    // Without a mail system this raises, the dialog stays open and the manual
    // way remains.
    mail.Logon();
    mail.SetSubject(SubjectPrefix + platform::ExtractFileName(files.front()));
    mail.SetLongText((std::string(MailBody) + ProgramVersion).c_str());
    mail.Recipient = {SubmissionAddress};
    mail.Acknowledge = true;
    mail.Attachment = files;
    // The mail tool may still be at work when SendMail returns; how it ends
    // is told later.
    const QString names = FileNames(files);
    const QString pending = m_aStatusMailPending.arg(names);
    platform::Get().SetMailLateEnd(
        OnEventLoop(this, [this, names, pending](const platform::THandOff& end) {
            MailEndedLate(end, names, pending);
        }));
    const smapi::ULONG code = mail.SendMail();
    mail.Logoff();
    const std::optional<platform::THandOff> handOff = platform::Get().LastMailHandOff();

    // The user's own cancel, of the compose window or of the logon prompt,
    // closes the dialog as a sent message does; any other failure is told and
    // the dialog stays, so that the files can still be sent by hand.
    const bool cancelled =
        code == smapi::MAPI_E_USER_ABORT ||
        (code == TEmail::ErrLogon && std::find(FMailErrors.begin(), FMailErrors.end(),
                                               smapi::MAPI_E_USER_ABORT) != FMailErrors.end());
    if (code == smapi::SUCCESS_SUCCESS || cancelled) {
        if (!cancelled) {
            const bool running = handOff && handOff->State == platform::THandOff::TState::Running;
            FWorkspace.ShowStatus(running ? pending : m_aStatusMailed.arg(names));
        }
        accept();
        return;
    }
    FTexts.DoMsgBox(MailFailedMessage(code, handOff), QMessageBox::Critical, QMessageBox::Ok,
                    parentWidget());
}

QString TFrmSend::MailFailedMessage(smapi::ULONG code,
                                    const std::optional<platform::THandOff>& handOff) const {
    if (handOff && handOff->Failed())
        return m_aMMailFailed + "\n\n" +
               ReasonText(*handOff, MailReasons,
                          [this](const std::string& key, const QString& defaultText) {
                              return FTexts.GetNationalText(key, defaultText);
                          });
    return m_aMMailFailed + " (MAPI " + QString::number(code) + ")";
}

void TFrmSend::MailEndedLate(const platform::THandOff& end, const QString& names,
                             const QString& pending) {
    // The status line says how it went unless it tells of something else now.
    const bool current = FWorkspace.StatusText() == pending;
    if (!end.Failed()) {
        if (current)
            FWorkspace.ShowStatus(m_aStatusMailed.arg(names));
        return;
    }
    if (current)
        FWorkspace.ShowStatus(m_aStatusMailFailed.arg(names));
    FTexts.DoMsgBox(MailFailedMessage(smapi::MAPI_E_FAILURE, end), QMessageBox::Critical,
                    QMessageBox::Ok, parentWidget());
}

void TFrmSend::BtnSendManuallyClick() {
    QFileDialog* dialog = OpdSelectTargetPath();
    dialog->setWindowTitle(m_aSelectTargetPath);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const std::string folder =
        platform::IncludeTrailingDelimiter(PathFromQt(dialog->selectedFiles().first()));
    for (const std::string& file : Files()) {
        const std::string problem = CopyFileBytes(file, folder + platform::ExtractFileName(file));
        if (!problem.empty()) {
            FTexts.DoMsgBox(m_aMCopyFailed + "\n" + PathToQt(problem), QMessageBox::Critical,
                            QMessageBox::Ok, parentWidget());
            return;
        }
    }
    FWorkspace.ShowStatus(m_aStatusCopied.arg(FileNames(Files()), PathToQt(folder)));
    accept();
    OpenOnDesktop(TDesktopTarget::Folder, folder, FTexts, this);
}

void TFrmSend::OpenFileOf(const std::string& path) {
    if (platform::FileExists(path))
        OpenOnDesktop(TDesktopTarget::Document, path, FTexts, this);
}

void TFrmSend::LblFileOneClick() {
    OpenFileOf(FFileOne);
}

void TFrmSend::LblFileTwoClick() {
    OpenFileOf(FFileTwo);
}

void TFrmSend::BtnOpenClick() {
    const std::vector<std::string> files = Files();
    if (files.empty())
        return;
    const std::string folder = FolderOf(files.front());
    if (platform::DirectoryExists(folder))
        OpenOnDesktop(TDesktopTarget::Folder, folder, FTexts, this);
}
