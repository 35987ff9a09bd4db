// The workbench's remembered choices: written and read back whatever the
// paths hold, damaged lines skipped, the oldest forgotten first; and which
// reference language is offered.
#include "initfile/WorkbenchChoices.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(WorkbenchChoicesTest, ChoicesSurviveSavingWhateverThePathsHold) {
    TempDir dir;
    const std::string odd = std::string("C:\\Program Files\\100%\tx\r\ny\xFF") + '\0' + "z.ini";
    TWorkbenchChoices choices;
    choices.SetReferenceLanguage("/p/Languages.ini", "English");
    choices.SetReferenceLanguage(odd, "Fran\xE7"
                                      "ais\t2");
    choices.SetShowAs("/p/App_Polski.ini", TEncoding::Windows1250);
    choices.SetShowAs(odd, TEncoding::Windows1253);
    choices.SetReferenceLanguage("/p/Languages.ini", "Deutsch"); // replaces English
    choices.CopyShowAs("/p/App_Polski.ini", "/p/App_Cesky.ini");
    choices.CopyShowAs("/p/unknown.ini", "/p/App_Other.ini");

    const std::string path = dir / TWorkbenchChoices::FileName;
    ASSERT_EQ(choices.Save(path), "");
    const std::string text = TempDir::Read(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6) << "a header and five choices";

    TWorkbenchChoices read;
    ASSERT_TRUE(read.Load(path));
    EXPECT_EQ(read.ReferenceLanguage("/p/Languages.ini"), "Deutsch");
    EXPECT_EQ(read.ReferenceLanguage(odd), "Fran\xE7"
                                           "ais\t2");
    EXPECT_EQ(read.ShowAs("/p/App_Polski.ini"), TEncoding::Windows1250);
    EXPECT_EQ(read.ShowAs("/p/App_Cesky.ini"), TEncoding::Windows1250);
    EXPECT_EQ(read.ShowAs(odd), TEncoding::Windows1253);
    EXPECT_EQ(read.ShowAs("/p/App_Other.ini"), std::nullopt);
    EXPECT_EQ(read.ReferenceLanguage("/p/App_Polski.ini"), std::nullopt);
    EXPECT_EQ(read.Text(), text);

    EXPECT_FALSE(read.Load(dir / "missing.txt"));
    EXPECT_EQ(read.ShowAs("/p/App_Polski.ini"), std::nullopt);
    EXPECT_NE(choices.Save(dir / "no folder/Workbench.txt"), "");
}

TEST(WorkbenchChoicesTest, DamagedLinesAreSkippedAndTheLastWins) {
    TWorkbenchChoices choices;
    choices.Parse("# comment\r\n"
                  "show-as\t/a.ini\tWindows-1251\r\n"
                  "show-as\t/a.ini\twindows-1257\r\n" // wins, in any case
                  "show-as\t/b.ini\tKOI8-R\r\n"       // no such encoding
                  "show-as\t/c.ini\r\n"               // no value
                  "show-as\t\tUTF-8\n"                // no path
                  "future\t/d.ini\tx\n"               // a kind this program does not know
                  "reference\t/e.ini\tEnglish\textra\n"
                  "reference\t/f%2Fg%zz.ini\tDeutsch"); // %2F is "/", %zz stays
    EXPECT_EQ(choices.ShowAs("/a.ini"), TEncoding::Windows1257);
    EXPECT_EQ(choices.ShowAs("/b.ini"), std::nullopt);
    EXPECT_EQ(choices.ShowAs("/c.ini"), std::nullopt);
    EXPECT_EQ(choices.ReferenceLanguage("/e.ini"), std::nullopt);
    EXPECT_EQ(choices.ReferenceLanguage("/f/g%zz.ini"), "Deutsch");
}

TEST(WorkbenchChoicesTest, TheOldestChoicesGoFirst) {
    TWorkbenchChoices choices;
    for (std::size_t i = 0; i <= TWorkbenchChoices::MaxChoices; ++i)
        choices.SetShowAs("/f" + std::to_string(i), TEncoding::Windows1251);
    choices.SetReferenceLanguage("/catalogue", "English");
    // Choosing again makes a choice new.
    choices.SetShowAs("/f1", TEncoding::Windows1252);
    choices.SetShowAs("/new", TEncoding::Utf8);
    EXPECT_EQ(choices.ShowAs("/f0"), std::nullopt);
    EXPECT_EQ(choices.ShowAs("/f1"), TEncoding::Windows1252);
    EXPECT_EQ(choices.ShowAs("/f2"), std::nullopt);
    EXPECT_EQ(choices.ShowAs("/f3"), TEncoding::Windows1251);
    EXPECT_EQ(choices.ShowAs("/new"), TEncoding::Utf8);
    EXPECT_EQ(choices.ReferenceLanguage("/catalogue"), "English");
}

TEST(WorkbenchChoicesTest, RecentCataloguesNewestFirstAndOnlyTheLastFew) {
    TempDir dir;
    const std::string path = dir / TWorkbenchChoices::FileName;
    // Other choices in the file stay as they are.
    TWorkbenchChoices first;
    first.SetReferenceLanguage("/p/Languages.ini", "English");
    ASSERT_EQ(first.Save(path), "");

    const std::size_t max = TWorkbenchChoices::MaxRecentCatalogues;
    for (std::size_t i = 0; i < max + 2; ++i)
        ASSERT_EQ(TWorkbenchChoices().Update(path,
                                             [&](TWorkbenchChoices& c) {
                                                 c.AddRecentCatalogue("/c" + std::to_string(i) +
                                                                          "/Languages.ini",
                                                                      i % 2 ? "Snapglass" : "");
                                             }),
                  "");
    // Opening one again brings it to the front, with the program it was
    // opened for this time; removing one leaves the others in order.
    TWorkbenchChoices().Update(path, [](TWorkbenchChoices& c) {
        c.AddRecentCatalogue("/c5/Languages.ini", "");
        c.RemoveRecentCatalogue("/c8/Languages.ini");
        c.SetOpenFolder("/c9/");
    });
    TWorkbenchChoices read;
    ASSERT_TRUE(read.Load(path));
    const std::vector<TWorkbenchChoices::TRecentCatalogue> expected = {
        {"/c5/Languages.ini", ""},          {"/c9/Languages.ini", "Snapglass"},
        {"/c7/Languages.ini", "Snapglass"}, {"/c6/Languages.ini", ""},
        {"/c4/Languages.ini", ""},          {"/c3/Languages.ini", "Snapglass"},
        {"/c2/Languages.ini", ""}};
    EXPECT_EQ(read.RecentCatalogues(), expected);
    EXPECT_EQ(read.OpenFolder(), "/c9/");
    EXPECT_EQ(read.ReferenceLanguage("/p/Languages.ini"), "English");
}

TEST(WorkbenchChoicesTest, MastersChecksAndMarksOfPhrasesSurviveSaving) {
    TempDir dir;
    const std::string odd = "/p/100%\tx/App_Polski.ini";
    TWorkbenchChoices choices;
    choices.SetMaster(odd, "/p/App_Deutsch.ini");
    choices.SetCheckOn("DoubledWord", false);
    choices.SetCheckOn("Tabs", false);
    choices.SetCheckOn("Tabs", true);
    choices.SetPhraseMark(odd, "Main.Open", {TPhraseStatus::Translated, "Open %s\t"});
    choices.SetPhraseMark(odd, "Key\twith tab", {TPhraseStatus::ToBeChecked, {}});
    choices.SetPhraseMark(odd, "Gone", {TPhraseStatus::Translated, "x"});
    choices.SetPhraseMark(odd, "Gone", {});
    choices.SetPhraseMark(odd + "x", "Main.Open", {TPhraseStatus::ToBeChecked, {}});
    choices.SetPhraseMark("/p/App_Deutsch.ini", "Main.Quit", {TPhraseStatus::Translated, ""});

    const std::string path = dir / TWorkbenchChoices::FileName;
    ASSERT_EQ(choices.Save(path), "");
    TWorkbenchChoices read;
    ASSERT_TRUE(read.Load(path));
    EXPECT_EQ(read.Master(odd), "/p/App_Deutsch.ini");
    EXPECT_EQ(read.Master("/p/App_Deutsch.ini"), std::nullopt);
    EXPECT_FALSE(read.IsCheckOn("DoubledWord"));
    EXPECT_TRUE(read.IsCheckOn("Tabs"));
    EXPECT_TRUE(read.IsCheckOn("NeverSwitched"));
    using TMarks = std::vector<std::pair<std::string, TPhraseMark>>;
    EXPECT_EQ(read.PhraseMarks(odd),
              (TMarks{{"Main.Open", {TPhraseStatus::Translated, "Open %s\t"}},
                      {"Key\twith tab", {TPhraseStatus::ToBeChecked, ""}}}));
    EXPECT_EQ(read.PhraseMarks("/p/App_Deutsch.ini"),
              (TMarks{{"Main.Quit", {TPhraseStatus::Translated, ""}}}));
    EXPECT_EQ(read.Text(), TempDir::Read(path));

    read.Parse("phrase\t/a.ini\tcheck\n"     // no key
               "phrase\t/a.ini%09K\tmaybe\n" // no such status
               "check\tTabs\tmaybe\n"
               "phrase\t/a.ini%09K\ttranslated\n" // the reference phrase's tab missing
               "phrase\t/a.ini%09L\ttranslated%09\n");
    EXPECT_EQ(read.PhraseMarks("/a.ini"), (TMarks{{"L", {TPhraseStatus::Translated, ""}}}));
    EXPECT_TRUE(read.IsCheckOn("Tabs"));
}

TEST(WorkbenchChoicesTest, TheOldestMarksOfPhrasesGoFirst) {
    std::string text;
    for (std::size_t i = 0; i <= TWorkbenchChoices::MaxPhraseMarks; ++i)
        text += "phrase\t/f.ini%09K" + std::to_string(i) + "\tcheck\n";
    text += "phrase\t/f.ini%09K1\ttranslated%09One\n"; // later: wins and is new again
    TWorkbenchChoices choices;
    choices.Parse(text);
    const auto marks = choices.PhraseMarks("/f.ini");
    ASSERT_EQ(marks.size(), TWorkbenchChoices::MaxPhraseMarks);
    EXPECT_EQ(marks.front().first, "K2");
    EXPECT_EQ(marks.back(),
              (std::pair<std::string, TPhraseMark>{"K1", {TPhraseStatus::Translated, "One"}}));
}

TEST(ChooseReferenceTest, RememberedThenEnglishThenTheFirstOther) {
    const std::vector<TCatalogueEntry> entries = {
        {"Deutsch", "/p/App_Deutsch.ini"},
        {"English", "/p/App_English.ini"},
        {"Polski", "/p/App_Polski.ini"},
    };
    const struct {
        const char* edited;
        std::optional<std::string> remembered;
        std::optional<std::size_t> chosen;
    } cases[] = {
        {"/p/App_Polski.ini", std::nullopt, 1}, {"/p/App_Polski.ini", "Deutsch", 0},
        {"/p/App_Polski.ini", "Klingon", 1},    {"/p/App_English.ini", std::nullopt, 0},
        {"/p/App_English.ini", "English", 0},   {"/p/App_Deutsch.ini", "Polski", 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseReference(entries, c.edited, c.remembered), c.chosen)
            << c.edited << " " << c.remembered.value_or("-");
    EXPECT_EQ(
        ChooseReference({{"English", "/p/App_English.ini"}}, "/p/App_English.ini", std::nullopt),
        std::nullopt);
}

// A translation saved at another place (the user's own copy) keeps what was
// kept for it; the view's layout is kept between runs.
TEST(WorkbenchChoicesTest, ATranslationSavedElsewhereKeepsItsChoicesAndTheViewIsKept) {
    TempDir dir;
    const std::string from = "/usr/lib/app/App_Polski.ini", to = "/home/u/copy/App_Polski.ini";
    TWorkbenchChoices choices;
    choices.SetShowAs(from, TEncoding::Windows1250);
    choices.SetMaster(from, "/usr/lib/app/App_Deutsch.ini");
    choices.SetPhraseMark(from, "Main.Open", {TPhraseStatus::Translated, "Open"});
    choices.SetPhraseMark(from, "Main.Quit", {TPhraseStatus::ToBeChecked, {}});
    choices.SetPhraseMark("/usr/lib/app/App_Polski.ini.bak", "Other",
                          {TPhraseStatus::ToBeChecked, {}});
    choices.SetReferenceLanguage("/usr/lib/app/Languages.ini", "Deutsch");
    choices.CopyFileChoices(from, to);
    choices.CopyFileChoices("/usr/lib/app/Languages.ini", "/home/u/copy/Languages.ini");
    EXPECT_FALSE(choices.IsViewOn("side-by-side"));
    choices.SetViewOn("side-by-side", true);

    const std::string path = dir / TWorkbenchChoices::FileName;
    ASSERT_EQ(choices.Save(path), "");
    TWorkbenchChoices read;
    ASSERT_TRUE(read.Load(path));
    for (const std::string& file : {from, to}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(read.ShowAs(file), TEncoding::Windows1250);
        EXPECT_EQ(read.Master(file), "/usr/lib/app/App_Deutsch.ini");
        const std::vector<std::pair<std::string, TPhraseMark>> marks = {
            {"Main.Open", {TPhraseStatus::Translated, "Open"}},
            {"Main.Quit", {TPhraseStatus::ToBeChecked, {}}}};
        EXPECT_EQ(read.PhraseMarks(file), marks);
    }
    EXPECT_EQ(read.ReferenceLanguage("/home/u/copy/Languages.ini"), "Deutsch");
    EXPECT_TRUE(read.IsViewOn("side-by-side"));
    read.SetViewOn("side-by-side", false);
    EXPECT_FALSE(read.IsViewOn("side-by-side"));
    // Nothing is copied onto itself or from nowhere.
    const std::string before = read.Text();
    read.CopyFileChoices(to, to);
    read.CopyFileChoices("", to);
    EXPECT_EQ(read.Text(), before);
}

} // namespace
