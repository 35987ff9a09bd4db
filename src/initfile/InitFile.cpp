#include "initfile/InitFile.h"

#include "platform/FileIO.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {
const char* const CrLf = "\r\n";
const char* const XmlDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
} // namespace

int StrToIntSaturating(const std::string& text) {
    errno = 0;
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

TInitFile::TInitFile(TForm form) : FForm(form) {
    SetRootName("InitFile");
}

void TInitFile::SetRootName(const std::string& name) {
    if (FForm != TForm::Xml)
        return;
    FRootName = name;
    FHeader = std::string(XmlDeclaration) + CrLf + "<" + name + ">" + CrLf;
    FFooter = "</" + name + ">" + CrLf;
}

bool TInitFile::Load(const std::string& path) {
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes) || bytes.empty())
        return false;
    size_t nul = bytes.find('\0');
    if (nul != std::string::npos)
        bytes.resize(nul);
    return Parse(bytes);
}

bool TInitFile::Save(const std::string& path) const {
    return platform::ReplaceFileBytes(path, GetText()).empty();
}

std::string TInitFile::GetText() const {
    if (FForm == TForm::Xml)
        return FHeader + FBody + FFooter;
    return FBody;
}

void TInitFile::Clear() {
    FBody.clear();
    FReadCursor = 0;
}

bool TInitFile::Parse(const std::string& text) {
    if (FForm == TForm::Ini) {
        FBody = text;
        return true;
    }
    size_t declEnd = text.find("?>");
    size_t open = declEnd == std::string::npos ? declEnd : text.find('<', declEnd);
    size_t close = open == std::string::npos ? open : text.find('>', open);
    if (close == std::string::npos) {
        SetRootName("InitFile");
        return false;
    }
    SetRootName(text.substr(open + 1, close - open - 1));
    size_t start = close + 1;
    if (start < text.size() && text[start] == '\r')
        ++start;
    if (start < text.size() && text[start] == '\n')
        ++start;
    size_t end = text.find("</" + FRootName + ">", start);
    if (end == std::string::npos)
        return false;
    FBody = text.substr(start, end - start);
    return true;
}

void TInitFile::AddString(const std::string& key, const std::string& value) {
    if (FForm == TForm::Xml)
        FBody += "  <" + key + ">" + value + "</" + key + ">" + CrLf;
    else
        FBody += key + "=\"" + value + "\"" + CrLf;
}

void TInitFile::AddInt(const std::string& key, int value) {
    AddString(key, std::to_string(value));
}

void TInitFile::AddBool(const std::string& key, bool value) {
    AddString(key, value ? "1" : "0");
}

std::string TInitFile::FindValue(size_t start, const std::string& key) {
    std::string startPattern;
    std::string endPattern;
    if (FForm == TForm::Xml) {
        startPattern.append("<").append(key).append(">");
        endPattern.append("</").append(key).append(">");
    } else {
        startPattern.append(key).append("=\"");
        endPattern.push_back('"');
    }
    if (start > FBody.size())
        return std::string();
    size_t found = FBody.find(startPattern, start);
    if (found == std::string::npos)
        return std::string();
    size_t valueStart = found + startPattern.size();
    size_t valueEnd = FBody.find(endPattern, valueStart);
    if (valueEnd == std::string::npos)
        return std::string();
    FReadCursor = valueEnd + endPattern.size();
    return FBody.substr(valueStart, valueEnd - valueStart);
}

std::string TInitFile::GetString(const std::string& key, const std::string& defaultValue) {
    std::string value = FirstValue(key);
    return value.empty() ? defaultValue : value;
}

int TInitFile::GetInt(const std::string& key, int defaultValue) {
    std::string value = FirstValue(key);
    return value.empty() ? defaultValue : StrToIntSaturating(value);
}

bool TInitFile::GetBool(const std::string& key, bool defaultValue) {
    std::string value = FirstValue(key);
    return value.empty() ? defaultValue : StrToIntSaturating(value) == 1;
}

std::string TInitFile::GetNextString(const std::string& key) {
    return FindValue(FReadCursor, key);
}
