// The text the editor benchmarks work on: lines like those of a translation
// file (sections, comments, widths and mostly quoted phrases), always the same
// for the same size.
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

} // namespace bench
