// "View › Show as": the code page a translation file that is not UTF-8 is
// shown in. The bytes stay exactly as they are; only the letters they show and
// the way typed letters are stored change. The choice is kept per file in the
// choices file, and typing a letter the file's code page cannot hold offers to
// show the file in one that can.
#pragma once

#include "encoding/TextEncoding.h"

#include <QObject>
#include <QString>

#include <string>

class QActionGroup;
class QMenu;
class TChoicesStore;
class TInterfaceTexts;
class TSynEditor;

class TShowAsMenu : public QObject {
    Q_OBJECT
public:
    // Adds the submenu to `viewMenu`, one item per encoding.
    TShowAsMenu(TSynEditor* editor, QMenu* viewMenu, TInterfaceTexts& texts, TChoicesStore& choices,
                QObject* parent);

    // The file whose choice is kept.
    void SetFile(const std::string& path) { FPath = path; }
    // Offers the menu while the editor holds a file that is not UTF-8, the
    // encoding it is shown in checked.
    void Update();
    void ShowAs(TTextEncoding encoding);
    // Text typed or pasted that the file's encoding cannot hold: where another
    // code page can hold it, offers to show the file in that one and puts the
    // text in; else says why it was refused.
    void OfferShowAs(char32_t character, const QString& text);
    void ApplyTexts();

    QMenu* MenShowAs = nullptr;

signals:
    // The editor shows its bytes in another encoding now.
    void EncodingChanged();
    // What became of typed text, for the status line.
    void StatusMessage(const QString& text);

private:
    TSynEditor* FEditor;
    TInterfaceTexts& FTexts;
    TChoicesStore& FChoices;
    QActionGroup* FGroup;
    std::string FPath;
    QString m_aMShowAsOffer, m_aMShowAsDeclined;
};
