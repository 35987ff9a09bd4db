#include "workbench/PhraseMarks.h"

#include "editor/SynEditor.h"
#include "initfile/WorkbenchChoices.h"
#include "texts/Guarded.h"
#include "texts/InterfaceTexts.h"
#include "texts/MenuItems.h"
#include "texts/QtText.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <functional>
#include <tuple>

namespace {
// Marking keys: Ctrl with Return ("this one is done"), Shift for "look at it
// again", Alt for taking the mark away; the keypad's Enter as well.
QList<QKeySequence> MarkKeys(Qt::KeyboardModifiers modifiers) {
    modifiers |= Qt::ControlModifier;
    return {QKeySequence(modifiers | Qt::Key_Return), QKeySequence(modifiers | Qt::Key_Enter)};
}
} // namespace

TPhraseMarks::TPhraseMarks(TSynEditor* editor, TTranslationChecker& checker, QMenu* translationMenu,
                           TInterfaceTexts& texts, TChoicesStore& choices, QObject* parent)
    : QObject(parent), FEditor(editor), FChecker(checker), FTexts(texts), FChoices(choices) {
    translationMenu->addSeparator();
    MenMarkTranslated = MakeAction(translationMenu, "MenMarkTranslated", "Mark as translated");
    MenMarkToBeChecked = MakeAction(translationMenu, "MenMarkToBeChecked", "Mark as to be checked");
    MenClearMark = MakeAction(translationMenu, "MenClearMark", "Clear mark");
    MenNextToBeChecked = MakeAction(translationMenu, "MenNextToBeChecked",
                                    "Next phrase to be checked", QKeySequence(Qt::Key_F9));
    MenPreviousToBeChecked =
        MakeAction(translationMenu, "MenPreviousToBeChecked", "Previous phrase to be checked",
                   QKeySequence(Qt::SHIFT | Qt::Key_F9));
    MenMarkTranslated->setShortcuts(MarkKeys(Qt::NoModifier));
    MenMarkToBeChecked->setShortcuts(MarkKeys(Qt::ShiftModifier));
    MenClearMark->setShortcuts(MarkKeys(Qt::AltModifier));

    const std::tuple<QAction*, const char*, const char*> letters[] = {
        {MenMarkTranslated, "FrmWordlark.MenMarkTranslated.AccessKey", "T"},
        {MenMarkToBeChecked, "FrmWordlark.MenMarkToBeChecked.AccessKey", "C"},
        {MenClearMark, "FrmWordlark.MenClearMark.AccessKey", "l"},
        {MenNextToBeChecked, "FrmWordlark.MenNextToBeChecked.AccessKey", "h"},
        {MenPreviousToBeChecked, "FrmWordlark.MenPreviousToBeChecked.AccessKey", "v"},
    };
    for (const auto& [item, key, letter] : letters)
        texts.RegisterAccessKey(item, key, letter);

    const auto command = [this](QAction* item, std::function<void()> run) {
        connect(item, &QAction::triggered, this, [run] { Guarded(run); });
    };
    command(MenMarkTranslated, [this] { MarkCaretPhrase(TPhraseStatus::Translated); });
    command(MenMarkToBeChecked, [this] { MarkCaretPhrase(TPhraseStatus::ToBeChecked); });
    command(MenClearMark, [this] { MarkCaretPhrase(TPhraseStatus::None); });
    command(MenNextToBeChecked, [this] { GoToToBeChecked(true); });
    command(MenPreviousToBeChecked, [this] { GoToToBeChecked(false); });
    // An edit's marks follow it through the undo history; they are set once
    // the editor has finished undoing or redoing the edit.
    connect(editor, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int, int type, const char*, int, int, int, int, int, int token, int) {
                using Sci = QsciScintillaBase;
                if (!(type & Sci::SC_MOD_CONTAINER) ||
                    !(type & (Sci::SC_PERFORMED_UNDO | Sci::SC_PERFORMED_REDO)))
                    return;
                const bool undone = type & Sci::SC_PERFORMED_UNDO;
                QMetaObject::invokeMethod(
                    this, [this, token, undone] { EditStepDone(token, undone); },
                    Qt::QueuedConnection);
            });
    connect(&texts, &TInterfaceTexts::LanguageChanged, this, &TPhraseMarks::ApplyTexts);
    ApplyTexts();
    SetFile({});
}

void TPhraseMarks::AddEditorMenuItems(QMenu* popup) {
    popup->addSeparator();
    PopMarkTranslated = MakeAction(popup, "PopMarkTranslated", MenMarkTranslated->text());
    PopMarkToBeChecked = MakeAction(popup, "PopMarkToBeChecked", MenMarkToBeChecked->text());
    PopClearMark = MakeAction(popup, "PopClearMark", MenClearMark->text());
    // The keys shown beside the items; they work through the menu bar's items.
    const std::tuple<QAction*, QAction*, const char*, const char*> items[] = {
        {PopMarkTranslated, MenMarkTranslated, "FrmWordlark.PopMarkTranslated.AccessKey", "M"},
        {PopMarkToBeChecked, MenMarkToBeChecked, "FrmWordlark.PopMarkToBeChecked.AccessKey", "k"},
        {PopClearMark, MenClearMark, "FrmWordlark.PopClearMark.AccessKey", "l"},
    };
    for (const auto& [item, menuItem, key, letter] : items) {
        item->setShortcut(menuItem->shortcut());
        item->setShortcutContext(Qt::WidgetShortcut);
        item->setEnabled(menuItem->isEnabled());
        connect(item, &QAction::triggered, menuItem, &QAction::trigger);
        FTexts.RegisterAccessKey(item, key, letter);
    }
    ApplyTexts();
}

void TPhraseMarks::ApplyTexts() {
    const std::tuple<QAction*, QAction*, const char*, const char*> items[] = {
        {MenMarkTranslated, PopMarkTranslated, "FrmWordlark.MenMarkTranslated",
         "Mark as translated"},
        {MenMarkToBeChecked, PopMarkToBeChecked, "FrmWordlark.MenMarkToBeChecked",
         "Mark as to be checked"},
        {MenClearMark, PopClearMark, "FrmWordlark.MenClearMark", "Clear mark"},
        {MenNextToBeChecked, nullptr, "FrmWordlark.MenNextToBeChecked",
         "Next phrase to be checked"},
        {MenPreviousToBeChecked, nullptr, "FrmWordlark.MenPreviousToBeChecked",
         "Previous phrase to be checked"},
    };
    for (const auto& [item, popItem, key, text] : items) {
        item->setText(FTexts.GetNationalText(key, text));
        if (popItem)
            popItem->setText(item->text());
    }
    const std::pair<QString*, std::pair<const char*, const char*>> texts[] = {
        {&m_aMMarkedTranslated, {"FrmWordlark.m_aMMarkedTranslated", "%1: marked as translated"}},
        {&m_aMMarkedToBeChecked,
         {"FrmWordlark.m_aMMarkedToBeChecked", "%1: marked as to be checked"}},
        {&m_aMMarkCleared, {"FrmWordlark.m_aMMarkCleared", "%1: mark taken away"}},
        {&m_aMNoPhraseToMark,
         {"FrmWordlark.m_aMNoPhraseToMark", "The caret's line holds no phrase to mark"}},
        {&m_aMNoneToBeChecked,
         {"FrmWordlark.m_aMNoneToBeChecked", "No phrase is marked as to be checked"}},
    };
    for (const auto& [member, text] : texts)
        *member = FTexts.GetNationalText(text.first, text.second);
}

void TPhraseMarks::SetFile(const std::string& path) {
    FPath = path;
    // The editor's undo history starts anew with another file.
    FEditMarks.clear();
    // A file's marks are shown by the whole check that follows its opening.
    FChecker.SetMarks(path.empty() ? std::vector<std::pair<std::string, TPhraseMark>>()
                                   : FChoices.Get().PhraseMarks(path),
                      !path.empty());
    for (QAction* item :
         {MenMarkTranslated, MenMarkToBeChecked, MenClearMark, MenNextToBeChecked,
          MenPreviousToBeChecked, PopMarkTranslated, PopMarkToBeChecked, PopClearMark})
        if (item)
            item->setEnabled(!path.empty());
}

void TPhraseMarks::Mark(const std::vector<std::pair<std::string, TPhraseStatus>>& marks) {
    if (FPath.empty() || marks.empty())
        return;
    TTranslationChecker::TUpdate all;
    for (const auto& [key, status] : marks) {
        const TTranslationChecker::TUpdate update = FChecker.SetMark(key, status);
        all.Lines.insert(all.Lines.end(), update.Lines.begin(), update.Lines.end());
    }
    std::sort(all.Lines.begin(), all.Lines.end());
    all.Lines.erase(std::unique(all.Lines.begin(), all.Lines.end()), all.Lines.end());
    // All marks in one change of the choices file.
    FChoices.Update([&](TWorkbenchChoices& choices) {
        for (const auto& [key, status] : marks)
            choices.SetPhraseMark(FPath, key, FChecker.Mark(key).value_or(TPhraseMark{}));
    });
    emit Changed(all);
}

void TPhraseMarks::MarkWithEdit(const TMarks& marks) {
    if (FPath.empty() || marks.empty())
        return;
    TEditMarks& step = FEditMarks[++FLastToken];
    step.Path = FPath;
    step.After = marks;
    for (const auto& [key, status] : marks)
        step.Before.emplace_back(key, FChecker.Mark(key).value_or(TPhraseMark{}).Status);
    FEditor->SendScintilla(QsciScintillaBase::SCI_ADDUNDOACTION,
                           static_cast<unsigned long>(FLastToken), 0L);
}

void TPhraseMarks::EditStepDone(int token, bool undone) {
    const auto step = FEditMarks.find(token);
    if (step == FEditMarks.end() || step->second.Path != FPath)
        return;
    Mark(undone ? step->second.Before : step->second.After);
}

void TPhraseMarks::MarkCaretPhrase(TPhraseStatus status) {
    if (FPath.empty())
        return;
    const std::size_t line = FEditor->CaretLine();
    const std::string key =
        line < FChecker.LineCount() ? std::string(FChecker.Key(line)) : std::string();
    if (key.empty()) {
        emit StatusMessage(m_aMNoPhraseToMark);
        return;
    }
    Mark({{key, status}});
    const QString& said = status == TPhraseStatus::Translated    ? m_aMMarkedTranslated
                          : status == TPhraseStatus::ToBeChecked ? m_aMMarkedToBeChecked
                                                                 : m_aMMarkCleared;
    emit StatusMessage(said.arg(FromUtf8(key)));
}

void TPhraseMarks::GoToToBeChecked(bool forward) {
    if (FPath.empty())
        return;
    if (const auto line = FChecker.NextToBeChecked(FEditor->CaretLine(), forward))
        emit GoTo(*line);
    else
        emit StatusMessage(m_aMNoneToBeChecked);
}
