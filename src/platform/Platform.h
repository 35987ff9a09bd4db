// The one door to the operating system. Every other part of the program asks
// this interface for folders, file existence and the like, so that the same code
// runs on Windows and on POSIX systems and tests can sandbox every folder.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace smapi {
struct TMapiFunctions;
}

namespace platform {

// The platform's path separator: "\" on Windows, "/" elsewhere.
#ifdef _WIN32
inline constexpr char PathDelim = '\\';
// Appended to the name of an outside program beside the executable.
inline constexpr const char* ExecutableSuffix = ".exe";
#else
inline constexpr char PathDelim = '/';
inline constexpr const char* ExecutableSuffix = "";
#endif

// The shell folders the program works with.
enum class ShellFolder {
    LocalAppData,   // per-user, this machine only
    RoamingAppData, // per-user, travels with the profile
    CommonAppData,  // shared by all users
};

// How a hand-off to the desktop went: a document, folder or address given to
// the desktop's handler, or a message given to the mail client.
struct THandOff {
    enum class TState {
        Succeeded, // the desktop took it
        Failed,    // it did not; Reason says why
        Running,   // the desktop's tool was still at work when the wait ended;
                   // how it ends is reported later
    };
    // Why a hand-off failed, as the desktop's tools tell it.
    enum class TReason {
        None,
        NotStarted,   // the tool itself could not be started; Error says why
        BadRequest,   // the tool did not understand the request
        NotFound,     // a file or folder does not exist
        NoHandler,    // no program is set up for it
        ActionFailed, // the program set up for it failed
        NoPermission, // a file may not be read
        Other,        // another failure; Status holds the tool's own code
        Unknown,      // the tool ended without a status (a signal), or the
                      // request never reached it
    };
    TState State = TState::Succeeded;
    TReason Reason = TReason::None;
    // The tool's exit status (POSIX) or the shell's result (Windows); -1 when
    // there is none (not started, ended by a signal).
    int Status = 0;
    std::string Error;

    bool Failed() const { return State == TState::Failed; }
    bool operator==(const THandOff&) const = default;
};

// Called once when a hand-off that was Running ends, with how it ended
// (Succeeded or Failed). It runs on a thread of the platform's own, never on
// the one that asked: a window brings it onto its event loop.
using TLateEnd = std::function<void(const THandOff& end)>;

class Platform {
public:
    virtual ~Platform() = default;

    // Full path of the running executable.
    virtual std::string ExecutablePath() = 0;
    // The shell folder without a trailing separator; empty when unknown. A
    // per-user folder (local or roaming) that does not exist yet is made first.
    virtual std::string GetShellFolder(ShellFolder folder) = 0;

    // The all-users data folders in which the maker's programs are looked
    // for, best first, each without a trailing separator. On Windows the one
    // common folder; on POSIX systems a search path (the user's own data
    // folder, then the system's data folders), where the first folder that
    // holds an entry wins.
    virtual std::vector<std::string> CommonAppDataRoots();
    // Where this program registers itself, best first: the all-users folder,
    // and on POSIX systems the user's own data folder for a user who may not
    // write there.
    virtual std::vector<std::string> RegistrationRoots();
    // The names of the entries of a folder, of every kind, in the order the
    // system lists them; empty when the folder cannot be listed. A listing
    // that breaks off part way gives the names read so far.
    virtual std::vector<std::string> ListFolder(const std::string& path);

    // True only for an existing regular file (never for a folder).
    virtual bool FileExists(const std::string& path);
    virtual bool DirectoryExists(const std::string& path);
    // Creates one directory; false when it exists already or cannot be made.
    virtual bool CreateDir(const std::string& path);
    virtual std::string GetCurrentDir();
    virtual bool SetCurrentDir(const std::string& path);
    // True for an existing regular file this user may start as a program.
    virtual bool IsExecutable(const std::string& path);

    // The shell: hands documents, folders and addresses to the desktop and
    // starts outside programs. Paths and arguments are passed as they are,
    // never through a shell.
    //
    // An open waits a little for the desktop's answer (on POSIX the exit
    // status of xdg-open, at most XdgOpenTimeout). When the answer is not in
    // by then the result is Running and `onLateEnd`, when given, is told how
    // it ended. Nothing is left behind as a zombie either way.

    // Opens a document with the program the desktop associates with it.
    virtual THandOff OpenDocument(const std::string& path, TLateEnd onLateEnd = {});
    // Shows a folder in the desktop's file manager.
    virtual THandOff OpenFolder(const std::string& path, TLateEnd onLateEnd = {});
    // Opens a web or "mailto:" address; a bare host name is taken as https.
    virtual THandOff OpenAddress(const std::string& address, TLateEnd onLateEnd = {});
    // Starts a program with its arguments and does not wait for it; false
    // when it could not be started.
    virtual bool StartProgram(const std::string& program,
                              const std::vector<std::string>& arguments);

    // Mail: the Simple MAPI entry points (platform/SimpleMapi.h), or null when
    // no mail system can be reached. On Windows the system's library is loaded
    // at the first call; one that lacks an entry point raises EMapiDllError.
    virtual const smapi::TMapiFunctions* SimpleMapi();
    // The name of the mail system's default profile: nothing when the system
    // keeps none, empty when it cannot be read.
    virtual std::optional<std::string> DefaultMailProfile();
    // Where the mail system hands a message to a tool of the desktop that
    // takes its time (POSIX: xdg-email), how the last message sent through
    // SimpleMapi() went there: Running when the tool was still at work at the
    // limit, Failed with the tool's reason. Nothing where the mail system
    // answers for itself (Windows: its code is all there is).
    virtual std::optional<THandOff> LastMailHandOff();
    // Who is told how a message that was Running at the limit ends. Set it
    // before sending; it stays for later messages until replaced.
    virtual void SetMailLateEnd(TLateEnd onLateEnd);
};

// The platform in use. Tests install a double with Install().
Platform& Get();
// Replaces the platform in use and returns the previous one.
std::unique_ptr<Platform> Install(std::unique_ptr<Platform> replacement);
// The implementation for the system the program was built for.
std::unique_ptr<Platform> CreateNative();

// Helpers over the platform in use.
inline bool FileExists(const std::string& path) {
    return Get().FileExists(path);
}
inline bool DirectoryExists(const std::string& path) {
    return Get().DirectoryExists(path);
}
inline bool CreateDir(const std::string& path) {
    return Get().CreateDir(path);
}

// The address as the shell is given it: a bare host name such as
// "www.example.com" gets "https://"; an address with a scheme ("http:",
// "mailto:", ...) is kept as it is.
std::string AddressWithScheme(const std::string& address);

// Appends the path separator unless the text already ends with one.
std::string IncludeTrailingDelimiter(const std::string& path);
// The part of a path behind its last "/" or "\" (and ":" on Windows), so that
// paths written on Windows read the same everywhere.
std::string ExtractFileName(const std::string& path);
// The path without its last component, with the trailing separator kept.
std::string ExtractFilePath(const std::string& path);
// The absolute form of a path, relative to the current directory.
std::string ExpandFileName(const std::string& path);

// Lets a command started from a console write there, in UTF-8. On Windows,
// where the program is built without a console of its own, standard output
// and error that were not redirected go to the console it was started from;
// elsewhere there is nothing to do.
void UseStartingConsole();

} // namespace platform
