// Starts the program in-process, as main() does, on a sandboxed platform: the
// executable in <temp>/bin/, every shell folder under <temp>/.
#pragma once

#include "app/FrmWordlark.h"
#include "app/Startup.h"
#include "support/FakePlatform.h"
#include "support/Modal.h"
#include "support/TempDir.h"
#include "wizard/FrmWizard.h"

#include <QApplication>
#include <QFileDialog>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class WordlarkFixture : public ::testing::Test {
protected:
    WordlarkFixture() : Fake(Dir.Path()) {
        std::filesystem::create_directories(Dir / "bin");
        std::filesystem::create_directories(Dir / "local");
        std::filesystem::create_directories(Dir / "roaming");
        std::filesystem::create_directories(Dir / "common");
    }
    ~WordlarkFixture() override {
        if (Frm) {
            Frm->Modified = false;
            Frm->hide();
        }
    }

    // Copies the program's shipped files beside the sandboxed executable.
    void InstallProgramFiles() {
        std::filesystem::copy(WORDLARK_DATA_DIR, Dir / "bin",
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    }

    // Installs the demo program's catalogue and translations; returns the
    // catalogue's path.
    std::string InstallDemo(const std::string& folder = "Snapglass") {
        std::filesystem::create_directories(Dir / folder);
        std::filesystem::copy(std::string(WORDLARK_DEMO_DIR) + "/Snapglass", Dir / folder,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        return Dir / (folder + "/Languages.ini");
    }

    void Start() {
        Windows = CreateWordlarkWindows();
        Frm = Windows.FrmWordlark.get();
        // Qt's own file dialog: a desktop's native one cannot be answered in-process.
        Frm->OpdInitFile()->setOption(QFileDialog::DontUseNativeDialog);
    }

    // Shows the main window. Its first show opens the wizard modally, which
    // `wizardAnswer` answers; without one the wizard is cancelled, so that the
    // main window is shown as the user sees it after the wizard.
    void Show(ModalAnswers::Answer wizardAnswer = {}) {
        ModalAnswers wizard;
        wizard.Then(wizardAnswer ? std::move(wizardAnswer)
                                 : [](QWidget* dialog) { ClickNamedButton(dialog, "BtnCancel"); });
        Frm->show();
        QApplication::processEvents();
    }

    TFrmWizard* Wizard() const { return Windows.FrmWizard; }

    // Chooses a file in the main window's file-open dialog.
    static ModalAnswers::Answer ChooseFile(const std::string& path);

    // Selects the translation list's row with this caption.
    void SelectTranslation(const QString& name);

    TempDir Dir;
    ScopedFakePlatform Fake;
    TWordlarkWindows Windows;
    TFrmWordlark* Frm = nullptr;
};
