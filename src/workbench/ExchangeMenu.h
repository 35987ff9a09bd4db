// "File › Export for translators…" and "File › Import translations…": the open
// translation, checked against its reference, written as a PO file, a PO
// template or XLIFF for the translators' other tools, and a PO or XLIFF file
// edited elsewhere brought back into the editor as unsaved edits (one undo
// step; only the phrases that changed).
#pragma once

#include <QObject>
#include <QString>

#include <string>

class QAction;
class QFileDialog;
class QMenu;
class TChoicesStore;
class TInterfaceTexts;
class TSynEditor;
class TWorkbench;

class TExchangeMenu : public QObject {
    Q_OBJECT
public:
    // Adds the two items to `fileMenu`, before `before`.
    TExchangeMenu(TWorkbench& workbench, TSynEditor* editor, QMenu* fileMenu, QAction* before,
                  TInterfaceTexts& texts, TChoicesStore& choices);

    // The items are offered while a translation is open.
    void Update();
    void ApplyTexts();

    void MenExportClick();
    void MenImportClick();
    // The file dialogs, made when first needed.
    QFileDialog* OpdExport();
    QFileDialog* OpdImport();

    QAction* MenExport = nullptr;
    QAction* MenImport = nullptr;

signals:
    void StatusMessage(const QString& text);

private:
    // Where the dialogs start: the folder last chosen in them, else the
    // translation's own.
    std::string StartFolder() const;

    TWorkbench& FWorkbench;
    TSynEditor* FEditor;
    TInterfaceTexts& FTexts;
    TChoicesStore& FChoices;
    QFileDialog* FOpdExport = nullptr;
    QFileDialog* FOpdImport = nullptr;
    QString m_aMExported, m_aMImported, m_aMImportNothing, m_aMImportNotes, m_aMImportMissingKey,
        m_aMExchangeFailed;
};
