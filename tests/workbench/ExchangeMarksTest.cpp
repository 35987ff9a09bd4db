// The translator's marks on their way out to an exchange file and back.
#include "workbench/ExchangeMarks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using TMarks = std::vector<std::pair<std::string, TPhraseStatus>>;
constexpr auto None = TPhraseStatus::None;
constexpr auto Translated = TPhraseStatus::Translated;
constexpr auto ToBeChecked = TPhraseStatus::ToBeChecked;

const char* const English = "A.Ok=\"OK\"\n"
                            "A.Zoom=\"Zoom\"\n"
                            "A.Open=\"Open\"\n"
                            "A.Save=\"Save\"\n";

// OK and Zoom read as the reference; Open and Save are translated; the
// translation has a key the reference lacks.
const char* const Deutsch = "A.Ok=\"OK\"\n"
                            "A.Zoom=\"Zoom\"\n"
                            "A.Open=\"Öffnen\"\n"
                            "A.Save=\"Speichern\"\n"
                            "A.Extra=\"Neu\"\n";

// The checker of the translation with its marks as the choices file keeps
// them. Translated marks are made against OK, the reference's phrase of
// today, but that of Zoom against "Zoom!", which the reference had before.
TTranslationChecker Checker(const TMarks& marks) {
    TTranslationChecker checker;
    std::vector<std::pair<std::string, TPhraseMark>> kept;
    for (const auto& [key, status] : marks) {
        const char* phrase = key == "A.Zoom" ? "Zoom!" : "OK";
        kept.push_back({key, {status, status == Translated ? phrase : ""}});
    }
    checker.SetMarks(kept);
    checker.Reset(Deutsch, std::make_shared<const TReferenceText>(English));
    return checker;
}

TEST(ExchangeMarksTest, OnlyMarksThatHoldTravel) {
    const TTranslationChecker checker =
        Checker({{"A.Ok", Translated}, {"A.Zoom", Translated}, {"A.Save", ToBeChecked}});
    const TExportChoices choices = ExportChoicesOf(checker);
    EXPECT_EQ(choices.MarkedTranslated, (std::set<std::string, std::less<>>{"A.Ok"}));
    EXPECT_EQ(choices.ToBeChecked, (std::set<std::string, std::less<>>{"A.Save"}));
}

TEST(ExchangeMarksTest, TheFlagsOfWhatCameBackBecomeMarks) {
    const struct {
        const char* name;
        TMarks before;
        std::vector<std::string> translated, toBeChecked;
        TMarks expected;
    } cases[] = {
        // Rightly the reference's phrase: marked as translated.
        {"same as reference", {}, {"A.Ok"}, {}, {{"A.Ok", Translated}}},
        {"already marked", {{"A.Ok", Translated}}, {"A.Ok"}, {}, {}},
        // A mark against a reference phrase that changed is made again.
        {"stale mark renewed", {{"A.Zoom", Translated}}, {"A.Zoom"}, {}, {{"A.Zoom", Translated}}},
        // A translated phrase needs no mark; it loses "to be checked".
        {"translated", {}, {"A.Open"}, {}, {}},
        {"checked elsewhere", {{"A.Open", ToBeChecked}}, {"A.Open"}, {}, {{"A.Open", None}}},
        {"same, was to check", {{"A.Ok", ToBeChecked}}, {"A.Ok"}, {}, {{"A.Ok", Translated}}},
        // Flagged in the file: to be checked, whatever it reads.
        {"flagged",
         {},
         {"A.Open", "A.Ok"},
         {"A.Open", "A.Ok"},
         {{"A.Open", ToBeChecked}, {"A.Ok", ToBeChecked}}},
        {"flagged again", {{"A.Open", ToBeChecked}}, {"A.Open"}, {"A.Open"}, {}},
        {"flagged, was translated",
         {{"A.Ok", Translated}},
         {"A.Ok"},
         {"A.Ok"},
         {{"A.Ok", ToBeChecked}}},
        // Keys the reference lacks travel flagged anyway; keys the
        // translation lacks came not back.
        {"not in reference", {}, {"A.Extra"}, {"A.Extra"}, {}},
        {"not in translation", {}, {"A.Quit"}, {"A.Quit"}, {}},
        // What did not come back keeps its mark.
        {"untouched", {{"A.Save", ToBeChecked}}, {"A.Open"}, {}, {}},
    };
    for (const auto& c : cases) {
        const TTranslationChecker checker = Checker(c.before);
        EXPECT_EQ(MarksAfterImport(checker, c.translated, c.toBeChecked), c.expected) << c.name;
    }
}

} // namespace
