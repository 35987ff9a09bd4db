// UTF-8 at the system boundary. Paths and texts are UTF-8 bytes inside the
// program. On Windows a std::filesystem::path made from a std::string reads the
// bytes in the ANSI code page ("Français" would become "FranÃ§ais"), so every
// path handed to the system goes through PathFromUtf8, and every Win32 text
// through the wide conversions. Elsewhere the bytes pass unchanged.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

#ifdef _WIN32
// Invalid UTF-8 becomes U+FFFD, which names no file that could be meant.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
// The system's own words for a Win32 error code, in the user's language,
// without the line end; "Windows error <code>" when the system has none.
std::string WindowsErrorText(unsigned long code);
#endif

} // namespace platform
