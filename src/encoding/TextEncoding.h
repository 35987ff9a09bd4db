// Bytes on disk, text on screen. A document's encoding (TTextEncoding) is one
// of the encodings of TCodec: its bytes are decoded into the UTF-8 text the
// windows show, and that text is encoded back into the same bytes. A byte
// string that is valid UTF-8 is shown as UTF-8 unless the user chose otherwise
// ("Show as"); any other as the Western single-byte code page (Windows-1252).
#pragma once

#include "encoding/Codec.h"

#include <optional>
#include <string>
#include <string_view>

// How a document's bytes read as text. The bytes themselves are never changed
// by it: it says how they are shown and how typed text is written back.
using TTextEncoding = TEncoding;

// Bytes in the encoding as UTF-8 text; never fails.
std::string DecodeText(std::string_view bytes, TTextEncoding encoding);
// The same, taking the bytes: UTF-8 shown as it is comes back without a copy.
std::string TakeDecoded(std::string bytes, TTextEncoding encoding);
// UTF-8 text as bytes in the encoding. A character the encoding cannot hold is
// never written as a stand-in: it throws std::runtime_error naming it.
std::string EncodeText(std::string_view utf8, TTextEncoding encoding);
// The first character of text being typed or pasted that the encoding cannot
// hold (U+FFFD for a broken sequence), or none when it can hold all of it.
std::optional<char32_t> FirstUnencodable(std::string_view utf8, TTextEncoding encoding);

bool IsValidUtf8(std::string_view bytes);
