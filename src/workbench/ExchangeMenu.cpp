#include "workbench/ExchangeMenu.h"

#include "editor/LineEdits.h"
#include "editor/SynEditor.h"
#include "initfile/WorkbenchChoices.h"
#include "platform/FileIO.h"
#include "platform/Platform.h"
#include "texts/Guarded.h"
#include "texts/InterfaceTexts.h"
#include "texts/MenuItems.h"
#include "texts/QtText.h"
#include "texts/Registration.h"
#include "workbench/ExchangeMarks.h"
#include "workbench/PhraseMarks.h"
#include "workbench/PoFile.h"
#include "workbench/Workbench.h"
#include "workbench/XliffReader.h"
#include "workbench/XliffWriter.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QMenu>

#include <stdexcept>

namespace {
// The dialogs' folder in the choices file.
const char* const FolderDialog = "exchange";

// The formats offered, in the order of the export dialog's filters.
enum class TFormat { Po, Pot, Xliff };
const char* const ExportFilters[] = {"PO (*.po)", "PO template (*.pot)",
                                     "XLIFF 1.2 (*.xlf *.xliff)"};

TFormat FormatOf(const QString& path, const QString& filter) {
    const QString lower = path.toLower();
    if (lower.endsWith(".pot"))
        return TFormat::Pot;
    if (lower.endsWith(".xlf") || lower.endsWith(".xliff"))
        return TFormat::Xliff;
    if (lower.endsWith(".po"))
        return TFormat::Po;
    if (filter == ExportFilters[1])
        return TFormat::Pot;
    return filter == ExportFilters[2] ? TFormat::Xliff : TFormat::Po;
}

// The name of a listed translation as UTF-8 (catalogue names are bytes).
std::string NameOf(const std::vector<TCatalogueEntry>& listed, const std::string& path) {
    for (const TCatalogueEntry& entry : listed)
        if (entry.Path == path)
            return FromDisplay(ToDisplay(entry.Name));
    return {};
}
} // namespace

TExchangeMenu::TExchangeMenu(TWorkbench& workbench, TSynEditor* editor, QMenu* fileMenu,
                             QAction* before, TInterfaceTexts& texts, TChoicesStore& choices)
    : QObject(&workbench), FWorkbench(workbench), FEditor(editor), FTexts(texts),
      FChoices(choices) {
    MenExport = new QAction("Export for translators…", fileMenu);
    MenExport->setObjectName("MenExport");
    MenImport = new QAction("Import translations…", fileMenu);
    MenImport->setObjectName("MenImport");
    fileMenu->insertAction(before, MenExport);
    fileMenu->insertAction(before, MenImport);
    fileMenu->insertSeparator(MenExport);
    texts.RegisterAccessKey(MenExport, "FrmWordlark.MenExport.AccessKey", "E");
    texts.RegisterAccessKey(MenImport, "FrmWordlark.MenImport.AccessKey", "I");
    ConnectCommand(MenExport, &QAction::triggered, this, &TExchangeMenu::MenExportClick);
    ConnectCommand(MenImport, &QAction::triggered, this, &TExchangeMenu::MenImportClick);
    connect(&texts, &TInterfaceTexts::LanguageChanged, this, &TExchangeMenu::ApplyTexts);
    connect(&workbench, &TWorkbench::OpenChanged, this, &TExchangeMenu::Update);
    connect(this, &TExchangeMenu::StatusMessage, &workbench, &TWorkbench::StatusMessage);
    ApplyTexts();
    Update();
}

void TExchangeMenu::Update() {
    MenExport->setEnabled(FEditor->IsOpen());
    MenImport->setEnabled(FEditor->IsOpen());
}

void TExchangeMenu::ApplyTexts() {
    const std::pair<QString*, std::pair<const char*, const char*>> texts[] = {
        {&m_aMExported, {"FrmWordlark.m_aMExported", "Exported %1 phrases (%2 translated) to %3"}},
        {&m_aMImported, {"FrmWordlark.m_aMImported", "Brought back %1 phrases from %2"}},
        {&m_aMImportNothing,
         {"FrmWordlark.m_aMImportNothing", "%1 holds no phrase that differs from the translation"}},
        {&m_aMImportNotes,
         {"FrmWordlark.m_aMImportNotes", "Not everything in %1 could be brought back:"}},
        {&m_aMImportMissingKey,
         {"FrmWordlark.m_aMImportMissingKey",
          "The translation has no key %1; its phrase was not brought back"}},
        {&m_aMExchangeFailed, {"FrmWordlark.m_aMExchangeFailed", "%1 cannot be read: %2"}},
    };
    for (const auto& [member, text] : texts)
        *member = FTexts.GetNationalText(text.first, text.second);
    MenExport->setText(FTexts.GetNationalText("FrmWordlark.MenExport", "Export for translators…"));
    MenImport->setText(FTexts.GetNationalText("FrmWordlark.MenImport", "Import translations…"));
}

std::string TExchangeMenu::StartFolder() const {
    const std::string folder = FChoices.Get().DialogFolder(FolderDialog);
    if (!folder.empty() && platform::DirectoryExists(folder))
        return folder;
    return platform::ExtractFilePath(FWorkbench.Translation().TranslationPath);
}

QFileDialog* TExchangeMenu::OpdExport() {
    if (!FOpdExport) {
        FOpdExport = new QFileDialog(FEditor->window());
        FOpdExport->setObjectName("OpdExport");
        FOpdExport->setAcceptMode(QFileDialog::AcceptSave);
        FOpdExport->setFileMode(QFileDialog::AnyFile);
        QStringList filters;
        for (const char* filter : ExportFilters)
            filters << filter;
        FOpdExport->setNameFilters(filters);
    }
    return FOpdExport;
}

QFileDialog* TExchangeMenu::OpdImport() {
    if (!FOpdImport) {
        FOpdImport = new QFileDialog(FEditor->window());
        FOpdImport->setObjectName("OpdImport");
        FOpdImport->setAcceptMode(QFileDialog::AcceptOpen);
        FOpdImport->setFileMode(QFileDialog::ExistingFile);
        FOpdImport->setNameFilter("PO, XLIFF (*.po *.xlf *.xliff)");
    }
    return FOpdImport;
}

void TExchangeMenu::MenExportClick() {
    if (!FEditor->IsOpen())
        return;
    const TWorkbench::TOpened& open = FWorkbench.Translation();
    const std::string fileName = platform::ExtractFileName(open.TranslationPath);
    QFileDialog* dialog = OpdExport();
    dialog->setWindowTitle(MenExport->text());
    dialog->setDirectory(PathToQt(StartFolder()));
    const std::size_t dot = fileName.rfind('.');
    dialog->selectFile(PathToQt(fileName.substr(0, dot)) + ".po");
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const QString chosen = dialog->selectedFiles().first();
    const std::string path = PathFromQt(chosen);
    FChoices.Update([&](TWorkbenchChoices& choices) {
        choices.SetDialogFolder(FolderDialog, platform::ExtractFilePath(path));
    });

    // The editor's text as it would be saved, and the reference as it is shown.
    const std::string bytes = FEditor->Bytes();
    const TExchangeText translation{bytes, FEditor->Encoding(), fileName};
    const std::string referencePath = FWorkbench.ReferencePath();
    std::string referenceBytes;
    if (!referencePath.empty())
        platform::ReadFileBytes(referencePath, referenceBytes);
    const TExchangeText reference{referenceBytes,
                                  ShownEncoding(FChoices.Get(), referencePath, referenceBytes),
                                  platform::ExtractFileName(referencePath)};
    const std::string language = NameOf(open.Listed, open.TranslationPath);
    TExchangeHeader header;
    header.Original = FromDisplay(PathToQt(fileName));
    header.Language = LanguageCode(language).value_or(language);
    header.SourceLanguage = NameOf(open.Listed, referencePath);
    header.Generator = std::string("Wordlark ") + WordlarkVersionNumber;
    header.Date = ExchangeDateNow();

    const TFormat format = FormatOf(chosen, dialog->selectedNameFilter());
    // Phrases marked as to be checked travel flagged, those marked as
    // translated as translated.
    std::vector<TExchangeUnit> units =
        format == TFormat::Pot
            ? TemplateUnits(reference)
            : TranslationUnits(translation, reference, ExportChoicesOf(FWorkbench.Checker()));
    std::string text;
    if (format == TFormat::Xliff)
        text = WriteXliff(header, units);
    else
        text = WritePo(header, units, format == TFormat::Pot);
    if (const std::string problem = platform::ReplaceFileBytes(path, text); !problem.empty())
        throw std::runtime_error(problem);
    std::size_t translated = 0;
    for (const TExchangeUnit& unit : units)
        translated += unit.Target.empty() ? 0 : 1;
    emit StatusMessage(m_aMExported.arg(units.size()).arg(translated).arg(chosen));
}

void TExchangeMenu::MenImportClick() {
    if (!FEditor->IsOpen())
        return;
    QFileDialog* dialog = OpdImport();
    dialog->setWindowTitle(MenImport->text());
    dialog->setDirectory(PathToQt(StartFolder()));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const QString chosen = dialog->selectedFiles().first();
    const std::string path = PathFromQt(chosen);
    FChoices.Update([&](TWorkbenchChoices& choices) {
        choices.SetDialogFolder(FolderDialog, platform::ExtractFilePath(path));
    });
    std::string fileBytes;
    if (!platform::ReadFileBytes(path, fileBytes))
        throw std::runtime_error("Cannot open file \"" + path + "\".");
    TImportResult result;
    try {
        result = ImportExchangeFile(FEditor->Bytes(), FEditor->Encoding(), fileBytes);
    } catch (const TExchangeFileError& error) {
        FTexts.DoMsgBox(m_aMExchangeFailed.arg(chosen, FromUtf8(error.what())),
                        QMessageBox::Critical, QMessageBox::Ok, FEditor->window());
        return;
    }
    if (!result.Changed.empty())
        ReplaceChangedLines(*FEditor, result.Text);
    // The flags of the phrases that came back become their marks.
    FWorkbench.Marks().Mark(
        MarksAfterImport(FWorkbench.Checker(), result.Translated, result.ToBeChecked));
    emit StatusMessage(result.Changed.empty()
                           ? m_aMImportNothing.arg(chosen)
                           : m_aMImported.arg(result.Changed.size()).arg(chosen));
    // What could not be brought back, entry by entry.
    QStringList notes;
    for (const TImportNote& note : result.Notes) {
        QString text = FTexts.GetNationalText("FrmWordlark.m_aMImport" +
                                                  std::string(ImportNoteName(note.Kind)),
                                              FromUtf8(ImportNoteDefaultText(note.Kind)));
        for (const std::string& param : note.Params)
            text = text.arg(FromUtf8(param));
        notes << (note.Line ? QString::number(note.Line) + ": " : QString()) + FromUtf8(note.Key) +
                     ": " + text;
    }
    for (const TExchangeUnit& unit : result.MissingKeys)
        notes << m_aMImportMissingKey.arg(FromUtf8(unit.Key));
    if (notes.isEmpty())
        return;
    constexpr qsizetype Shown = 20;
    const qsizetype more = notes.size() - Shown;
    if (more > 0) {
        notes = notes.mid(0, Shown);
        notes << QString("… (+%1)").arg(more);
    }
    FTexts.DoMsgBox(m_aMImportNotes.arg(chosen) + "\n\n" + notes.join('\n'),
                    QMessageBox::Information, QMessageBox::Ok, FEditor->window());
}
