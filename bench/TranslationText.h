// The texts the benchmarks work on, always the same for the same size: lines
// like those of a translation file (sections, comments, widths and mostly
// quoted phrases), and a reference with a translation of it.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

namespace bench {

// About 50 MB, or about 1 MB when WORDLARK_BENCH_SMALL=1 (CI).
inline size_t TextSize() {
    const char* small = std::getenv("WORDLARK_BENCH_SMALL");
    return (small && std::strcmp(small, "1") == 0) ? (1u << 20) : (50u << 20);
}

// A small deterministic generator, so every run works on the same text.
struct Lcg {
    std::uint64_t state = 0x2545F4914F6CDD1DULL;
    std::uint32_t Next(std::uint32_t bound) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>((state >> 33) % bound);
    }
};

inline void AppendLine(Lcg& rng, std::string& out, const char* eol) {
    static const char* const Forms[] = {"FrmMain", "FrmAbout", "FrmNewLanguage", "FrmOptions",
                                        "DlgMessage"};
    static const char* const Controls[] = {"BtnOK",      "BtnCancel",   "BtnSave",   "LblVersion",
                                           "MnuFile",    "MnuFileOpen", "MnuHelp",   "ChkBackup",
                                           "LisEntries", "EdtLanguage", "GrpLayout", "StsBar"};
    static const char* const Words[] = {
        "Some",   "phrase",      "with",   "the",  "file",    "cannot", "be",       "saved",
        "Please", "enter",       "a",      "name", "for",     "new",    "language", "of",
        "Delete", "translation", "Cancel", "and",  "Überall", "données"};
    const std::uint32_t pick = rng.Next(100);
    if (pick < 2) {
        out.append("[").append(Forms[rng.Next(std::size(Forms))]).append("]").append(eol);
        return;
    }
    if (pick < 4) {
        out.append("; Texts of ").append(Forms[rng.Next(std::size(Forms))]);
        out.append(", keep the %s markers").append(eol);
        return;
    }
    if (pick < 5) {
        out.append(eol);
        return;
    }
    out.append(Forms[rng.Next(std::size(Forms))]).append(".");
    out.append(Controls[rng.Next(std::size(Controls))]);
    if (pick < 15) {
        out.append(".Width=").append(std::to_string(40 + rng.Next(900))).append(eol);
        return;
    }
    out.append("=\"");
    const std::uint32_t words = 2 + rng.Next(6);
    for (std::uint32_t i = 0; i < words; ++i) {
        if (i)
            out += ' ';
        out += Words[rng.Next(std::size(Words))];
    }
    if (rng.Next(3) == 0)
        out += " %s";
    if (rng.Next(5) == 0)
        out += ": %d";
    out.append("\"").append(eol);
}

// At least `size` bytes of whole lines ended by `eol`.
inline std::string TranslationText(size_t size, const char* eol) {
    std::string text;
    text.reserve(size + 256);
    Lcg rng;
    while (text.size() < size)
        AppendLine(rng, text, eol);
    return text;
}

struct TTranslationPair {
    std::string Reference;
    std::string Translation;
};

// A reference of sections, comments and phrases (some with placeholders and
// escaped line breaks), and a translation of it as one in the middle of the
// work: most phrases translated, some still as the reference has them, a few
// with a lost placeholder, a few keys missing and a few added. The translation
// has at least `minBytes` bytes and `minLines` lines, each ended by CR LF.
inline TTranslationPair MakeTranslationPair(size_t minBytes, size_t minLines) {
    static const char* const English[] = {"Open", "the", "file", "Save", "all",     "changes",
                                          "Quit", "now", "page", "of",   "Picture", "size"};
    static const char* const German[] = {"Öffne", "die",        "Datei", "Speichere",
                                         "alle",  "Änderungen", "Ende",  "jetzt",
                                         "Seite", "von",        "Bild",  "Größe"};
    TTranslationPair t;
    size_t lines = 0;
    const auto translate = [&t, &lines](const std::string& line) {
        t.Translation.append(line).append("\r\n");
        ++lines;
    };
    Lcg rng;
    for (size_t i = 0; t.Translation.size() < minBytes || lines < minLines; ++i) {
        const std::uint32_t kind = rng.Next(100);
        if (kind < 2) {
            const std::string section = "[Form" + std::to_string(i) + "]";
            t.Reference.append(section).append("\r\n");
            translate(section);
            continue;
        }
        if (kind < 4) {
            t.Reference.append("; keep the %s markers\r\n");
            translate("; die %s-Marken behalten");
            continue;
        }
        const std::string key = "Form" + std::to_string(i / 40) + ".Control" + std::to_string(i);
        std::string english;
        std::string german;
        const std::uint32_t words = 2 + rng.Next(6);
        for (std::uint32_t w = 0; w < words; ++w) {
            const std::uint32_t pick = rng.Next(std::size(English));
            english.append(w ? " " : "").append(English[pick]);
            german.append(w ? " " : "").append(German[pick]);
        }
        const bool placeholder = rng.Next(3) == 0;
        const bool lineBreak = rng.Next(10) == 0;
        const std::string markers =
            std::string(placeholder ? " %s" : "") + (lineBreak ? "\\n%d" : "");
        t.Reference.append(key + "=\"" + english + markers + "\"\r\n");
        const std::uint32_t fate = rng.Next(100);
        if (fate < 2)
            continue; // missing
        if (fate < 4)
            translate(key + "Extra=\"" + german + "\""); // added, before the key untranslated
        if (fate < 25)
            translate(key + "=\"" + english + markers + "\""); // untranslated
        else if (fate < 28)
            translate(key + "=\"" + german + "\""); // lost its markers
        else
            translate(key + "=\"" + german + markers + "\"");
    }
    return t;
}

} // namespace bench
