// Helpers of the window tests for interface texts and preferences: files beside
// the sandboxed executable, Wordlark.ini in the data folder, and the texts the
// shipped language files hold.
#pragma once

#include "initfile/InitFile.h"
#include "support/WordlarkFixture.h"
#include "texts/QtText.h"

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Key and value pairs in file order.
using Entries = std::vector<std::pair<std::string, std::string>>;

class TextsFixture : public WordlarkFixture {
protected:
    // A file beside the executable.
    std::string WriteProgramFile(const std::string& name, const std::string& bytes) {
        return Dir.Write("bin/" + name, bytes);
    }

    // The shipped catalogue beside the executable, naming another default.
    void SetShippedDefaultLanguage(const std::string& name) {
        std::string catalogue = TempDir::Read(Dir / "bin/Languages.ini");
        catalogue.replace(catalogue.find("LanguageDefault=\"English\""), 25,
                          "LanguageDefault=\"" + name + "\"");
        WriteProgramFile("Languages.ini", catalogue);
    }

    // Key="Value" lines with CR LF, as the program's own files are written.
    static std::string IniText(const Entries& entries) {
        std::string text;
        for (const auto& [key, value] : entries)
            text += key + "=\"" + value + "\"\r\n";
        return text;
    }

    std::string SettingsPath() const { return Dir / "local/Brightmoor/Wordlark/Wordlark.ini"; }

    // Wordlark.ini in its XML form, written before the program starts.
    void WriteSettings(const Entries& entries) {
        TInitFile doc(TInitFile::TForm::Xml);
        for (const auto& [key, value] : entries)
            doc.AddString(key, value);
        Dir.Write("local/Brightmoor/Wordlark/Wordlark.ini", doc.GetText());
    }

    // The entries of Wordlark.ini in file order; fails the test on any line
    // that is not an entry of the root InitFile.
    Entries ReadSettings() const {
        const std::string text = TempDir::Read(SettingsPath());
        const std::string head = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<InitFile>\r\n";
        const std::string foot = "</InitFile>\r\n";
        Entries entries;
        if (text.rfind(head, 0) != 0 || text.size() < head.size() + foot.size() ||
            text.compare(text.size() - foot.size(), foot.size(), foot) != 0) {
            ADD_FAILURE() << "not an InitFile document:\n" << text;
            return entries;
        }
        size_t pos = head.size();
        const size_t end = text.size() - foot.size();
        while (pos < end) {
            const size_t eol = text.find("\r\n", pos);
            const std::string line = text.substr(pos, eol - pos);
            pos = eol == std::string::npos ? end : eol + 2;
            const size_t open = line.find('<'), close = line.find('>');
            if (line.rfind("  <", 0) != 0 || close == std::string::npos) {
                ADD_FAILURE() << "stray line: " << line;
                continue;
            }
            const std::string key = line.substr(open + 1, close - open - 1);
            const std::string endTag = "</" + key + ">";
            if (line.size() < endTag.size() + close + 1 ||
                line.compare(line.size() - endTag.size(), endTag.size(), endTag) != 0) {
                ADD_FAILURE() << "stray line: " << line;
                continue;
            }
            entries.emplace_back(key,
                                 line.substr(close + 1, line.size() - endTag.size() - close - 1));
        }
        return entries;
    }

    static std::string Setting(const Entries& entries, const std::string& key) {
        for (const auto& [k, v] : entries)
            if (k == key)
                return v;
        ADD_FAILURE() << key << " missing";
        return std::string();
    }

    // A text as a shipped language file holds it, as the program shows it.
    static QString Shipped(const std::string& file, const std::string& key) {
        TInitFile doc(TInitFile::TForm::Ini);
        EXPECT_TRUE(doc.Load(std::string(WORDLARK_DATA_DIR) + "/" + file)) << file;
        const std::string value = doc.GetString(key, "");
        EXPECT_FALSE(value.empty()) << file << ": " << key;
        return ToDisplay(value);
    }
    static QString Deutsch(const std::string& key) { return Shipped("Wordlark_Deutsch.ini", key); }
};
