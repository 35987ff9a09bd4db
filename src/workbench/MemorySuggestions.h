// Suggestions from the memory of the maker's translations, in the workbench:
// up to three translations for the phrase of the key under the caret (the
// same reference phrase first, with the program and key each comes from, then
// close ones with their similarity and the differing words marked); Ctrl+1,
// Ctrl+2 and Ctrl+3 put one between the quotes of the caret's line. The
// Translation menu's "Fill from memory" fills every untranslated phrase the
// memory knows word for word and marks each filled one "to be checked".
//
// The memory is built on a worker thread when a translation is first opened,
// against the reference language the workbench checks with; the window polls
// for it and never waits, but for "Fill from memory", which needs it.
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QWidget;
class TInterfaceTexts;
class TMemoryBuilder;
class TSynEditor;
class TTranslationMemory;
class TWorkbench;
struct TMemorySettings;
struct TSuggestion;

class TMemorySuggestions : public QObject {
    Q_OBJECT
public:
    // Where the memory's phrases come from and where its cache is, asked each
    // time it is built: the catalogues of the maker's installed programs and
    // the user's saved copies (the application knows how to find them). The
    // reference language is the workbench's.
    using TSources = std::function<TMemorySettings()>;

    // Builds the panel below the reference line and adds "Fill from memory"
    // to `translationMenu`.
    TMemorySuggestions(TWorkbench& workbench, TSynEditor* editor, QMenu* translationMenu,
                       TInterfaceTexts& texts, TSources sources);
    ~TMemorySuggestions() override;

    // As many as the memory gives.
    static constexpr std::size_t MaxSuggestions = 3;

    void ApplyTexts();
    // Commands.
    void UseSuggestion(std::size_t index);
    void MenFillFromMemoryClick();

    // The suggestions shown, for the key of the caret's line.
    const std::vector<TSuggestion>& Suggestions() const { return FSuggestions; }
    // Blocks until the memory asked for last is built and shown (tests).
    void WaitForMemory();

    QWidget* PnlSuggestions = nullptr;
    QLabel* LblSuggestions = nullptr;
    std::array<QLabel*, MaxSuggestions> LblSuggestion{};
    std::array<QAction*, MaxSuggestions> ActUseSuggestion{};
    QAction* MenFillFromMemory = nullptr;

signals:
    void StatusMessage(const QString& text);

private:
    // Starts building the memory when none is built or being built for the
    // reference language chosen now.
    void NeedMemory();
    void MemoryReady();
    // Looks the phrase of the caret's line up again (`force`: even when the
    // caret stayed on its line).
    void Refresh(bool force);
    void Show();
    QString SuggestionText(std::size_t index) const;
    // The names of the open translation's language and of its reference's
    // (UTF-8); empty when none.
    std::string TranslationLanguage() const;
    std::string ReferenceLanguage() const;
    // The memory, when built for the reference language chosen now.
    std::shared_ptr<const TTranslationMemory> Memory() const;

    TWorkbench& FWorkbench;
    TSynEditor* FEditor;
    TInterfaceTexts& FTexts;
    TSources FSources;
    std::unique_ptr<TMemoryBuilder> FBuilder;
    std::string FBuildingFor; // the reference language of the last build started
    QTimer* FPoll = nullptr;
    long FLine = -1; // the line the suggestions are for
    std::vector<TSuggestion> FSuggestions;
    QString m_aMSuggestions, m_aMMemoryBuilding, m_aMMemoryStats, m_aMNoSuggestion,
        m_aMPlaceholdersDiffer, m_aMFilled, m_aMNothingToFill, m_aMFillUnencodable,
        m_aMNoQuotedPhrase, m_aMNoReferenceForMemory;
};
