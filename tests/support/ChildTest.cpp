#ifdef _WIN32
#include "support/ChildTest.h"

#include "platform/Utf8.h"

#include <windows.h>

namespace childtest {

long Run(const std::string& name, const Environment& env, const std::string& exe) {
    std::wstring program;
    if (exe.empty()) {
        std::wstring buffer(32768, L'\0');
        buffer.resize(GetModuleFileNameW(nullptr, buffer.data(), 32768));
        program = buffer;
    } else {
        program = platform::WideFromUtf8(exe);
    }
    std::wstring command = L"\"" + program + L"\" --gtest_also_run_disabled_tests --gtest_filter=" +
                           platform::WideFromUtf8(name);
    for (const auto& [key, value] : env)
        SetEnvironmentVariableW(platform::WideFromUtf8(key).c_str(),
                                platform::WideFromUtf8(value).c_str());

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    for (const auto& entry : env)
        SetEnvironmentVariableW(platform::WideFromUtf8(entry.first).c_str(), nullptr);
    CloseHandle(nul);
    if (!started)
        return -1;
    long result = -1;
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &code))
        result = static_cast<long>(code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

std::string Variable(const char* name) {
    const std::wstring key = platform::WideFromUtf8(name);
    std::wstring value(32768, L'\0');
    const DWORD n = GetEnvironmentVariableW(key.c_str(), value.data(), 32768);
    value.resize(n < 32768 ? n : 0);
    return platform::Utf8FromWide(value);
}

bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace childtest
#endif
