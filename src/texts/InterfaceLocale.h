// Which locale the program's own interface language stands for, so that the
// texts Qt supplies itself (file dialogs, standard buttons) can speak it too.
#pragma once

#include <string>

// The key under which a language file of the program's own names its locale,
// e.g. FrmWordlark.Locale="de".
inline const char* const LocaleKey = "FrmWordlark.Locale";

// The locale of an interface language: the one its language file declares
// (letters, digits, "_" and "-", such as "de" or "pt_BR"; "-" becomes "_"),
// else the locale of a language the program ships ("English", "Deutsch",
// "Français"), else empty.
std::string InterfaceLocale(const std::string& declared, const std::string& languageName);
