#include "workbench/ShowAsMenu.h"

#include "editor/SynEditor.h"
#include "initfile/WorkbenchChoices.h"
#include "texts/Guarded.h"
#include "texts/InterfaceTexts.h"
#include "texts/MenuItems.h"
#include "texts/QtText.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QMenu>

using Sci = QsciScintillaBase;

TShowAsMenu::TShowAsMenu(TSynEditor* editor, QMenu* viewMenu, TInterfaceTexts& texts,
                         TChoicesStore& choices, QObject* parent)
    : QObject(parent), FEditor(editor), FTexts(texts), FChoices(choices),
      FGroup(new QActionGroup(this)) {
    MenShowAs = MakeMenu(viewMenu, "MenShowAs", "Show as");
    for (TEncoding encoding : AllEncodings) {
        const std::string_view name = EncodingName(encoding);
        QAction* item = MenShowAs->addAction(FromUtf8(name));
        std::string objectName = "MenShowAs";
        for (char c : name)
            if (c != '-')
                objectName += c;
        item->setObjectName(QString::fromStdString(objectName));
        item->setCheckable(true);
        item->setData(static_cast<int>(encoding));
        FGroup->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, encoding] { Guarded([&] { ShowAs(encoding); }); });
    }
    // Access letters, in the interface language; the code pages by the last
    // digit of their numbers.
    texts.RegisterAccessKey(MenShowAs->menuAction(), "FrmWordlark.MenShowAs.AccessKey", "h");
    for (QAction* item : FGroup->actions()) {
        const QString name = item->text();
        texts.RegisterAccessKey(item,
                                "FrmWordlark." + item->objectName().toStdString() + ".AccessKey",
                                name.startsWith("UTF") ? QString("U") : name.right(1));
    }
    Update();
}

void TShowAsMenu::ApplyTexts() {
    MenShowAs->setTitle(FTexts.GetNationalText("FrmWordlark.MenShowAs", "Show as"));
    m_aMShowAsOffer = FTexts.GetNationalText(
        "FrmWordlark.m_aMShowAsOffer",
        "The character %1 cannot be stored in this file's encoding (%2). Show the file as %3, "
        "which can hold it? The bytes in the file stay as they are, but letters beyond plain "
        "ASCII may then look different.");
    m_aMShowAsDeclined = FTexts.GetNationalText(
        "FrmWordlark.m_aMShowAsDeclined",
        "%1 was not put in: this file's encoding (%2) cannot store it, and the file is still "
        "shown as before");
    // The code pages named with the languages they are for.
    static const std::pair<TEncoding, const char*> scripts[] = {
        {TEncoding::Windows1250, "Windows-1250 (Central European)"},
        {TEncoding::Windows1251, "Windows-1251 (Cyrillic)"},
        {TEncoding::Windows1252, "Windows-1252 (Western)"},
        {TEncoding::Windows1253, "Windows-1253 (Greek)"},
        {TEncoding::Windows1254, "Windows-1254 (Turkish)"},
        {TEncoding::Windows1257, "Windows-1257 (Baltic)"},
    };
    for (QAction* item : FGroup->actions())
        for (const auto& [encoding, caption] : scripts)
            if (item->data().toInt() == static_cast<int>(encoding))
                item->setText(FTexts.GetNationalText(
                    "FrmWordlark." + item->objectName().toStdString(), caption));
}

void TShowAsMenu::Update() {
    // Only the bytes of a file that is not UTF-8 can be shown otherwise.
    const bool choice = FEditor->IsOpen() && !FEditor->LoadedUtf8();
    MenShowAs->setEnabled(choice);
    for (QAction* item : FGroup->actions())
        item->setChecked(choice && item->data().toInt() == static_cast<int>(FEditor->Encoding()));
}

void TShowAsMenu::ShowAs(TTextEncoding encoding) {
    if (!FEditor->IsOpen() || FEditor->LoadedUtf8()) {
        Update();
        return;
    }
    FEditor->SetEncoding(encoding);
    FChoices.Update([&](TWorkbenchChoices& choices) { choices.SetShowAs(FPath, encoding); });
    emit EncodingChanged();
}

void TShowAsMenu::OfferShowAs(char32_t character, const QString& text) {
    const TTextEncoding current = FEditor->Encoding();
    QWidget* window = FEditor->window();
    if (FEditor->LoadedUtf8()) {
        FTexts.ShowInputRefused(character, current, window);
        return;
    }
    const std::string typed =
        text.isEmpty() ? FromDisplay(QString::fromUcs4(&character, 1)) : FromDisplay(text);
    std::optional<TTextEncoding> offer;
    for (TTextEncoding encoding : EncodingsHolding(typed))
        if (encoding != TTextEncoding::Utf8 && encoding != current) {
            offer = encoding;
            break;
        }
    if (!offer) {
        FTexts.ShowInputRefused(character, current, window);
        return;
    }
    const QString question = m_aMShowAsOffer.arg(
        NamedCharacter(character), FromUtf8(EncodingName(current)), FromUtf8(EncodingName(*offer)));
    if (FTexts.DoMsgBox(question, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                        window) != QMessageBox::Yes) {
        // Nothing went in: the status line says why.
        emit StatusMessage(
            m_aMShowAsDeclined.arg(NamedCharacter(character), FromUtf8(EncodingName(current))));
        return;
    }
    ShowAs(*offer);
    if (text.isEmpty())
        return;
    // Pasted text goes in as a paste does (its line breaks made the file's);
    // typed text as typed.
    if (text == QApplication::clipboard()->text()) {
        FEditor->paste();
        return;
    }
    const std::string bytes = FromDisplay(text);
    FEditor->SendScintilla(Sci::SCI_REPLACESEL, 0UL, bytes.c_str());
    FEditor->FlushChanges();
}
