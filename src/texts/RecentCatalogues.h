// TRecentCatalogues: the File menu's list of the catalogues opened last, each
// with the program it was opened for, kept in the data folder's choices file.
#pragma once

#include <QObject>

#include <string>

class QMenu;
class TChoicesStore;

class TRecentCatalogues : public QObject {
    Q_OBJECT
public:
    // Makes the list's items in `menu` (hidden while unused), numbered as
    // their access letters.
    TRecentCatalogues(QMenu* menu, TChoicesStore& choices);

    // Puts the catalogue at the head of the list, with the program chosen for
    // it (empty when it was opened by hand).
    void Remember(const std::string& path, const std::string& programName);
    // Takes a catalogue that is gone or lists nothing off the list.
    void Forget(const std::string& path);
    // Shows the list as the choices hold it.
    void Refill();
    // Where the catalogue's file dialog starts: the folder last chosen in it,
    // else that of the catalogue opened last; empty when neither is there.
    std::string OpenFolder() const;
    void SetOpenFolder(const std::string& folder);

signals:
    // An item was chosen.
    void Chosen(const std::string& path, const std::string& programName);

private:
    QMenu* FMenu;
    TChoicesStore& FChoices;
};
