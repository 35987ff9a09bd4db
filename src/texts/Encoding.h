// Bytes on disk, text on screen: a byte string that is valid UTF-8 is shown as
// UTF-8, any other as the Western single-byte code page (Windows-1252).
#pragma once

#include <string>
#include <string_view>

bool IsValidUtf8(std::string_view bytes);
// Decodes Windows-1252 bytes into UTF-8. Bytes the code page leaves undefined
// map to the C1 control characters of the same value.
std::string Cp1252ToUtf8(std::string_view bytes);
// Encodes UTF-8 text into Windows-1252; characters it lacks become "?".
std::string Utf8ToCp1252(std::string_view text);
