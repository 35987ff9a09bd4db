// Translations and references in each encoding and line-break style, with the
// entries that are hard to carry out and back unchanged: empty phrases,
// escaped line breaks, placeholders, tabs, backslashes, inner quotes, repeated
// keys, unquoted and unclosed phrases, keys only one side has.
#pragma once

#include "encoding/TextEncoding.h"

#include <string>
#include <vector>

struct TExchangeFixture {
    std::string Name;
    TEncoding Encoding;
    std::string Translation; // bytes
    std::string Reference;   // bytes, UTF-8
};

inline std::string JoinLines(const std::vector<std::string>& lines, const std::string& eol,
                             bool finalBreak) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += lines[i] + (i + 1 < lines.size() || finalBreak ? eol : "");
    return text;
}

inline std::vector<TExchangeFixture> ExchangeFixtures() {
    struct TLetters {
        const char* Name;
        TEncoding Encoding;
        const char* Open;  // "Open %s" translated, in UTF-8
        const char* Other; // more letters of the code page
    };
    const TLetters letters[] = {
        {"Utf8", TEncoding::Utf8, "%s öffnen – 開く", "Ünïcödé ✓ 😀"},
        {"Windows1250", TEncoding::Windows1250, "Otevřít %s", "Žluťoučký kůň úpěl"},
        {"Windows1251", TEncoding::Windows1251, "Открыть %s", "Съешь же ещё этих булок"},
        {"Windows1252", TEncoding::Windows1252, "Ouvrir %s…", "Ça coûte 5 €, naïve"},
    };
    const std::vector<std::string> reference = {
        "; Snapglass, English",
        "[Main]",
        "Missing.First=\"Only in the reference, at the top\"",
        "Main.Open=\"Open %s\"",
        "Main.Empty=\"Close\"",
        "Main.Lines=\"Line one\\nLine two#13#10three<br>four\"",
        "Main.Count=\"%d of %d files, {0} in %1\"",
        "Main.Tab=\"a\\tb\tc\"",
        "Main.Path=\"C:\\new\\file.txt\"",
        "Main.Quoted=\"say \"hi\" now\"",
        "Main.Missing=\"Only in the reference, in the middle\"",
        "Main.Same=\"Zoom\"",
        "Main.Other=\"Letters\"",
        "Main.Width=400",
        "Main.Open=\"A second Open, never read\"",
        "Main.Last=\"Last\"",
        "Missing.End=\"Only in the reference, at the end\"",
    };
    std::vector<TExchangeFixture> fixtures;
    for (const TLetters& l : letters) {
        const std::vector<std::string> translation = {
            "; Snapglass",
            "[Main]",
            "",
            std::string("Main.Open=\"") + l.Open + "\"",
            "Main.Empty=\"\"",
            "Main.Lines=\"Zeile eins\\nZeile zwei#13#10drei<br>vier\"",
            "Main.Count=\"%d von %d Dateien, {0} in %1\"",
            "Main.Tab=\"a\\tb\tc\"",
            "Main.Path=\"C:\\neu\\datei.txt\"",
            "Main.Quoted=\"sag \"hallo\" jetzt\"",
            "Main.Same=\"Zoom\"",
            std::string("Main.Other=\"") + l.Other + "\"",
            "Main.Width=420",
            "Main.Unclosed=\"no closing quote",
            "  Main.Spaced =\"blanks around the key\"",
            "Main.Extra=\"Only in the translation\"",
            std::string("Main.Open=\"A second ") + l.Open + ", never read\"",
            "",
            "Main.Last=\"Letzte\"",
        };
        for (const bool crlf : {true, false}) {
            const std::string eol = crlf ? "\r\n" : "\n";
            TExchangeFixture fixture;
            fixture.Name = std::string(l.Name) + (crlf ? "CrLf" : "Lf");
            fixture.Encoding = l.Encoding;
            fixture.Translation = EncodeText(JoinLines(translation, eol, crlf), l.Encoding);
            fixture.Reference = JoinLines(reference, eol, true);
            fixtures.push_back(std::move(fixture));
        }
    }
    // Bytes that are no valid UTF-8 in a UTF-8 file, and a byte Windows-1252
    // leaves undefined: shown as characters of their own, they come back.
    fixtures.push_back({"StrayBytesUtf8", TEncoding::Utf8,
                        "Main.Open=\"\xC3\xB6"
                        "ffnen \xFF\xFE %s\"\r\nMain.Last=\"\x81\"\r\n",
                        "Main.Open=\"Open %s\"\r\nMain.Last=\"Last\"\r\n"});
    fixtures.push_back({"UndefinedByte1252", TEncoding::Windows1252,
                        "Main.Open=\"\x81\x8D %s \xE9\"\n", "Main.Open=\"Open %s\"\n"});
    return fixtures;
}
