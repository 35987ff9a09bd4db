// TLanguageMenu: "View › Interface language", the program's own languages as
// its catalogue lists them, the one in use checked.
#pragma once

#include <QObject>

#include <string>

class QMenu;
class TInterfaceTexts;

class TLanguageMenu : public QObject {
    Q_OBJECT
public:
    TLanguageMenu(QMenu* menu, TInterfaceTexts& texts);

    // Lists the languages of the catalogue in `programFolder`, each with an
    // access letter of its own.
    void Fill(const std::string& programFolder);

signals:
    void Chosen(const std::string& languageName);

private:
    // Moves the check mark to the language in use.
    void UpdateChecks();

    QMenu* FMenu;
    TInterfaceTexts& FTexts;
};
