// TWorkspace: what the wizard and the send dialog do with the main window's
// workspace (the open catalogue and translation). The main window implements
// it; the dialogs receive it instead of the main window itself.
#pragma once

#include <QString>

#include <string>

class QWidget;

class TWorkspace {
public:
    virtual ~TWorkspace() = default;

    // The folders computed when the program starts.
    virtual const std::string& ProgramFolder() const = 0;
    virtual const std::string& LocalMakerFolder() const = 0;
    virtual const std::string& RoamingMakerFolder() const = 0;

    // Whether the editor or the list holds unsaved changes, and the question
    // whether to discard them, asked over `owner`: true to go on.
    virtual bool IsModified() const = 0;
    virtual bool AskDiscard(QWidget* owner) = 0;

    // The wizard's hand-over.
    virtual bool LoadCatalogue(const std::string& path) = 0;
    virtual void SetCataloguePath(const std::string& path) = 0;
    virtual void SetProgramName(const std::string& name) = 0;
    virtual void RememberCatalogue(const std::string& path) = 0;
    virtual bool OpenTranslation(const std::string& translationPath,
                                 const std::string& settingsFilePath) = 0;
    virtual bool AddTranslation(const std::string& languageName, const std::string& masterPath) = 0;
    // Says on the status line that the wizard handed `what` over.
    virtual void ShowHandedOver(const QString& what) = 0;

    // The files "Send" offers: the translation (none while the editor is
    // empty) and the catalogue.
    virtual std::string TranslationToSend() const = 0;
    virtual std::string CataloguePath() const = 0;

    // The status line: what the last command did, and what it says now.
    virtual void ShowStatus(const QString& text) = 0;
    virtual QString StatusText() const = 0;
};
