// Conversions between the program's byte strings and Qt's text.
#pragma once

#include "texts/Encoding.h"

#include <QFile>
#include <QString>

#include <string>

// Bytes shown on screen: UTF-8 when valid, otherwise Windows-1252.
inline QString ToDisplay(const std::string& bytes) {
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const std::string utf8 = DecodeText(bytes, TTextEncoding::Windows1252);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
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
