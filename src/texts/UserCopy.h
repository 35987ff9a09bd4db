// TUserCopy: the user's own copy of a translation (see initfile/UserCopyFolder.h)
// as the main window works with it. When "Save" cannot write the translation or
// the catalogue where they are installed (no permission, a read-only file
// system), it asks whether to save them in the user's own folder instead; from
// then on the main window works on that copy: what it saves goes there under
// the files' own names, "Prepare to send" sends those files, the title and the
// status line say where they are, and nothing is written into the installation
// folder. When the installed catalogue is opened again and its copy is there,
// it asks whether to continue with the copy or use the installed files.
//
// The main window asks it at a few points (opening a catalogue or a
// translation, saving, showing the title); it keeps which copy is worked on.
#pragma once

#include "initfile/Catalogue.h"
#include "initfile/UserCopyFolder.h"

#include <QObject>
#include <QString>

#include <string>
#include <vector>

class QWidget;
class TChoicesStore;
class TElidedLabel;
class TInterfaceTexts;
class TStatusLine;

class TUserCopy : public QObject {
    Q_OBJECT
public:
    // Asks its questions over `window`; puts its place into the status line's
    // permanent area.
    TUserCopy(TInterfaceTexts& texts, TChoicesStore& choices, TStatusLine& statusLine,
              QWidget* window);

    // The data folder (with a trailing separator) the copies are kept in.
    void SetDataFolder(const std::string& dataFolder) { FDataFolder = dataFolder; }

    // Whether the main window works on a copy, and which.
    bool Active() const { return !FCopy.Empty(); }
    const TUserCopyFolder& Copy() const { return FCopy; }

    // A catalogue is opened (Browse, a recent catalogue, the wizard): the
    // catalogue to load. One in a copy's folder is that copy's; for an
    // installed catalogue with a copy, the user chooses between the copy and
    // the installed files; otherwise the installed files are worked on.
    std::string ChooseCatalogue(const std::string& path);
    // The catalogue's entries as they are worked on (see
    // TUserCopyFolder::Resolved).
    std::vector<TCatalogueEntry> Resolved(std::vector<TCatalogueEntry> entries) const {
        return FCopy.Resolved(std::move(entries));
    }
    // The catalogue shown and saved for `path`: the copy's in place of the
    // installed one it belongs to.
    std::string ShownCatalogue(const std::string& path) const;
    // The catalogue remembered among the recent ones for `path`: the installed
    // one in place of its copy, so that opening it again offers the choice.
    std::string RememberedCatalogue(const std::string& path) const;
    // The translation opened for `path`: the copy's file of that name, when
    // the copy holds one.
    std::string OpenedTranslation(const std::string& path) const;
    // Where the translation at `path` is saved: in the copy's folder while a
    // copy is worked on, and what is kept for the file (Show as, master,
    // marks) goes with it; else `path` itself.
    std::string SavePath(const std::string& path);

    // A write of `failedPath` failed, as LastWriteError tells. When it was
    // refused (no permission, read-only) and no copy is worked on yet, asks
    // whether to save in the user's own folder; true when the user agreed and
    // the copy of the catalogue at `cataloguePath`, named after
    // `programName`, is now worked on (the catalogue's own choices go with
    // it). A folder that cannot be made is said, and gives false.
    bool OfferAfterRefusal(const std::string& failedPath, const std::string& cataloguePath,
                           const std::string& programName);

    // What the title adds while a copy is worked on; empty otherwise.
    QString CaptionPart() const;
    void ApplyTexts();

    // The copy's place in the status line's permanent area, shown while a
    // copy is worked on.
    TElidedLabel* LblUserCopy = nullptr;

signals:
    // The copy worked on changed: the title and status line say so again.
    void Changed();

private:
    void Use(const TUserCopyFolder& copy);
    QString LastSaved(const TUserCopyFolder& copy) const;

    TInterfaceTexts& FTexts;
    TChoicesStore& FChoices;
    QWidget* FWindow;
    std::string FDataFolder;
    TUserCopyFolder FCopy;
    QString m_aMUserCopyOffer, m_aMUserCopyReplaces, m_aMUserCopyFound, m_aMUserCopyFailed,
        m_aCaptionUserCopy, BtnSaveInOwnFolder, BtnContinueCopy, BtnUseInstalled, LblUserCopyText;
};
