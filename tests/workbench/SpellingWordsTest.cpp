// Which parts of a translation line spelling looks at, and the dictionary a
// translation's name stands for.
#include "workbench/SpellingWords.h"
#include "workbench/LanguageNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> out;
    for (const TSpellingWord& w : WordsToCheck(line)) {
        std::string shown = w.Word;
        if (line.substr(w.Begin, w.End - w.Begin) != w.Word)
            shown += "@" + line.substr(w.Begin, w.End - w.Begin);
        out.push_back(shown);
    }
    return out;
}

TEST(SpellingWordsTest, OnlyTheWordsOfThePhrase) {
    const struct {
        const char* line;
        std::vector<std::string> words;
    } cases[] = {
        // Never the key, comments, sections or unquoted values.
        {"FrmMain.BtnSave=\"Speichern\"", {"Speichern"}},
        {"; Kommentar mit Fehlr", {}},
        {"[Abschnitt]", {}},
        {"FrmMain.Width=120", {}},
        {"Key=Unquoted words", {}},
        // Placeholders of every kind.
        {"K=\"Datei %s nicht gefunden\"", {"Datei", "nicht", "gefunden"}},
        {"K=\"%d Dateien, %0:s und %1\"", {"Dateien", "und"}},
        {"K=\"{0} von {1:N2} Seiten\"", {"von", "Seiten"}},
        {"K=\"Fehler %.2f%%\"", {"Fehler"}},
        // Escapes run into the next word without becoming part of it.
        {"K=\"Zeile eins\\nZeile zwei\\tTab\"", {"Zeile", "eins", "Zeile", "zwei", "Tab"}},
        {"K=\"Erste#13#10Zweite\"", {"Erste", "Zweite"}},
        {"K=\"Ein \\\"Zitat\\\" hier\"", {"Ein", "Zitat", "hier"}},
        // The access key belongs to its word but is not spelled.
        {"K=\"&Datei\"", {"Datei@&Datei"}},
        {"K=\"Sp&eichern unter\"", {"Speichern@Sp&eichern", "unter"}},
        {"K=\"Drag && Drop\"", {"Drag", "Drop"}},
        // Markup and entities.
        {"K=\"<b>Fett</b> und <br/>neu\"", {"Fett", "und", "neu"}},
        {"K=\"Laden &amp; Speichern &#38; mehr\"", {"Laden", "Speichern", "mehr"}},
        {"K=\"<a href=\"x\">Link</a>\"", {"Link"}},
        // Letters of other scripts, words joined by apostrophes and hyphens.
        {"K=\"Größe ändern\"", {"Größe", "ändern"}},
        {"K=\"L'ouverture d’image\"", {"L'ouverture", "d’image"}},
        {"K=\"E-Mail senden - jetzt\"", {"E-Mail", "senden", "jetzt"}},
        {"K=\"Открыть файл\"", {"Открыть", "файл"}},
        // Numbers, acronyms, file names and addresses are not spelled.
        {"K=\"MP3 oder JPEG 90er Qualität\"", {"oder", "Qualität"}},
        {"K=\"Siehe Snapglass.ini oder www.example.com\"", {"Siehe", "oder"}},
        {"K=\"Mail an info@example.com, Pfad C:\\\\Temp\"", {"Mail", "an", "Pfad"}},
        {"K=\"Bild speichern...\"", {"Bild", "speichern"}},
        {"K=\"Als %s.txt und/oder http://x.de/Seite\"", {"Als", "und", "oder"}},
        {"K=\"Offen", {"Offen"}},
        {"K=\"\"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Words(c.line), c.words) << c.line;
}

TEST(SpellingWordsTest, WordRangesPointIntoTheLine) {
    const std::string line = "Btn=\"S&peichern als %s\"";
    const std::vector<TSpellingWord> words = WordsToCheck(line);
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0], (TSpellingWord{5, 15, "Speichern"}));
    EXPECT_EQ(words[1], (TSpellingWord{16, 19, "als"}));
}

TEST(LanguageNamesTest, DictionariesOfTranslationNames) {
    const struct {
        const char* name;
        std::optional<std::string> tag;
    } cases[] = {
        {"Deutsch", "de_DE"},
        {"deutsch", "de_DE"},
        {" German ", "de_DE"},
        {"Français", "fr"},
        {"Francais", "fr"},
        {"FRANÇAIS", "fr"},
        {"Fran\xE7"
         "ais",
         "fr"}, // written as Windows-1252
        {"Polski", "pl_PL"},
        {"English", "en_US"},
        {"English (UK)", "en_GB"},
        {"Deutsch (Schweiz)", "de_CH"},
        {"Deutsch  (Bayern)", "de_DE"},
        {"Português (Brasil)", "pt_BR"},
        {"Čeština", "cs_CZ"},
        {"Русский", "ru_RU"},
        {"Ελληνικά", "el_GR"},
        {"Klingonisch", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DictionaryForLanguage(LanguageNameText(c.name)), c.tag) << c.name;
    EXPECT_EQ(FoldedLanguageName("  Česká   Republika "), "ceska republika");
}

} // namespace
