// "Translation › Add missing keys" and "Translation › Remove obsolete keys…":
// a translation brought up to date with a newer reference in the editor, as
// unsaved edits of one undo step each. Adding puts each key the reference has
// and the translation lacks in at its place, as the reference's line (waiting
// for its translation); removing lists the keys the reference no longer has
// and takes their lines out when the translator agrees.
#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class TInterfaceTexts;
class TSynEditor;
class TWorkbench;

class TKeyUpdatesMenu : public QObject {
    Q_OBJECT
public:
    // Adds the two items to `translationMenu`. The reference is the one the
    // workbench checks the editor's text against.
    TKeyUpdatesMenu(TWorkbench& workbench, TSynEditor* editor, QMenu* translationMenu,
                    TInterfaceTexts& texts);

    void ApplyTexts();
    void MenAddMissingKeysClick();
    void MenRemoveObsoleteKeysClick();

    QAction* MenAddMissingKeys = nullptr;
    QAction* MenRemoveObsoleteKeys = nullptr;

signals:
    void StatusMessage(const QString& text);

private:
    // The editor holds a translation with a reference to compare it with;
    // says so when not.
    bool CanCompare();

    TWorkbench& FWorkbench;
    TSynEditor* FEditor;
    TInterfaceTexts& FTexts;
    QString m_aMKeysAdded, m_aMNoKeyMissing, m_aMKeysUnencodable, m_aMRemoveKeys, m_aMKeysRemoved,
        m_aMNoKeyObsolete, m_aMNoReference;
};
