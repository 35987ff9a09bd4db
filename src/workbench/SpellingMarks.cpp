#include "workbench/SpellingMarks.h"

#include "editor/SynEditor.h"
#include "initfile/WorkbenchChoices.h"
#include "texts/AccessKeys.h"
#include "texts/Guarded.h"
#include "texts/InterfaceTexts.h"
#include "texts/MenuItems.h"
#include "texts/QtText.h"
#include "workbench/LanguageNames.h"
#include "workbench/SpellingWords.h"
#include "workbench/Workbench.h"

#include <QActionGroup>
#include <QEvent>
#include <QLocale>
#include <QMenu>
#include <QStatusBar>

#include <algorithm>

using Sci = QsciScintillaBase;

namespace {
// "No spelling" as the choices file keeps it.
constexpr const char* NoSpelling = "-";
// Lines put in by one change that are noted to be checked; more are checked
// as they come into view.
constexpr int MaxEditedLines = 200;

// `replacement` with the access-key "&" of `word` (as it stands) before the
// letter of the same place, so that the item keeps its key.
std::string WithAccessKey(const std::string& word, std::string replacement) {
    const std::size_t amp = word.find('&');
    if (amp == std::string::npos || replacement.find('&') != std::string::npos)
        return replacement;
    // The place counted in letters (UTF-8 lead bytes).
    const auto letters = [](std::string_view text) {
        return std::count_if(text.begin(), text.end(),
                             [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
    };
    const auto before = letters(std::string_view(word).substr(0, amp));
    std::size_t at = 0;
    for (std::ptrdiff_t seen = 0; at < replacement.size(); ++at) {
        if ((static_cast<unsigned char>(replacement[at]) & 0xC0) != 0x80 && seen++ == before)
            break;
    }
    if (at >= replacement.size())
        return replacement;
    return replacement.insert(at, 1, '&');
}

// A dictionary's tag as a person reads it: "Deutsch (Deutschland) – de_DE".
QString DictionaryCaption(const std::string& tag) {
    const QLocale locale(QString::fromStdString(tag));
    if (locale.language() == QLocale::C)
        return QString::fromStdString(tag);
    QString name = locale.nativeLanguageName();
    if (tag.find('_') != std::string::npos && !locale.nativeTerritoryName().isEmpty())
        name += " (" + locale.nativeTerritoryName() + ")";
    return name + " – " + QString::fromStdString(tag);
}

// Watches the editor's size: more lines may show.
class TResizeWatch : public QObject {
public:
    TResizeWatch(QObject* watched, std::function<void()> resized)
        : QObject(watched), FResized(std::move(resized)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            FResized();
        return false;
    }

private:
    std::function<void()> FResized;
};
} // namespace

TSpellingMarks::TSpellingMarks(TWorkbench& workbench, TSynEditor* editor, QMenu* viewMenu,
                               QMenu* popup, TInterfaceTexts& texts, TChoicesStore& choices)
    : QObject(&workbench), FWorkbench(workbench), FEditor(editor), FTexts(texts),
      FChoices(choices) {
    // A red squiggle under each misspelled word, drawn beneath the text.
    editor->SendScintilla(Sci::SCI_INDICSETSTYLE, Indicator, Sci::INDIC_SQUIGGLEPIXMAP);
    editor->SendScintilla(Sci::SCI_INDICSETFORE, Indicator, 0x0000E0L);
    editor->SendScintilla(Sci::SCI_INDICSETUNDER, Indicator, 1L);

    MenSpellingLanguage = MakeMenu(viewMenu, "MenSpellingLanguage", "Spelling language");
    texts.RegisterAccessKey(MenSpellingLanguage->menuAction(),
                            "FrmWordlark.MenSpellingLanguage.AccessKey", "g");
    // The dictionaries installed now, each time the menu opens.
    connect(MenSpellingLanguage, &QMenu::aboutToShow, this, &TSpellingMarks::FillLanguageMenu);
    MenSpellingLanguage->setEnabled(false);

    // At the top of the editor's pop-up menu, shown for a marked word only.
    QAction* first = popup->actions().value(0);
    for (std::size_t i = 0; i < TSpeller::MaxSuggestions; ++i) {
        auto* item = new QAction(popup);
        item->setObjectName(QString("PopReplacement%1").arg(i + 1));
        item->setVisible(false);
        popup->insertAction(first, item);
        connect(item, &QAction::triggered, this,
                [this, item] { Guarded([&] { Replace(item->text()); }); });
        PopReplacements.push_back(item);
    }
    PopAddToDictionary = new QAction("Add to dictionary", popup);
    PopAddToDictionary->setObjectName("PopAddToDictionary");
    PopIgnore = new QAction("Ignore", popup);
    PopIgnore->setObjectName("PopIgnore");
    PopSpellingSeparator = new QAction(popup);
    PopSpellingSeparator->setSeparator(true);
    for (QAction* item : {PopAddToDictionary, PopIgnore, PopSpellingSeparator}) {
        item->setVisible(false);
        popup->insertAction(first, item);
    }
    texts.RegisterAccessKey(PopAddToDictionary, "FrmWordlark.PopAddToDictionary.AccessKey", "d");
    texts.RegisterAccessKey(PopIgnore, "FrmWordlark.PopIgnore.AccessKey", "I");
    ConnectCommand(PopAddToDictionary, &QAction::triggered, this,
                   &TSpellingMarks::PopAddToDictionaryClick);
    ConnectCommand(PopIgnore, &QAction::triggered, this, &TSpellingMarks::PopIgnoreClick);
    // The word under the mouse, before the main window shows the menu.
    connect(editor, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PrepareMenu(FEditor->SendScintilla(Sci::SCI_POSITIONFROMPOINTCLOSE,
                                           static_cast<unsigned long>(pos.x()),
                                           static_cast<long>(pos.y())));
    });

    connect(&workbench, &TWorkbench::OpenChanged, this, [this](bool open) {
        MenSpellingLanguage->setEnabled(open);
        ChooseLanguage();
    });
    // The lines edited, checked once the editor has taken the change in.
    const auto queue = [this] {
        if (FCheckQueued)
            return;
        FCheckQueued = true;
        QMetaObject::invokeMethod(
            this, [this] { Guarded([&] { CheckVisibleLines(); }); }, Qt::QueuedConnection);
    };
    connect(editor, &QsciScintillaBase::SCN_MODIFIED, this,
            [this, queue](int position, int type, const char*, int, int linesAdded, int, int, int,
                          int, int) {
                if (!(type & (Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT)) ||
                    FEditor->InBulkEdit() || !FSpeller.Ready())
                    return;
                // A text put in whole (loading, another encoding) has no
                // squiggles: its lines are checked as they come into view.
                if (linesAdded <= MaxEditedLines) {
                    const long line = FEditor->SendScintilla(Sci::SCI_LINEFROMPOSITION, position);
                    for (long i = 0; i <= std::max(linesAdded, 0); ++i)
                        FEditedLines.insert(line + i);
                }
                queue();
            });
    connect(editor, &TSynEditor::BulkChange, this, [this] { Recheck(); });
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, [queue](int updated) {
        if (updated & Sci::SC_UPDATE_V_SCROLL)
            queue();
    });
    new TResizeWatch(editor, queue);
    connect(this, &TSpellingMarks::StatusMessage, &workbench, &TWorkbench::StatusMessage);
    connect(&texts, &TInterfaceTexts::LanguageChanged, this, &TSpellingMarks::ApplyTexts);
    ApplyTexts();
}

void TSpellingMarks::ApplyTexts() {
    MenSpellingLanguage->setTitle(
        FTexts.GetNationalText("FrmWordlark.MenSpellingLanguage", "Spelling language"));
    PopAddToDictionary->setText(
        FTexts.GetNationalText("FrmWordlark.PopAddToDictionary", "Add to dictionary"));
    PopIgnore->setText(FTexts.GetNationalText("FrmWordlark.PopIgnore", "Ignore"));
    const std::pair<QString*, std::pair<const char*, const char*>> texts[] = {
        {&m_aMNoDictionary,
         {"FrmWordlark.m_aMNoDictionary",
          "There is no spelling dictionary for %1; choose one under View › Spelling language"}},
        {&m_aMAutomaticSpelling,
         {"FrmWordlark.m_aMAutomaticSpelling", "As the translation's name says"}},
        {&m_aMNoSpelling, {"FrmWordlark.m_aMNoSpelling", "No spelling"}},
        {&m_aMAddedToDictionary,
         {"FrmWordlark.m_aMAddedToDictionary", "%1: added to your dictionary"}},
    };
    for (const auto& [member, text] : texts)
        *member = FTexts.GetNationalText(text.first, text.second);
}

// ---- The language ----------------------------------------------------------------------

void TSpellingMarks::ChooseLanguage() {
    ClearMarks();
    FEditedLines.clear();
    const TWorkbench::TOpened& opened = FWorkbench.Translation();
    if (!FEditor->IsOpen() || opened.TranslationPath.empty()) {
        FSpeller.SetLanguage({});
        return;
    }
    std::string name;
    for (const TCatalogueEntry& entry : opened.Listed)
        if (entry.Path == opened.TranslationPath)
            name = LanguageNameText(entry.Name);
    const std::optional<std::string> chosen =
        FChoices.Get().SpellingLanguage(opened.TranslationPath);
    if (chosen && *chosen == NoSpelling) {
        FSpeller.SetLanguage({});
        return;
    }
    const std::optional<std::string> tag = chosen ? chosen : DictionaryForLanguage(name);
    if (!tag || !FSpeller.SetLanguage(*tag)) {
        // Said once for each language, after the main window's own word on
        // the opened file, which stays.
        if (FToldOf.insert(tag.value_or(name)).second) {
            const QString message = m_aMNoDictionary.arg(FromUtf8(name));
            QMetaObject::invokeMethod(
                this,
                [this, message] {
                    const auto* bar = FEditor->window()->findChild<QStatusBar*>();
                    const QString said = bar ? bar->currentMessage() : QString();
                    emit StatusMessage(said.isEmpty() ? message : said + " — " + message);
                },
                Qt::QueuedConnection);
        }
        return;
    }
    Recheck();
}

void TSpellingMarks::FillLanguageMenu() {
    MenSpellingLanguage->clear();
    const std::string path = FWorkbench.Translation().TranslationPath;
    const std::optional<std::string> chosen = FChoices.Get().SpellingLanguage(path);
    auto* group = new QActionGroup(MenSpellingLanguage);
    QString taken;
    const auto add = [&](const QString& caption, const std::optional<std::string>& tag,
                         bool checked) {
        QAction* item = MenSpellingLanguage->addAction(caption);
        item->setCheckable(true);
        item->setChecked(checked);
        group->addAction(item);
        const QChar letter = FreeLetter(caption, taken);
        SetAccessLetter(item, letter);
        taken += letter;
        connect(item, &QAction::triggered, this, [this, tag] {
            Guarded([&] {
                FChoices.Update([&](TWorkbenchChoices& choices) {
                    choices.SetSpellingLanguage(FWorkbench.Translation().TranslationPath, tag);
                });
                ChooseLanguage();
            });
        });
        return item;
    };
    add(m_aMAutomaticSpelling, std::nullopt, !chosen)->setObjectName("MenSpellingAutomatic");
    add(m_aMNoSpelling, std::string(NoSpelling), chosen == std::string(NoSpelling))
        ->setObjectName("MenSpellingOff");
    MenSpellingLanguage->addSeparator();
    for (const std::string& tag : FSpeller.Dictionaries())
        add(DictionaryCaption(tag), tag, chosen == tag)
            ->setObjectName(QString::fromStdString("MenSpelling_" + tag));
}

void TSpellingMarks::MenSpellingLanguageClick(const std::string& tag) {
    FChoices.Update([&](TWorkbenchChoices& choices) {
        choices.SetSpellingLanguage(FWorkbench.Translation().TranslationPath, tag);
    });
    ChooseLanguage();
}

// ---- Checking --------------------------------------------------------------------------

void TSpellingMarks::ClearMarks() {
    FEditor->SendScintilla(Sci::SCI_SETINDICATORCURRENT, Indicator);
    FEditor->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL,
                           FEditor->SendScintilla(Sci::SCI_GETLENGTH));
}

void TSpellingMarks::Recheck() {
    ClearMarks();
    FEditedLines.clear();
    CheckVisibleLines();
}

void TSpellingMarks::CheckLine(long line) {
    const long lines = FEditor->SendScintilla(Sci::SCI_GETLINECOUNT);
    if (line < 0 || line >= lines)
        return;
    const auto start =
        static_cast<unsigned long>(FEditor->SendScintilla(Sci::SCI_POSITIONFROMLINE, line));
    const long end = FEditor->SendScintilla(Sci::SCI_GETLINEENDPOSITION, line);
    FEditor->SendScintilla(Sci::SCI_SETINDICATORCURRENT, Indicator);
    FEditor->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, start, end - static_cast<long>(start));
    const std::string text(FEditor->LineView(static_cast<std::size_t>(line)));
    for (const TSpellingWord& word : WordsToCheck(text))
        if (!FSpeller.Check(word.Word))
            FEditor->SendScintilla(Sci::SCI_INDICATORFILLRANGE, start + word.Begin,
                                   static_cast<long>(word.End - word.Begin));
}

void TSpellingMarks::CheckVisibleLines() {
    FCheckQueued = false;
    if (!FEditor->IsOpen() || !FSpeller.Ready()) {
        FEditedLines.clear();
        return;
    }
    const long top = FEditor->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long first = FEditor->SendScintilla(Sci::SCI_DOCLINEFROMVISIBLE, top);
    const long last = FEditor->SendScintilla(
        Sci::SCI_DOCLINEFROMVISIBLE, top + FEditor->SendScintilla(Sci::SCI_LINESONSCREEN) + 1);
    for (long line = first; line <= last; ++line)
        CheckLine(line);
    for (long line : FEditedLines)
        if (line < first || line > last)
            CheckLine(line);
    FEditedLines.clear();
}

std::vector<std::string> TSpellingMarks::MarkedWords() const {
    std::vector<std::string> words;
    const long length = FEditor->SendScintilla(Sci::SCI_GETLENGTH);
    long at = 0;
    while (at < length) {
        const long end = FEditor->SendScintilla(Sci::SCI_INDICATOREND, Indicator, at);
        if (end <= at)
            break;
        if (FEditor->SendScintilla(Sci::SCI_INDICATORVALUEAT, Indicator, at))
            words.emplace_back(FEditor->TextView().substr(static_cast<std::size_t>(at),
                                                          static_cast<std::size_t>(end - at)));
        at = end;
    }
    return words;
}

// ---- The pop-up menu -------------------------------------------------------------------

void TSpellingMarks::PrepareMenu(long position) {
    for (QAction* item : PopReplacements)
        item->setVisible(false);
    for (QAction* item : {PopAddToDictionary, PopIgnore, PopSpellingSeparator})
        item->setVisible(false);
    FWordStart = FWordEnd = -1;
    if (position < 0 || !FSpeller.Ready() ||
        !FEditor->SendScintilla(Sci::SCI_INDICATORVALUEAT, Indicator, position))
        return;
    FWordStart = FEditor->SendScintilla(Sci::SCI_INDICATORSTART, Indicator, position);
    FWordEnd = FEditor->SendScintilla(Sci::SCI_INDICATOREND, Indicator, position);
    // The word as spelled: its access-key "&" left out.
    const auto line =
        static_cast<std::size_t>(FEditor->SendScintilla(Sci::SCI_LINEFROMPOSITION, FWordStart));
    const long lineStart = FEditor->SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    std::string word;
    for (const TSpellingWord& w : WordsToCheck(FEditor->LineView(line)))
        if (lineStart + static_cast<long>(w.Begin) == FWordStart)
            word = w.Word;
    if (word.empty()) {
        FWordStart = FWordEnd = -1;
        return;
    }
    PopAddToDictionary->setVisible(true);
    PopIgnore->setVisible(true);
    PopSpellingSeparator->setVisible(true);
    PopAddToDictionary->setData(FromUtf8(word));
    // The replacements take letters the menu's other items leave.
    QString taken;
    for (QAction* item : qobject_cast<QWidget*>(PopAddToDictionary->parent())->actions())
        if (item->isVisible() && !item->isSeparator())
            taken += AccessLetter(item);
    const std::vector<std::string> suggestions = FSpeller.Suggest(word);
    for (std::size_t i = 0; i < suggestions.size() && i < PopReplacements.size(); ++i) {
        QAction* item = PopReplacements[i];
        item->setText(FromUtf8(suggestions[i]));
        const QChar letter = FreeLetter(item->text(), taken);
        SetAccessLetter(item, letter);
        taken += letter;
        item->setVisible(true);
    }
}

void TSpellingMarks::Replace(const QString& word) {
    if (FWordStart < 0)
        return;
    const std::string bytes = WithAccessKey(
        std::string(FEditor->TextView().substr(static_cast<std::size_t>(FWordStart),
                                               static_cast<std::size_t>(FWordEnd - FWordStart))),
        FromDisplay(word));
    if (const auto character = FirstUnencodable(bytes, FEditor->Encoding())) {
        FTexts.ShowInputRefused(*character, FEditor->Encoding(), FEditor->window());
        return;
    }
    FEditor->EditAsIs([&] {
        FEditor->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(FWordStart),
                               FWordEnd);
        FEditor->SendScintilla(Sci::SCI_REPLACETARGET, bytes.size(), bytes.c_str());
    });
    FWordStart = FWordEnd = -1;
}

void TSpellingMarks::PopAddToDictionaryClick() {
    const std::string word = FromDisplay(PopAddToDictionary->data().toString());
    if (word.empty())
        return;
    FSpeller.AddToPersonal(word);
    Recheck();
    emit StatusMessage(m_aMAddedToDictionary.arg(FromUtf8(word)));
}

void TSpellingMarks::PopIgnoreClick() {
    const std::string word = FromDisplay(PopAddToDictionary->data().toString());
    if (word.empty())
        return;
    FSpeller.Ignore(word);
    Recheck();
}
