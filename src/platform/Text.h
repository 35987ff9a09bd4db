// The system's character facilities: what a byte means in a Windows code page,
// and the case and class of a character.
//
// POSIX: glibc's iconv for the code pages, towlower_l and iswalnum_l in the
// C.UTF-8 locale for case and class. Windows: MultiByteToWideChar with the
// code page and MB_ERR_INVALID_CHARS, CharLowerW and IsCharAlphaNumericW.
#pragma once

#include <optional>

namespace platform {

// The character that `byte` stands for in the Windows code page `codePage`
// (1250, 1251, 1252, ...); nothing when the code page leaves the byte
// undefined or the system does not know the code page.
std::optional<char32_t> DecodeCodePageByte(unsigned codePage, unsigned char byte);

// The character in lower case, for comparing without regard to case; itself
// when it has none.
char32_t FoldCase(char32_t c);

// Letters, digits and the underscore: the characters words are made of.
bool IsWordCharacter(char32_t c);

} // namespace platform
