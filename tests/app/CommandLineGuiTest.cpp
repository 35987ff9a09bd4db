// The exchange commands as a script runs them: exit codes, what they print
// and what they write.
#include "app/CommandLine.h"
#include "encoding/TextEncoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct TRun {
    int Code;
    std::string Out;
    std::string Err;
};

TRun Command(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const std::optional<int> code = RunCommandLine(args, out, err);
    return {code.value_or(-1), out.str(), err.str()};
}

class CommandLineGuiTest : public testing::Test {
protected:
    void SetUp() override {
        Dir.Write("Languages.ini",
                  "LanguageName=\"English\"\r\nLanguageFile=\"App_English.ini\"\r\n"
                  "LanguageName=\"Čeština\"\r\nLanguageFile=\"App_Cestina.ini\"\r\n");
        Dir.Write("App_English.ini", "Open=\"Open %s\"\r\nClose=\"Close\"\r\nNew=\"New\"\r\n");
        Translation =
            EncodeText("Open=\"Otevřít %s\"\r\nClose=\"Close\"\r\n", TEncoding::Windows1250);
        Path = Dir.Write("App_Cestina.ini", Translation);
    }
    TempDir Dir;
    std::string Translation;
    std::string Path;
};

TEST_F(CommandLineGuiTest, ExportAndImportUnchangedLeaveTheFileAsItWas) {
    for (const char* format : {"po", "xliff"}) {
        SCOPED_TRACE(format);
        const std::string out = Dir / (std::string("out.") + format);
        // The reference and the language come from the catalogue beside the file.
        const TRun exported =
            Command({"--export", format, "--encoding", "windows-1250", Path, "-o", out});
        EXPECT_EQ(exported.Code, 0) << exported.Err;
        EXPECT_EQ(exported.Out, out + ": 3 phrases, 1 translated\n");
        const std::string file = TempDir::Read(out);
        EXPECT_NE(file.find("Otevřít %s"), std::string::npos);
        EXPECT_NE(
            file.find(format == std::string("po") ? "Language: cs" : "target-language=\"cs\""),
            std::string::npos);

        const TRun imported = Command({"--import", out, "--encoding", "Windows-1250", Path});
        EXPECT_EQ(imported.Code, 0) << imported.Err;
        EXPECT_EQ(imported.Out, Path + ": 0 phrases changed, 1 unchanged\n");
        EXPECT_EQ(TempDir::Read(Path), Translation);
    }
}

TEST_F(CommandLineGuiTest, ImportReportsWhatItCouldNotStore) {
    const std::string po = Dir.Write(
        "edited.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                     "msgctxt \"Close\"\nmsgid \"Close\"\nmsgstr \"Zavřít\"\n\n"
                     "msgctxt \"Open\"\nmsgid \"Open %s\"\nmsgstr \"Открыть %s\"\n\n"
                     "msgctxt \"New\"\nmsgid \"New\"\nmsgstr \"Nový\"\n");
    const TRun run = Command({"--import", po, "--encoding", "Windows-1250", Path});
    EXPECT_EQ(run.Code, 1) << run.Err;
    EXPECT_EQ(run.Out, po +
                           ":8: Open: The letter О (U+041E) cannot be stored in Windows-1250: "
                           "the phrase was left as it was\n" +
                           po +
                           ":12: New: App_Cestina.ini has no such key; add it, then import "
                           "again\n" +
                           Path + ": 1 phrases changed, 0 unchanged, 2 not stored\n");
    EXPECT_EQ(TempDir::Read(Path),
              EncodeText("Open=\"Otevřít %s\"\r\nClose=\"Zavřít\"\r\n", TEncoding::Windows1250));
}

TEST_F(CommandLineGuiTest, BadUseAndUnreadableFilesExitWithTwo) {
    const std::string broken = Dir.Write("broken.po", "msgctxt \"A\"\nmsgid \"a\nmsgstr \"\"\n");
    struct TCase {
        std::vector<std::string> Args;
        const char* Error;
    };
    const TCase cases[] = {
        {{"--export"}, "which format?"},
        {{"--export", "mo", Path, "-o", Dir / "x"}, "unknown format mo"},
        {{"--export", "po", Path}, "no output file"},
        {{"--export", "po", Path, "-o", Dir / "x", "--bogus", "1"}, "unknown option --bogus"},
        {{"--export", "po", Path, "--encoding", "KOI8-R", "-o", Dir / "x"}, "unknown encoding"},
        {{"--export", "po", Dir / "none.ini", "--reference", Path, "-o", Dir / "x"},
         "none.ini: cannot be read"},
        {{"--export", "po", Path, "-o", Dir / "no/such/folder/x.po"}, "cannot be written"},
        {{"--import", broken}, "give the exchange file and the translation file"},
        {{"--import", broken, Path}, "broken.po:2: a string in double quotes"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Error);
        const TRun run = Command(c.Args);
        EXPECT_EQ(run.Code, 2);
        EXPECT_NE(run.Err.find(c.Error), std::string::npos) << run.Err;
    }
    EXPECT_EQ(TempDir::Read(Path), Translation);
    // No command: the windows start.
    EXPECT_EQ(Command({}).Code, -1);
    EXPECT_EQ(Command({"-platform", "offscreen"}).Code, -1);
}

} // namespace
