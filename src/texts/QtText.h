// Conversions between the program's byte strings and Qt's text.
#pragma once

#include "encoding/TextEncoding.h"

#include <QFile>
#include <QString>

#include <string>
#include <string_view>

inline QString FromUtf8(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Bytes shown on screen: UTF-8 when valid, otherwise Windows-1252.
inline QString ToDisplay(const std::string& bytes) {
    if (IsValidUtf8(bytes))
        return FromUtf8(bytes);
    return FromUtf8(DecodeText(bytes, TTextEncoding::Windows1252));
}

// A character as messages name it: 'ł' (U+0142).
inline QString NamedCharacter(char32_t character) {
    return "'" + QString::fromUcs4(&character, 1) + "' (U+" +
           QString::number(static_cast<uint>(character), 16)
               .toUpper()
               .rightJustified(4, QChar('0')) +
           ")";
}

// Text typed by the user as bytes, in UTF-8.
inline std::string FromDisplay(const QString& text) {
    return text.toUtf8().toStdString();
}

// Paths are bytes in the file system's encoding.
inline QString PathToQt(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}
inline std::string PathFromQt(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
