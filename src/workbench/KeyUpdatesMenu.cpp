#include "workbench/KeyUpdatesMenu.h"

#include "editor/SynEditor.h"
#include "texts/Guarded.h"
#include "texts/InterfaceTexts.h"
#include "texts/MenuItems.h"
#include "texts/QtText.h"
#include "workbench/KeyUpdates.h"
#include "workbench/Workbench.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

using Sci = QsciScintillaBase;

namespace {
// A long list in a message shows its first entries and how many more there are.
QString Listed(QStringList lines) {
    constexpr qsizetype Shown = 20;
    const qsizetype more = lines.size() - Shown;
    if (more > 0) {
        lines = lines.mid(0, Shown);
        lines << QString("… (+%1)").arg(more);
    }
    return lines.join('\n');
}
} // namespace

TKeyUpdatesMenu::TKeyUpdatesMenu(TWorkbench& workbench, TSynEditor* editor, QMenu* translationMenu,
                                 TInterfaceTexts& texts)
    : QObject(&workbench), FWorkbench(workbench), FEditor(editor), FTexts(texts) {
    translationMenu->addSeparator();
    MenAddMissingKeys = MakeAction(translationMenu, "MenAddMissingKeys", "Add missing keys");
    MenRemoveObsoleteKeys =
        MakeAction(translationMenu, "MenRemoveObsoleteKeys", "Remove obsolete keys…");
    texts.RegisterAccessKey(MenAddMissingKeys, "FrmWordlark.MenAddMissingKeys.AccessKey", "i");
    texts.RegisterAccessKey(MenRemoveObsoleteKeys, "FrmWordlark.MenRemoveObsoleteKeys.AccessKey",
                            "s");
    ConnectCommand(MenAddMissingKeys, &QAction::triggered, this,
                   &TKeyUpdatesMenu::MenAddMissingKeysClick);
    ConnectCommand(MenRemoveObsoleteKeys, &QAction::triggered, this,
                   &TKeyUpdatesMenu::MenRemoveObsoleteKeysClick);
    // Offered while a translation is open.
    connect(&workbench, &TWorkbench::OpenChanged, this, [this](bool open) {
        MenAddMissingKeys->setEnabled(open);
        MenRemoveObsoleteKeys->setEnabled(open);
    });
    MenAddMissingKeys->setEnabled(false);
    MenRemoveObsoleteKeys->setEnabled(false);
    connect(this, &TKeyUpdatesMenu::StatusMessage, &workbench, &TWorkbench::StatusMessage);
    connect(&texts, &TInterfaceTexts::LanguageChanged, this, &TKeyUpdatesMenu::ApplyTexts);
    ApplyTexts();
}

void TKeyUpdatesMenu::ApplyTexts() {
    MenAddMissingKeys->setText(
        FTexts.GetNationalText("FrmWordlark.MenAddMissingKeys", "Add missing keys"));
    MenRemoveObsoleteKeys->setText(
        FTexts.GetNationalText("FrmWordlark.MenRemoveObsoleteKeys", "Remove obsolete keys…"));
    const std::pair<QString*, std::pair<const char*, const char*>> texts[] = {
        {&m_aMKeysAdded,
         {"FrmWordlark.m_aMKeysAdded", "Added %1 keys of the reference (not saved yet)"}},
        {&m_aMNoKeyMissing,
         {"FrmWordlark.m_aMNoKeyMissing", "The translation has every key of the reference"}},
        {&m_aMKeysUnencodable,
         {"FrmWordlark.m_aMKeysUnencodable",
          "These keys were left out: their reference phrase holds a letter that this file's "
          "encoding (%1) cannot store."}},
        {&m_aMRemoveKeys,
         {"FrmWordlark.m_aMRemoveKeys",
          "The reference does not have these %1 keys. Remove their lines from the translation?"}},
        {&m_aMKeysRemoved,
         {"FrmWordlark.m_aMKeysRemoved", "Removed %1 keys the reference does not have (not "
                                         "saved yet)"}},
        {&m_aMNoKeyObsolete,
         {"FrmWordlark.m_aMNoKeyObsolete", "The translation has no key that the reference lacks"}},
        {&m_aMNoReference,
         {"FrmWordlark.m_aMNoReference", "There is no reference to compare the translation with"}},
    };
    for (const auto& [member, text] : texts)
        *member = FTexts.GetNationalText(text.first, text.second);
}

bool TKeyUpdatesMenu::CanCompare() {
    if (!FEditor->IsOpen())
        return false;
    if (!FWorkbench.Checker().Reference()) {
        emit StatusMessage(m_aMNoReference);
        return false;
    }
    return true;
}

void TKeyUpdatesMenu::MenAddMissingKeysClick() {
    if (!CanCompare())
        return;
    const TMissingKeyInsertions found = MissingKeyInsertions(FEditor->Bytes(), FEditor->Encoding(),
                                                             *FWorkbench.Checker().Reference());
    std::size_t added = 0;
    if (!found.Insertions.empty()) {
        // The last place first, so that the lines of the others stay where they are.
        FEditor->BulkEditAsIs([&] {
            for (auto at = found.Insertions.rbegin(); at != found.Insertions.rend(); ++at) {
                const auto line = static_cast<unsigned long>(at->Line);
                const long position = FEditor->SendScintilla(
                    at->BeforeLine ? Sci::SCI_POSITIONFROMLINE : Sci::SCI_GETLINEENDPOSITION, line);
                FEditor->SendScintilla(Sci::SCI_INSERTTEXT, static_cast<unsigned long>(position),
                                       at->Text.c_str());
                added += at->Keys.size();
            }
        });
    }
    if (added)
        emit StatusMessage(m_aMKeysAdded.arg(added));
    if (found.Unencodable.empty()) {
        if (!added)
            emit StatusMessage(m_aMNoKeyMissing);
        return;
    }
    QStringList lines;
    for (const TUnencodableKey& key : found.Unencodable)
        lines << FromUtf8(key.Key) + ": " + NamedCharacter(key.Character);
    FTexts.DoMsgBox(m_aMKeysUnencodable.arg(FromUtf8(EncodingName(FEditor->Encoding()))) + "\n\n" +
                        Listed(lines),
                    QMessageBox::Warning, QMessageBox::Ok, FEditor->window());
}

void TKeyUpdatesMenu::MenRemoveObsoleteKeysClick() {
    if (!CanCompare())
        return;
    const std::vector<TKeyRemoval> removals = ObsoleteKeyRemovals(
        FEditor->Bytes(), FEditor->Encoding(), *FWorkbench.Checker().Reference());
    QStringList keys;
    for (const TKeyRemoval& removal : removals)
        for (const std::string& key : removal.Keys)
            keys << FromUtf8(key);
    if (keys.isEmpty()) {
        emit StatusMessage(m_aMNoKeyObsolete);
        return;
    }
    if (FTexts.DoMsgBox(m_aMRemoveKeys.arg(keys.size()) + "\n\n" + Listed(keys),
                        QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                        FEditor->window()) != QMessageBox::Yes)
        return;
    FEditor->BulkEditAsIs([&] {
        for (auto run = removals.rbegin(); run != removals.rend(); ++run) {
            // The lines with the line breaks after them; the last lines of the
            // text with the one before them.
            const auto lines = static_cast<long>(FEditor->SendScintilla(Sci::SCI_GETLINECOUNT));
            const auto end = static_cast<long>(run->EndLine);
            long from = FEditor->SendScintilla(Sci::SCI_POSITIONFROMLINE,
                                               static_cast<unsigned long>(run->FirstLine));
            long to = end < lines ? FEditor->SendScintilla(Sci::SCI_POSITIONFROMLINE,
                                                           static_cast<unsigned long>(end))
                                  : FEditor->SendScintilla(Sci::SCI_GETLENGTH);
            if (end >= lines && run->FirstLine > 0)
                from = FEditor->SendScintilla(Sci::SCI_GETLINEENDPOSITION,
                                              static_cast<unsigned long>(run->FirstLine - 1));
            FEditor->SendScintilla(Sci::SCI_DELETERANGE, static_cast<unsigned long>(from),
                                   to - from);
        }
    });
    emit StatusMessage(m_aMKeysRemoved.arg(keys.size()));
}
