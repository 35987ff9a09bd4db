// Replacing a file when things go wrong: a full disk, a crash halfway, a file
// nobody may write, links, permissions or attributes, two saves at once and
// paths that are no file at all. The old file must always come out whole, and
// no temporary file may stay behind except after a crash. Each POSIX case has
// its Windows counterpart where Windows has the same fault.
#include "initfile/InitFile.h"
#include "platform/FileIO.h"
#include "platform/Utf8.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#ifdef __linux__
#include <sys/mount.h>
#endif
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#else
#include "support/ChildTest.h"

#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

const std::string OldBytes = "Language=\"English\"\r\nDelay=\"3\"\r\n";

// Wine's ReplaceFileW leaves an empty "rf<hex>.tmp" beside the file each time
// it fails, which Windows does not; those are not ours to count.
bool WineLeftover(const std::string& name) {
#ifdef _WIN32
    return childtest::UnderWine() && name.rfind("rf", 0) == 0 && name.size() > 6 &&
           name.compare(name.size() - 4, 4, ".tmp") == 0;
#else
    (void)name;
    return false;
#endif
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(platform::PathFromUtf8(folder))) {
        const std::string name = platform::Utf8FromPath(entry.path().filename());
        if (!WineLeftover(name))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class FileIOFault : public ::testing::Test {
protected:
    TempDir Dir;
};

// A second save of the same file that starts while the first one is between
// writing its temporary file and swapping it in.
std::string MidwayPath;
std::string MidwayResult;
std::vector<std::string> TempsSeen;

void NoteTemp(const std::string& temp) {
    TempsSeen.push_back(temp);
}

void SaveAgainMidway(const std::string& temp) {
    TempsSeen.push_back(temp);
    platform::BeforeReplaceRenameHook = NoteTemp;
    MidwayResult = platform::ReplaceFileBytes(MidwayPath, "Second=\"2\"\r\n");
}

} // namespace

TEST_F(FileIOFault, PathsThatAreNoFileFail) {
    fs::create_directories(platform::PathFromUtf8(Dir / "folder"));
    Dir.Write("folder/inside.ini", OldBytes);
    std::vector<std::string> paths = {Dir / "folder", Dir / "folder/", Dir / "missing/x.ini", ""};
#ifdef _WIN32
    // Reserved device names are no files on Windows, whatever their extension.
    for (const char* device : {"nul", "con.ini", "aux", "prn.ini", "com1", "lpt1.ini"})
        paths.push_back(Dir / device);
#endif
    for (const std::string& path : paths) {
        const std::string reason = platform::ReplaceFileBytes(path, "K=\"v\"\r\n");
        EXPECT_NE(reason, "") << path;
        EXPECT_NE(reason.find("\"" + path + "\""), std::string::npos) << reason;
        TInitFile doc(TInitFile::TForm::Ini);
        doc.AddString("K", "v");
        EXPECT_FALSE(doc.Save(path)) << path;
    }
    EXPECT_TRUE(fs::is_directory(platform::PathFromUtf8(Dir / "folder")));
    EXPECT_EQ(TempDir::Read(Dir / "folder/inside.ini"), OldBytes);
    EXPECT_EQ(Entries(Dir / "folder"), std::vector<std::string>{"inside.ini"});
    EXPECT_EQ(Entries(Dir.Path()), std::vector<std::string>{"folder"});
}

namespace {

#ifndef _WIN32
constexpr int DiskFull = ENOSPC, NotSupported = EOPNOTSUPP;
const std::string DiskFullText = std::strerror(ENOSPC);
#else
constexpr int DiskFull = ERROR_DISK_FULL, NotSupported = ERROR_NOT_SUPPORTED;
const std::string DiskFullText = platform::WindowsErrorText(ERROR_DISK_FULL);
#endif

// Bytes of every value, NUL included, different for each seed.
std::string Bytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + seed * 7 + i / 251) % 256);
    return bytes;
}

// One in-place write: what reserving answers, and which step fails (as a full
// disk) at the offsets from From (-1: never) up to To.
struct InPlaceCase {
    const char* What;
    size_t OldSize, NewSize;
    int Reserve;
    platform::InPlaceStep Failing;
    long long From, To = 1LL << 40;
};
InPlaceCase Current{};

int InjectFault(platform::InPlaceStep step, long long offset) {
    if (step == platform::InPlaceStep::Reserve && Current.Reserve != 0)
        return Current.Reserve;
    const bool fails = step == Current.Failing && Current.From >= 0 && offset >= Current.From &&
                       offset < Current.To;
    return fails ? DiskFull : 0;
}

} // namespace

#ifndef _WIN32
// Reading: a file comes back byte for byte whatever its size; what is no
// regular file fails at once, a pipe nobody writes to included.
TEST_F(FileIOFault, ReadingGivesEveryByteAndFailsForWhatIsNoFile) {
    for (const size_t size : {size_t(0), size_t(1), size_t(4096), size_t(1) << 20}) {
        const std::string bytes = Bytes(size, static_cast<unsigned>(size));
        const std::string path = Dir.Write("read.bin", bytes);
        std::string read = "old";
        EXPECT_TRUE(platform::ReadFileBytes(path, read)) << size;
        EXPECT_TRUE(read == bytes) << size;
    }
    const std::string pipe = Dir / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directories(Dir / "folder");
    for (const std::string& path : {Dir / "missing.ini", Dir / "folder", pipe, std::string()}) {
        std::string read = "old";
        EXPECT_FALSE(platform::ReadFileBytes(path, read)) << path;
        EXPECT_EQ(read, "") << path;
    }
}
#endif

// Writing in place fails at each step in turn, part way through the content:
// the old file comes out whole, byte for byte, and the reason names the file.
// Where the file system cannot reserve room, the content beyond the old end is
// written there first instead.
TEST_F(FileIOFault, AnInPlaceWriteThatFailsPartWayPutsTheOldBytesBack) {
    using Step = platform::InPlaceStep;
    constexpr size_t KiB = 1024;
    const InPlaceCase cases[] = {
        {"longer, fails in its second piece", 200 * KiB, 300 * KiB, 0, Step::Write, 64 * KiB},
        {"shorter, fails in its second piece", 200 * KiB, 100 * KiB, 0, Step::Write, 64 * KiB},
        {"no room for a longer one", 100 * KiB, 300 * KiB, DiskFull, Step::Write, -1},
        {"shorter, flush after the cut fails", 200 * KiB, 10 * KiB, 0, Step::Flush, 10 * KiB},
        {"no reserving, its tail fails", 100 * KiB, 300 * KiB, NotSupported, Step::Write,
         200 * KiB},
        {"no reserving, its head fails", 100 * KiB, 300 * KiB, NotSupported, Step::Write, 64 * KiB,
         100 * KiB},
        {"longer", 200 * KiB, 300 * KiB, 0, Step::Write, -1},
        {"to empty", 100 * KiB, 0, 0, Step::Write, -1},
        {"no reserving, longer", 100 * KiB, 300 * KiB, NotSupported, Step::Write, -1},
    };
    platform::InPlaceFaultHook = InjectFault;
    for (const InPlaceCase& c : cases) {
        const std::string path = Dir.Write("InPlace.ini", Bytes(c.OldSize, 1));
        Current = c;
        const std::string reason = platform::WriteFileInPlace(path, Bytes(c.NewSize, 2));
        const bool fails = c.From >= 0 || c.Reserve == DiskFull;
        EXPECT_EQ(reason.empty(), !fails) << c.What << ": " << reason;
        if (fails) {
            EXPECT_NE(reason.find("\"" + path + "\". " + DiskFullText), std::string::npos)
                << c.What << ": " << reason;
        }
        EXPECT_TRUE(TempDir::Read(path) == (fails ? Bytes(c.OldSize, 1) : Bytes(c.NewSize, 2)))
            << c.What;
    }
    platform::InPlaceFaultHook = nullptr;
    EXPECT_EQ(Entries(Dir.Path()), std::vector<std::string>{"InPlace.ini"});
}

TEST_F(FileIOFault, TwoSavesAtOnceBothGoThrough) {
    const std::string path = Dir.Write("Languages.ini", OldBytes);
    MidwayPath = path;
    TempsSeen.clear();
    platform::BeforeReplaceRenameHook = SaveAgainMidway;
    const std::string first = platform::ReplaceFileBytes(path, "First=\"1\"\r\n");
    platform::BeforeReplaceRenameHook = nullptr;
    EXPECT_EQ(first, "");
    EXPECT_EQ(MidwayResult, "");
    ASSERT_EQ(TempsSeen.size(), 2u);
    EXPECT_NE(TempsSeen[0], TempsSeen[1]);
    EXPECT_EQ(TempDir::Read(path), "First=\"1\"\r\n"); // the first swap came last
    EXPECT_EQ(Entries(Dir.Path()), std::vector<std::string>{"Languages.ini"});

    // Two threads save the same file over and over while a third reads it: every
    // save goes through, and the file read is always one of them, whole.
    const std::vector<std::string> contents = {std::string(70000, 'a') + "\r\n",
                                               std::string(30000, 'b') + "\r\n"};
    std::atomic<bool> saving{true};
    std::vector<std::string> failures[2];
    std::vector<std::string> torn;
    std::thread reader([&] {
        std::string bytes;
        while (saving)
            if (platform::ReadFileBytes(path, bytes) && bytes != "First=\"1\"\r\n" &&
                std::find(contents.begin(), contents.end(), bytes) == contents.end())
                torn.push_back(bytes.substr(0, 40));
    });
    std::vector<std::thread> writers;
    for (int w = 0; w < 2; ++w)
        writers.emplace_back([&, w] {
            for (int i = 0; i < 25; ++i) {
                const std::string result = platform::ReplaceFileBytes(path, contents[w]);
                if (!result.empty())
                    failures[w].push_back(result);
            }
        });
    for (auto& writer : writers)
        writer.join();
    saving = false;
    reader.join();
    EXPECT_EQ(failures[0], std::vector<std::string>{});
    EXPECT_EQ(failures[1], std::vector<std::string>{});
    EXPECT_EQ(torn, std::vector<std::string>{});
    EXPECT_NE(std::find(contents.begin(), contents.end(), TempDir::Read(path)), contents.end());
    EXPECT_EQ(Entries(Dir.Path()), std::vector<std::string>{"Languages.ini"});
}

#ifndef _WIN32
namespace {

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

#ifdef __linux__
// The full disk for real: a small tmpfs, filled up, holds a file of an ordinary
// user in a folder that user may not write, so the save goes in place.
TEST_F(FileIOFault, AFullDiskLeavesAFileWrittenInPlaceWhole) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can mount a file system and become another user";
    const std::string disk = Dir / "disk";
    fs::create_directories(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=256k,mode=0755") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    struct Unmount {
        std::string Where;
        ~Unmount() { ::umount2(Where.c_str(), MNT_DETACH); }
    } unmount{disk};

    const std::string old = Bytes(40 * 1024, 1);
    const std::string path = Dir.Write("disk/Deutsch.ini", old);
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    {
        std::ofstream filler(disk + "/filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), block.size()) && filler.flush()) {
        }
    }
    ::chmod(disk.c_str(), 0555);

    const ChildOutcome child = RunInChild([&](int) -> std::string {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            return std::string("skip: cannot become user nobody: ") + std::strerror(errno);
        const std::string longer = platform::ReplaceFileBytes(path, Bytes(120 * 1024, 2));
        const bool whole = TempDir::Read(path) == old;
        // A shorter text needs no more room than the old one had.
        const std::string shorter = platform::ReplaceFileBytes(path, Bytes(30 * 1024, 3));
        return (whole ? "whole|" : "damaged|") + shorter + "|" + longer;
    });
    ASSERT_TRUE(WIFEXITED(child.status) && WEXITSTATUS(child.status) == 0) << child.output;
    if (child.output.rfind("skip:", 0) == 0)
        GTEST_SKIP() << child.output;
    EXPECT_EQ(child.output, "whole||Cannot write file \"" + path + "\". " + DiskFullText);
    EXPECT_TRUE(TempDir::Read(path) == Bytes(30 * 1024, 3));
    EXPECT_EQ(Entries(disk), (std::vector<std::string>{"Deutsch.ini", "filler"}));
}
#endif

// A write refused for want of permission is told apart from other failures,
// so that the program can offer another place; the test hook refuses a write
// as a protected folder does, for the superuser too.
TEST_F(FileIOFault, ARefusedWriteIsToldApart) {
    const std::string path = Dir.Write("ReadOnly.ini", OldBytes);
    ::chmod(path.c_str(), 0444);
    EXPECT_NE(platform::ReplaceFileBytes(path, "New=\"1\"\r\n"), "");
    EXPECT_EQ(platform::LastWriteError(), EACCES);
    EXPECT_TRUE(platform::IsWriteRefusal(platform::LastWriteError()));
    EXPECT_NE(platform::ReplaceFileBytes(Dir / "missing/x.ini", "x"), "");
    EXPECT_EQ(platform::LastWriteError(), ENOENT);
    EXPECT_FALSE(platform::IsWriteRefusal(platform::LastWriteError()));
    EXPECT_TRUE(platform::IsWriteRefusal(EROFS));
    EXPECT_TRUE(platform::IsWriteRefusal(EPERM));
    EXPECT_FALSE(platform::IsWriteRefusal(ENOSPC));

    const std::string fresh = Dir / "fresh.ini";
    platform::ReplaceFaultHook = [](const std::string& target) {
        return target.find("fresh") != std::string::npos ? EROFS : 0;
    };
    const std::string reason = platform::ReplaceFileBytes(fresh, "A=\"1\"\r\n");
    const std::string other = platform::ReplaceFileBytes(Dir / "other.ini", "B=\"2\"\r\n");
    const int otherError = platform::LastWriteError();
    platform::ReplaceFaultHook = nullptr;
    EXPECT_NE(reason.find(std::strerror(EROFS)), std::string::npos) << reason;
    EXPECT_FALSE(fs::exists(fresh));
    EXPECT_EQ(other, "");
    EXPECT_EQ(otherError, 0);
    EXPECT_EQ(Entries(Dir.Path()), (std::vector<std::string>{"ReadOnly.ini", "other.ini"}));
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

// Deleting: what goes, what stays and why. A link goes as a link; a file
// nobody may write stays, as a read-only file does on Windows.
TEST_F(FileIOFault, RemoveFileDeletesOnlyWhatItMay) {
    const std::string target = Dir.Write("target.ini", OldBytes);
    struct Case {
        const char* What;
        std::function<std::string()> Make; // returns the path to delete
        bool Removed;
    };
    const Case cases[] = {
        {"plain file", [&] { return Dir.Write("plain.ini", OldBytes); }, true},
        {"link",
         [&] {
             fs::create_symlink(target, Dir / "link.ini");
             return Dir / "link.ini";
         },
         true},
        {"dangling link",
         [&] {
             fs::create_symlink(Dir / "gone.ini", Dir / "dangling.ini");
             return Dir / "dangling.ini";
         },
         true},
        {"read-only file",
         [&] {
             const std::string path = Dir.Write("readonly.ini", OldBytes);
             fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
             return path;
         },
         false},
        {"folder",
         [&] {
             fs::create_directories(Dir / "folder.ini");
             return Dir / "folder.ini";
         },
         false},
        {"missing file", [&] { return Dir / "missing.ini"; }, false},
    };
    for (const Case& c : cases) {
        const std::string path = c.Make();
        const bool existed = fs::exists(fs::symlink_status(path));
        const std::string reason = platform::RemoveFile(path);
        EXPECT_EQ(reason.empty(), c.Removed) << c.What << ": " << reason;
        EXPECT_EQ(fs::exists(fs::symlink_status(path)), existed && !c.Removed) << c.What;
        if (!c.Removed) {
            EXPECT_NE(reason.find("\"" + path + "\""), std::string::npos) << reason;
        }
    }
    EXPECT_EQ(TempDir::Read(target), OldBytes);
    EXPECT_NE(platform::RemoveFile(""), "");
}

#else // _WIN32

// No counterpart for the full disk: Windows has no per-process file size limit
// to fake one with. The other faults have theirs.

#ifndef SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
#define SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE 0x2
#endif

namespace {

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(platform::WideFromUtf8(path).c_str());
}

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesW(platform::WideFromUtf8(path).c_str(), attributes)) << path;
}

// Makes a symbolic link `link` to the relative path `target`. Windows lets only
// privileged users (or developer mode) make one. Wine says yes but makes
// nothing, so there the link is made as wine's own files are, by the Unix `ln`,
// which wine starts like any program.
bool MakeLink(const std::string& link, const std::string& target) {
    const std::wstring wideLink = platform::WideFromUtf8(link);
    std::wstring wideTarget = platform::WideFromUtf8(target);
    std::replace(wideTarget.begin(), wideTarget.end(), L'/', L'\\');
    if (CreateSymbolicLinkW(wideLink.c_str(), wideTarget.c_str(),
                            SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
        GetFileAttributesW(wideLink.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    if (!childtest::UnderWine())
        return false;
    const fs::path where = platform::PathFromUtf8(link);
    std::wstring command = L"ln -s \"" + platform::WideFromUtf8(target) + L"\" \"" +
                           where.filename().wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        where.parent_path().c_str(), &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// The dying child writes its temporary file's path here.
std::string ChildReport;

void DieBeforeTheSwap(const std::string& tempPath) {
    {
        std::ofstream out(platform::PathFromUtf8(ChildReport), std::ios::binary);
        out << tempPath;
    }
    TerminateProcess(GetCurrentProcess(), 9);
}

} // namespace

// Run by CrashBeforeTheSwapLeavesTheOldFileWhole in a child process.
TEST(FileIOFaultChild, DISABLED_DieBeforeTheSwap) {
    ChildReport = childtest::Variable("WORDLARK_CHILD_REPORT");
    ASSERT_NE(ChildReport, "");
    platform::BeforeReplaceRenameHook = DieBeforeTheSwap;
    platform::ReplaceFileBytes(childtest::Variable("WORDLARK_CHILD_TARGET"),
                               "LanguageName=\"Deutsch\"\r\n");
    platform::BeforeReplaceRenameHook = nullptr;
    FAIL() << "the hook was never called";
}

TEST_F(FileIOFault, CrashBeforeTheSwapLeavesTheOldFileWhole) {
    const std::string path = Dir.Write("Languages.ini", OldBytes);
    const std::string fresh = "LanguageName=\"Deutsch\"\r\n";
    TempDir side;
    ASSERT_EQ(childtest::Run(
                  "FileIOFaultChild.DISABLED_DieBeforeTheSwap",
                  {{"WORDLARK_CHILD_TARGET", path}, {"WORDLARK_CHILD_REPORT", side / "temp.txt"}}),
              9);

    EXPECT_EQ(TempDir::Read(path), OldBytes);
    // The temporary file sat in the same folder and was complete, flushed, when
    // the process died.
    const std::string temp = TempDir::Read(side / "temp.txt");
    const std::string tempName = platform::Utf8FromPath(platform::PathFromUtf8(temp).filename());
    EXPECT_EQ(Entries(Dir.Path()), (std::vector<std::string>{"Languages.ini", tempName}));
    EXPECT_EQ(TempDir::Read(temp), fresh);

    // Neither that file, made read-only and hidden, nor one under the fixed
    // name earlier versions used, stops the next save or passes its attributes on.
    SetAttributes(temp, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    const std::string fixed = Dir.Write("Languages.ini.wordlark-tmp", "stale");
    SetAttributes(fixed, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(platform::ReplaceFileBytes(path, fresh), "");
    EXPECT_EQ(TempDir::Read(path), fresh);
    EXPECT_EQ(Attributes(path) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
    EXPECT_EQ(TempDir::Read(temp), fresh);
    EXPECT_EQ(TempDir::Read(fixed), "stale");
    EXPECT_EQ(Entries(Dir.Path()).size(), 3u);
}

// Deleting: a plain file goes; a read-only file, a folder and a missing file
// stay (or stay missing) with the reason.
TEST_F(FileIOFault, RemoveFileDeletesOnlyWhatItMay) {
    const std::string plain = Dir.Write("plain.ini", OldBytes);
    const std::string readOnly = Dir.Write("readonly.ini", OldBytes);
    SetAttributes(readOnly, FILE_ATTRIBUTE_READONLY);
    fs::create_directories(platform::PathFromUtf8(Dir / "folder.ini"));
    EXPECT_EQ(platform::RemoveFile(plain), "");
    EXPECT_EQ(Attributes(plain), INVALID_FILE_ATTRIBUTES);
    for (const std::string& path : {readOnly, Dir / "folder.ini", Dir / "missing.ini"}) {
        const std::string reason = platform::RemoveFile(path);
        EXPECT_NE(reason.find("\"" + path + "\""), std::string::npos) << reason;
    }
    EXPECT_EQ(TempDir::Read(readOnly), OldBytes);
    EXPECT_NE(Attributes(Dir / "folder.ini"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(platform::RemoveFile(""), "");
}

TEST_F(FileIOFault, ReadOnlyFilesStayUnwritten) {
    const std::string path = Dir.Write("ReadOnly.ini", OldBytes);
    SetAttributes(path, FILE_ATTRIBUTE_READONLY);
    const std::string reason = platform::ReplaceFileBytes(path, "New=\"1\"\r\n");
    EXPECT_NE(reason.find("\"" + path + "\""), std::string::npos) << reason;
    EXPECT_NE(reason.find(platform::WindowsErrorText(ERROR_ACCESS_DENIED)), std::string::npos)
        << reason;
    // Told apart as a refusal, so that another place can be offered.
    EXPECT_EQ(platform::LastWriteError(), static_cast<int>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(platform::IsWriteRefusal(platform::LastWriteError()));
    TInitFile doc(TInitFile::TForm::Xml);
    EXPECT_FALSE(doc.Save(path));
    EXPECT_EQ(TempDir::Read(path), OldBytes);
    EXPECT_NE(Attributes(path) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(Entries(Dir.Path()), std::vector<std::string>{"ReadOnly.ini"});
}

TEST_F(FileIOFault, AFileAnotherProgramHoldsIsLeftWholeWithTheReason) {
    const std::string path = Dir.Write("Held.ini", OldBytes);
    // Another program reads the file and lets nobody else write or delete it.
    HANDLE held = CreateFileW(platform::WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string reason = platform::ReplaceFileBytes(path, "New=\"1\"\r\n");
    CloseHandle(held);
    EXPECT_NE(reason.find("\"" + path + "\""), std::string::npos) << reason;
    const bool named =
        reason.find(platform::WindowsErrorText(ERROR_SHARING_VIOLATION)) != std::string::npos ||
        reason.find(platform::WindowsErrorText(ERROR_UNABLE_TO_REMOVE_REPLACED)) !=
            std::string::npos;
    EXPECT_TRUE(named) << reason;
    EXPECT_EQ(TempDir::Read(path), OldBytes);
    EXPECT_EQ(Entries(Dir.Path()), std::vector<std::string>{"Held.ini"});

    // Once the other program lets go, the save goes through.
    EXPECT_EQ(platform::ReplaceFileBytes(path, "New=\"1\"\r\n"), "");
    EXPECT_EQ(TempDir::Read(path), "New=\"1\"\r\n");
}

TEST_F(FileIOFault, AttributesAreKept) {
    constexpr DWORD watched = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                              FILE_ATTRIBUTE_TEMPORARY;
    const DWORD cases[] = {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_HIDDEN,
                           FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, 0};
    int n = 0;
    for (DWORD attributes : cases) {
        const std::string path = Dir.Write("kept" + std::to_string(n++) + ".ini", OldBytes);
        SetAttributes(path, attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
        // Wine keeps hidden and system but no "not content indexed".
        const DWORD before = Attributes(path) & watched;
        EXPECT_TRUE(before == attributes || childtest::UnderWine()) << path;
        EXPECT_EQ(platform::ReplaceFileBytes(path, "K=\"v\"\r\n"), "");
        EXPECT_EQ(Attributes(path) & watched, before) << path;
        EXPECT_EQ(TempDir::Read(path), "K=\"v\"\r\n");
    }
    // A new file is a plain one.
    const std::string fresh = Dir / "fresh.ini";
    EXPECT_EQ(platform::ReplaceFileBytes(fresh, "K=\"v\"\r\n"), "");
    EXPECT_EQ(Attributes(fresh) & watched, 0u);
    EXPECT_EQ(Entries(Dir.Path()).size(), std::size(cases) + 1);
}

TEST_F(FileIOFault, SymbolicLinksAreFollowedAndKept) {
    const std::string real = Dir.Write("data/real.ini", OldBytes);
    fs::create_directories(platform::PathFromUtf8(Dir / "links"));
    if (!MakeLink(Dir / "links/direct.ini", "../data/real.ini"))
        GTEST_SKIP() << "this account may not make symbolic links (no developer mode)";
    ASSERT_TRUE(MakeLink(Dir / "links/chained.ini", "direct.ini"));

    EXPECT_EQ(platform::ReplaceFileBytes(Dir / "links/direct.ini", "A=\"1\"\r\n"), "");
    EXPECT_EQ(TempDir::Read(real), "A=\"1\"\r\n");
    TInitFile doc(TInitFile::TForm::Ini);
    doc.AddString("B", "2");
    EXPECT_TRUE(doc.Save(Dir / "links/chained.ini"));
    EXPECT_EQ(TempDir::Read(real), "B=\"2\"\r\n");
    EXPECT_EQ(Entries(Dir / "links"), (std::vector<std::string>{"chained.ini", "direct.ini"}));
    EXPECT_EQ(Entries(Dir / "data"), std::vector<std::string>{"real.ini"});
    // The links still lead to the file: written directly, it reads the same
    // through them.
    EXPECT_EQ(platform::ReplaceFileBytes(real, "C=\"3\"\r\n"), "");
    EXPECT_EQ(TempDir::Read(Dir / "links/direct.ini"), "C=\"3\"\r\n");
    EXPECT_EQ(TempDir::Read(Dir / "links/chained.ini"), "C=\"3\"\r\n");

    // Wine shows a link as the file it names; Windows shows the link itself,
    // also one to a file that is not there yet.
    if (childtest::UnderWine())
        return;
    EXPECT_NE(Attributes(Dir / "links/direct.ini") & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_NE(Attributes(Dir / "links/chained.ini") & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    ASSERT_TRUE(MakeLink(Dir / "links/ahead.ini", "../data/new.ini"));
    EXPECT_EQ(platform::ReplaceFileBytes(Dir / "links/ahead.ini", "D=\"4\"\r\n"), "");
    EXPECT_NE(Attributes(Dir / "links/ahead.ini") & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_EQ(TempDir::Read(Dir / "data/new.ini"), "D=\"4\"\r\n");
}
#endif
