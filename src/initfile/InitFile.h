// TInitFile: a key/value document held as bytes in memory, in one of two forms.
//
// INI form: one entry per line, key="value".
// XML form: a declaration, a root element and one element per entry,
//           <key>value</key>.
//
// Values are found by a plain substring search over the body and new entries are
// appended at its end; nothing is ever escaped or converted.
#pragma once

#include <cstdint>
#include <string>

class TInitFile {
public:
    enum class TForm { Ini, Xml };

    explicit TInitFile(TForm form = TForm::Ini);

    bool Load(const std::string& path);
    bool Save(const std::string& path) const;
    std::string GetText() const;
    void Clear();

    void AddString(const std::string& key, const std::string& value);
    void AddInt(const std::string& key, int value);
    void AddBool(const std::string& key, bool value);

    std::string GetString(const std::string& key, const std::string& defaultValue);
    int GetInt(const std::string& key, int defaultValue);
    bool GetBool(const std::string& key, bool defaultValue);
    std::string GetNextString(const std::string& key);

    bool Parse(const std::string& text);
    void SetRootName(const std::string& name);
    std::string FindValue(size_t start, const std::string& key);

    TForm Form() const { return FForm; }
    const std::string& RootName() const { return FRootName; }
    const std::string& Body() const { return FBody; }
    size_t ReadCursor() const { return FReadCursor; }

private:
    // Reads the first value of the key from the start of the body; empty when
    // absent.
    std::string FirstValue(const std::string& key) { return FindValue(0, key); }

    TForm FForm;
    std::string FRootName;
    std::string FHeader;
    std::string FFooter;
    std::string FBody;
    size_t FReadCursor = 0;
};

// Reads a base-10 integer as C's strtol does: leading white space and a sign
// allowed, stops at the first non-digit, saturates when out of range. A text
// that does not start with a number reads as 0.
int StrToIntSaturating(const std::string& text);
