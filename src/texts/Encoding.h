// Bytes on disk, text on screen: a byte string that is valid UTF-8 is shown as
// UTF-8, any other as the Western single-byte code page (Windows-1252).
#pragma once

#include <optional>
#include <string>
#include <string_view>

// How a document's bytes read as text. The bytes themselves are never changed
// by it: it says how they are shown and how typed text is written back.
enum class TTextEncoding { Utf8, Windows1252 };

// The name users know the encoding by: "UTF-8", "Windows-1252".
const char* EncodingName(TTextEncoding encoding);
// Valid UTF-8 is shown as UTF-8, anything else as Windows-1252.
TTextEncoding DetectEncoding(std::string_view bytes);
// Bytes in the encoding as UTF-8 text, and UTF-8 text as bytes in the encoding.
std::string DecodeText(std::string_view bytes, TTextEncoding encoding);
std::string EncodeText(std::string_view utf8, TTextEncoding encoding);
// The first character of the UTF-8 text that the encoding cannot hold, or none
// when it can hold all of it. In a single-byte encoding a broken sequence
// counts as U+FFFD, which none of them holds.
std::optional<char32_t> FirstUnencodable(std::string_view utf8, TTextEncoding encoding);

bool IsValidUtf8(std::string_view bytes);
// Decodes Windows-1252 bytes into UTF-8. Bytes the code page leaves undefined
// map to the C1 control characters of the same value.
std::string Cp1252ToUtf8(std::string_view bytes);
// Encodes UTF-8 text into Windows-1252; characters it lacks become "?".
std::string Utf8ToCp1252(std::string_view text);
