#include "workbench/ExchangeMarks.h"

#include <set>
#include <string_view>
#include <unordered_map>

TExportChoices ExportChoicesOf(const TTranslationChecker& checker) {
    TExportChoices choices;
    choices.Master = checker.Master();
    for (std::size_t line = 0; line < checker.LineCount(); ++line) {
        switch (checker.Status(line)) {
        case TPhraseStatus::ToBeChecked:
            choices.ToBeChecked.emplace(checker.Key(line));
            break;
        case TPhraseStatus::Translated:
            choices.MarkedTranslated.emplace(checker.Key(line));
            break;
        case TPhraseStatus::None:
            break;
        }
    }
    return choices;
}

std::vector<std::pair<std::string, TPhraseStatus>>
MarksAfterImport(const TTranslationChecker& checker, const std::vector<std::string>& translated,
                 const std::vector<std::string>& toBeChecked) {
    std::unordered_map<std::string_view, std::size_t> firstLines;
    for (std::size_t line = 0; line < checker.LineCount(); ++line)
        if (const std::string_view key = checker.Key(line); !key.empty())
            firstLines.emplace(key, line);
    const std::set<std::string_view> flagged(toBeChecked.begin(), toBeChecked.end());
    std::vector<std::pair<std::string, TPhraseStatus>> marks;
    for (const std::string& key : translated) {
        const auto line = firstLines.find(key);
        if (line == firstLines.end())
            continue;
        const TPhraseStatus now = checker.Mark(key).value_or(TPhraseMark{}).Status;
        TPhraseStatus wanted = now;
        if (flagged.contains(key)) {
            // Keys the reference lacks travel flagged anyway.
            if (checker.ReferenceLine(line->second))
                wanted = TPhraseStatus::ToBeChecked;
        } else if (checker.IsUntranslated(line->second))
            wanted = TPhraseStatus::Translated;
        else if (now == TPhraseStatus::ToBeChecked)
            wanted = TPhraseStatus::None;
        // A translated mark made against a reference phrase that has changed
        // since is made again against today's.
        if (wanted != now || (wanted == TPhraseStatus::Translated &&
                              checker.Status(line->second) != TPhraseStatus::Translated))
            marks.emplace_back(key, wanted);
    }
    return marks;
}
