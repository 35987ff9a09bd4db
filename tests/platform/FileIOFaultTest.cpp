// Replacing a file when things go wrong: a full disk, a crash halfway, a file
// nobody may write, links, permissions and paths that are no file at all. The
// old file must always come out whole, and no temporary file may stay behind
// except after a crash.
#include "initfile/InitFile.h"
#include "platform/FileIO.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#ifndef _WIN32
namespace {

const std::string OldBytes = "Language=\"English\"\r\nDelay=\"3\"\r\n";

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

struct ChildOutcome {
    int status = 0;
    std::string output; // what the child wrote to its pipe
};

// Runs `body` in a forked child; the text it returns comes back through a pipe.
// The child ends with _exit, so nothing of the test's process runs twice.
ChildOutcome RunInChild(const std::function<std::string(int pipeFd)>& body) {
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string out = body(fds[1]);
        if (::write(fds[1], out.data(), out.size()) < 0)
            ::_exit(3);
        ::_exit(0);
    }
    ::close(fds[1]);
    ChildOutcome outcome;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            outcome.output.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    while (::waitpid(pid, &outcome.status, 0) < 0 && errno == EINTR) {
    }
    return outcome;
}

// One pipe descriptor for the crash hook, which cannot capture anything.
int HookPipe = -1;

void DieBeforeRename(const std::string& tempPath) {
    if (::write(HookPipe, tempPath.data(), tempPath.size()) < 0)
        ::_exit(3);
    ::kill(::getpid(), SIGKILL);
}

class FileIOFault : public ::testing::Test {
protected:
    TempDir Dir;
};

} // namespace

TEST_F(FileIOFault, FullDiskFailsWithTheReasonAndKeepsTheOldFile) {
    const std::string path = Dir.Write("Wordlark.ini", OldBytes);
    const std::string big(256 * 1024, 'x');
    // The child may write no file beyond 64 KiB; the kernel then refuses the
    // write as a full disk would, and SIGXFSZ is ignored so write() fails.
    const ChildOutcome child = RunInChild([&](int) -> std::string {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return std::string("skip: setrlimit(RLIMIT_FSIZE) failed: ") + std::strerror(errno);
        const std::string replaced = platform::ReplaceFileBytes(path, big);
        TInitFile doc(TInitFile::TForm::Ini);
        doc.AddString("Big", big);
        return (doc.Save(path) ? "saved|" : "refused|") + replaced;
    });
    ASSERT_TRUE(WIFEXITED(child.status) && WEXITSTATUS(child.status) == 0) << child.output;
    if (child.output.rfind("skip:", 0) == 0)
        GTEST_SKIP() << "cannot limit the file size to fake a full disk: " << child.output;

    const std::string reason = child.output.substr(child.output.find('|') + 1);
    EXPECT_EQ(child.output.substr(0, child.output.find('|')), "refused");
    EXPECT_NE(reason.find(path), std::string::npos) << reason;
    EXPECT_NE(reason.find(std::strerror(EFBIG)), std::string::npos) << reason;
    EXPECT_EQ(TempDir::Read(path), OldBytes);
    EXPECT_EQ(Entries(Dir.Path()), std::vector<std::string>{"Wordlark.ini"});
}

TEST_F(FileIOFault, CrashBeforeTheRenameLeavesTheOldFileWhole) {
    const std::string path = Dir.Write("Languages.ini", OldBytes);
    const std::string fresh = "LanguageName=\"Deutsch\"\r\n";
    const ChildOutcome child = RunInChild([&](int pipeFd) -> std::string {
        HookPipe = pipeFd;
        platform::BeforeReplaceRenameHook = DieBeforeRename;
        platform::ReplaceFileBytes(path, fresh);
        return "the hook was never called";
    });
    ASSERT_TRUE(WIFSIGNALED(child.status) && WTERMSIG(child.status) == SIGKILL) << child.output;

    EXPECT_EQ(TempDir::Read(path), OldBytes);
    // The temporary file sat in the same folder (so the rename cannot cross
    // file systems) and was complete when the process died.
    const fs::path temp(child.output);
    EXPECT_EQ(temp.parent_path(), fs::path(path).parent_path());
    EXPECT_EQ(TempDir::Read(child.output), fresh);
    EXPECT_EQ(Entries(Dir.Path()).size(), 2u);

    // The next save goes through as usual.
    EXPECT_EQ(platform::ReplaceFileBytes(path, fresh), "");
    EXPECT_EQ(TempDir::Read(path), fresh);
}

TEST_F(FileIOFault, FilesNobodyMayWriteStayUnwritten) {
    // No write permission at all: refused even for the superuser.
    const std::string path = Dir.Write("ReadOnly.ini", OldBytes);
    ::chmod(path.c_str(), 0444);
    const std::string reason = platform::ReplaceFileBytes(path, "New=\"1\"\r\n");
    EXPECT_NE(reason.find(path), std::string::npos) << reason;
    EXPECT_NE(reason.find(std::strerror(EACCES)), std::string::npos) << reason;
    TInitFile doc(TInitFile::TForm::Xml);
    EXPECT_FALSE(doc.Save(path));
    EXPECT_EQ(TempDir::Read(path), OldBytes);
    EXPECT_EQ(Mode(path), 0444u);
    EXPECT_EQ(Entries(Dir.Path()), std::vector<std::string>{"ReadOnly.ini"});
}

TEST_F(FileIOFault, AnOrdinaryUserMayNotReplaceSomeoneElsesFile) {
    // The other user's file may be written by its owner only; the folder lets
    // everybody create files, so only the file's own permission stops the save.
    const std::string theirs = Dir.Write("shared/theirs.ini", OldBytes);
    // A file of this user in a folder where it cannot create the temporary
    // file: it is overwritten in place rather than not at all.
    const std::string mine = Dir.Write("locked/mine.ini", OldBytes);
    const bool root = ::geteuid() == 0;
    const uid_t user = root ? 65534 : ::geteuid(); // "nobody" when we are root
    const gid_t group = root ? 65534 : ::getegid();
    ::chmod(Dir.Path().c_str(), 0755);
    ::chmod((Dir / "shared").c_str(), 01777);
    ::chmod(theirs.c_str(), 0644);
    // Without root there is no other user's file to try, only the folder case.
    if (root) {
        ASSERT_EQ(::chown(theirs.c_str(), 0, 0), 0);
        ASSERT_EQ(::chown(mine.c_str(), user, group), 0);
    }
    ::chmod((Dir / "locked").c_str(), 0555);

    const ChildOutcome child = RunInChild([&](int) -> std::string {
        if (root && (::setgid(group) != 0 || ::setuid(user) != 0))
            return std::string("skip: cannot become user nobody: ") + std::strerror(errno);
        const std::string theirsResult =
            root ? platform::ReplaceFileBytes(theirs, "Theirs=\"changed\"\r\n") : "not tried";
        const std::string mineResult = platform::ReplaceFileBytes(mine, "Mine=\"changed\"\r\n");
        return theirsResult + "|" + mineResult;
    });
    ASSERT_TRUE(WIFEXITED(child.status) && WEXITSTATUS(child.status) == 0) << child.output;
    if (child.output.rfind("skip:", 0) == 0)
        GTEST_SKIP() << child.output;

    const std::string theirsResult = child.output.substr(0, child.output.find('|'));
    const std::string mineResult = child.output.substr(child.output.find('|') + 1);
    if (root) {
        EXPECT_NE(theirsResult.find(std::strerror(EACCES)), std::string::npos) << theirsResult;
        EXPECT_EQ(TempDir::Read(theirs), OldBytes);
        EXPECT_EQ(Entries(Dir / "shared"), std::vector<std::string>{"theirs.ini"});
    }
    EXPECT_EQ(mineResult, "");
    EXPECT_EQ(TempDir::Read(mine), "Mine=\"changed\"\r\n");
    EXPECT_EQ(Entries(Dir / "locked"), std::vector<std::string>{"mine.ini"});
}

TEST_F(FileIOFault, SymbolicLinksAreFollowedAndKept) {
    const std::string real = Dir.Write("data/real.ini", OldBytes);
    fs::create_directories(Dir / "links");
    fs::create_symlink("../data/real.ini", Dir / "links/direct.ini");
    fs::create_symlink("direct.ini", Dir / "links/chained.ini");

    EXPECT_EQ(platform::ReplaceFileBytes(Dir / "links/direct.ini", "A=\"1\"\r\n"), "");
    EXPECT_EQ(TempDir::Read(real), "A=\"1\"\r\n");
    TInitFile doc(TInitFile::TForm::Ini);
    doc.AddString("B", "2");
    EXPECT_TRUE(doc.Save(Dir / "links/chained.ini"));
    EXPECT_EQ(TempDir::Read(real), "B=\"2\"\r\n");

    EXPECT_TRUE(fs::is_symlink(Dir / "links/direct.ini"));
    EXPECT_EQ(fs::read_symlink(Dir / "links/direct.ini"), "../data/real.ini");
    EXPECT_TRUE(fs::is_symlink(Dir / "links/chained.ini"));
    EXPECT_EQ(fs::read_symlink(Dir / "links/chained.ini"), "direct.ini");
    EXPECT_EQ(Entries(Dir / "links"), (std::vector<std::string>{"chained.ini", "direct.ini"}));
    EXPECT_EQ(Entries(Dir / "data"), std::vector<std::string>{"real.ini"});

    // A link to a file that is not there yet creates that file.
    fs::create_symlink("../data/new.ini", Dir / "links/ahead.ini");
    EXPECT_EQ(platform::ReplaceFileBytes(Dir / "links/ahead.ini", "C=\"3\"\r\n"), "");
    EXPECT_TRUE(fs::is_symlink(Dir / "links/ahead.ini"));
    EXPECT_EQ(TempDir::Read(Dir / "data/new.ini"), "C=\"3\"\r\n");

    // A loop of links names no file at all.
    fs::create_symlink("loop2.ini", Dir / "links/loop1.ini");
    fs::create_symlink("loop1.ini", Dir / "links/loop2.ini");
    EXPECT_NE(platform::ReplaceFileBytes(Dir / "links/loop1.ini", "D=\"4\"\r\n"), "");
    EXPECT_TRUE(fs::is_symlink(Dir / "links/loop1.ini"));
    EXPECT_TRUE(fs::is_symlink(Dir / "links/loop2.ini"));
    EXPECT_EQ(Entries(Dir / "links").size(), 5u);
}

TEST_F(FileIOFault, PermissionsAndOwnerAreKept) {
    for (mode_t mode : {0600u, 0640u, 0755u, 0604u}) {
        const std::string path = Dir.Write("kept.ini", OldBytes);
        ::chmod(path.c_str(), mode);
        EXPECT_EQ(platform::ReplaceFileBytes(path, "K=\"v\"\r\n"), "");
        EXPECT_EQ(Mode(path), mode);
        EXPECT_EQ(TempDir::Read(path), "K=\"v\"\r\n");
    }
    // A new file gets what the umask allows.
    const mode_t oldMask = ::umask(027);
    const std::string fresh = Dir / "fresh.ini";
    const std::string result = platform::ReplaceFileBytes(fresh, "K=\"v\"\r\n");
    ::umask(oldMask);
    EXPECT_EQ(result, "");
    EXPECT_EQ(Mode(fresh), 0640u);

    if (::geteuid() != 0)
        return; // only the superuser can hand a file to someone else
    const std::string owned = Dir.Write("owned.ini", OldBytes);
    ASSERT_EQ(::chown(owned.c_str(), 4321, 4322), 0);
    EXPECT_EQ(platform::ReplaceFileBytes(owned, "K=\"v\"\r\n"), "");
    struct stat st {};
    ASSERT_EQ(::stat(owned.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
}

TEST_F(FileIOFault, PathsThatAreNoFileFail) {
    fs::create_directories(Dir / "folder");
    Dir.Write("folder/inside.ini", OldBytes);
    const std::vector<std::string> paths = {Dir / "folder", Dir / "folder/", Dir / "missing/x.ini",
                                            ""};
    for (const std::string& path : paths) {
        const std::string reason = platform::ReplaceFileBytes(path, "K=\"v\"\r\n");
        EXPECT_NE(reason, "") << path;
        EXPECT_NE(reason.find("\"" + path + "\""), std::string::npos) << reason;
        TInitFile doc(TInitFile::TForm::Ini);
        doc.AddString("K", "v");
        EXPECT_FALSE(doc.Save(path)) << path;
    }
    EXPECT_TRUE(fs::is_directory(Dir / "folder"));
    EXPECT_EQ(TempDir::Read(Dir / "folder/inside.ini"), OldBytes);
    EXPECT_EQ(Entries(Dir / "folder"), std::vector<std::string>{"inside.ini"});
    EXPECT_EQ(Entries(Dir.Path()), std::vector<std::string>{"folder"});
}

#else

TEST(FileIOFault, NeedsPosix) {
    GTEST_SKIP() << "the fault tests fork and limit file sizes, which Windows cannot";
}

#endif
