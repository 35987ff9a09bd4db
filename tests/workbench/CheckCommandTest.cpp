// wordlark --check as a script sees it: what it prints and its exit status,
// for clean and faulty files and for bad use. (tests/app/CheckCommandProgramTest.sh
// runs the built program the same way, without a display.)
#include "workbench/CheckCommand.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string ProgramFolder = std::string(WORDLARK_DATA_DIR) + "/";

struct TRun {
    int Status;
    std::string Out;
    std::string Err;
};

// The text with each "@" standing for `folder`.
std::string Substituted(std::string text, const std::string& folder) {
    for (std::size_t at = 0; (at = text.find('@', at)) != std::string::npos; at += folder.size())
        text.replace(at, 1, folder);
    return text;
}

// The text with each "@" standing for the folder `dir`.
std::string In(const TempDir& dir, const std::string& text) {
    return Substituted(text, dir.Path());
}

// The same for a JSON text: the folder as a JSON string holds it, so that a
// Windows path's backslashes come out escaped.
std::string InJson(const TempDir& dir, const std::string& text) {
    std::string folder;
    for (const char c : dir.Path()) {
        if (c == '\\' || c == '"')
            folder += '\\';
        folder += c;
    }
    return Substituted(text, folder);
}

TRun Check(const TempDir& dir, std::vector<std::string> arguments) {
    for (std::string& a : arguments)
        a = In(dir, a);
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunCheckCommand(arguments, ProgramFolder, out, err);
    return {status, out.str(), err.str()};
}

class CheckCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir.Write("Languages.ini",
                  "LanguageName=\"English\"\r\nLanguageFile=\"App_English.ini\"\r\n"
                  "LanguageName=\"Deutsch\"\r\nLanguageFile=\"App_Deutsch.ini\"\r\n");
        Dir.Write("App_English.ini", "Main.Open=\"Open %s...\"\r\nMain.Save=\"&Save\"\r\n"
                                     "Main.Quit=\"Quit\"\r\n");
        Dir.Write("App_Deutsch.ini",
                  "Main.Open=\"%s öffnen\"\r\nMain.Save=\"&Speichern\" x\r\nY\r\n");
        Dir.Write("Clean/App_Deutsch.ini",
                  "Main.Open=\"%s öffnen...\"\r\nMain.Save=\"&Speichern\"\r\n");
    }
    TempDir Dir;
};

TEST_F(CheckCommandTest, PrintsEachProblemAndASummary) {
    const std::string summary0 = "Files checked: 1. Files with problems: 0. Problems: 0.\n";
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string out;
    } cases[] = {
        // Against the reference a catalogue beside the file offers.
        {{"@App_Deutsch.ini"},
         CheckFoundProblems,
         "@App_Deutsch.ini:1: The phrase ends in other punctuation: '...' in the reference, '–' "
         "here\n"
         "@App_Deutsch.ini:2: Text after the closing quote, which the program does not read: x\n"
         "@App_Deutsch.ini:2: The key Main.Quit of the reference is missing\n"
         "@App_Deutsch.ini:3: The line is neither an entry, a [section], a ;comment nor blank\n"
         "Files checked: 1. Files with problems: 1. Problems: 4.\n"},
        // Without a catalogue, by itself; or against the reference given.
        {{"@Clean/App_Deutsch.ini"}, CheckFoundNothing, summary0},
        {{"--reference", "@App_English.ini", "@Clean/App_Deutsch.ini"},
         CheckFoundProblems,
         "@Clean/App_Deutsch.ini:2: The key Main.Quit of the reference is missing\n"
         "Files checked: 1. Files with problems: 1. Problems: 1.\n"},
        {{"--language=Francais", "--reference=@App_English.ini", "--", "@Clean/App_Deutsch.ini"},
         CheckFoundProblems,
         "@Clean/App_Deutsch.ini:2: La clé Main.Quit de la référence manque\n"
         "Fichiers vérifiés : 1. Fichiers avec des problèmes : 1. Problèmes : 1.\n"},
        {{"--language", "DEUTSCH", "@Clean/App_Deutsch.ini", "@Clean/App_Deutsch.ini"},
         CheckFoundNothing,
         "Geprüfte Dateien: 2. Dateien mit Problemen: 0. Probleme: 0.\n"},
    };
    for (const auto& c : cases) {
        const TRun run = Check(Dir, c.arguments);
        const std::string expected = In(Dir, c.out);
        EXPECT_EQ(run.Status, c.status) << c.arguments.back();
        EXPECT_EQ(run.Out, expected) << c.arguments.back();
        EXPECT_EQ(run.Err, "") << c.arguments.back();
    }
}

TEST_F(CheckCommandTest, TheSameAsJson) {
    Dir.Write("Odd.ini", "Odd\"Key=\"x\"\r\nMain.Save=\"\t&Speichern\"\r\n");
    const TRun run = Check(Dir, {"--json", "@Odd.ini", "@missing.ini"});
    EXPECT_EQ(run.Status, CheckBadUse);
    EXPECT_EQ(run.Out,
              InJson(Dir,
                     "{\"files\": [\n"
                     "  {\"file\": \"@Odd.ini\", \"reference\": \"@App_English.ini\", "
                     "\"translated\": 1, \"phrases\": 3, \"problems\": [\n"
                     // A missing key that would go before every line comes first.
                     "    {\"line\": 1, \"reason\": \"MissingKey\", \"params\": [\"Main.Open\"], "
                     "\"message\": \"The key Main.Open of the reference is missing\"},\n"
                     "    {\"line\": 1, \"reason\": \"KeyNotInReference\", \"params\": "
                     "[\"Odd\\\"Key\"], \"message\": \"The reference has no key Odd\\\"Key\"},\n"
                     "    {\"line\": 2, \"reason\": \"LeadingBlanks\", \"params\": [\"\", "
                     "\"\\u0009\"], \"message\": \"Blanks before the phrase differ: '' in the "
                     "reference, '→' here\"},\n"
                     "    {\"line\": 2, \"reason\": \"MissingKey\", \"params\": [\"Main.Quit\"], "
                     "\"message\": \"The key Main.Quit of the reference is missing\"}\n"
                     "  ]},\n"
                     "  {\"file\": \"@missing.ini\", \"error\": \"@missing.ini: the file cannot be "
                     "read\"}\n"
                     "], \"filesChecked\": 1, \"filesWithProblems\": 1, \"problems\": 4, "
                     "\"summary\": \"Files checked: 1. Files with problems: 1. Problems: 4.\"}\n"));
}

TEST_F(CheckCommandTest, BadUseAndUnreadableFiles) {
    const struct {
        std::vector<std::string> arguments;
        const char* error; // the start of what goes to the error output
    } cases[] = {
        {{}, "wordlark --check: no file to check\nUsage: wordlark --check"},
        {{"--bogus", "@App_Deutsch.ini"}, "wordlark --check: unknown option --bogus\n"},
        {{"@App_Deutsch.ini", "--reference"}, "wordlark --check: --reference needs a value\n"},
        {{"--language", "Klingon", "@App_Deutsch.ini"},
         "wordlark --check: no language Klingon; the languages are: English, Deutsch, Français\n"},
        {{"--reference", "@missing.ini", "@App_Deutsch.ini"},
         "@missing.ini: the file cannot be read\n"},
        {{"@missing.ini", "@Clean/App_Deutsch.ini"}, "@missing.ini: the file cannot be read\n"},
    };
    for (const auto& c : cases) {
        const TRun run = Check(Dir, c.arguments);
        const std::string expected = In(Dir, c.error);
        EXPECT_EQ(run.Status, CheckBadUse) << expected;
        EXPECT_EQ(run.Err.substr(0, expected.size()), expected);
    }
    const TRun help = Check(Dir, {"--help"});
    EXPECT_EQ(help.Status, CheckFoundNothing);
    EXPECT_EQ(help.Out.rfind("Usage: wordlark --check [--reference FILE]", 0), 0u);
    EXPECT_NE(help.Out.find("(English, Deutsch, Français)"), std::string::npos);
}

} // namespace
