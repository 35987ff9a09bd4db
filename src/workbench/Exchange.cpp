#include "workbench/Exchange.h"

#include "encoding/TextEncoding.h"
#include "encoding/Utf8.h"
#include "initfile/KeyValueLine.h"
#include "workbench/Checks.h"
#include "workbench/ReferenceText.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <unordered_map>
#include <utility>

namespace {

std::string Where(const std::string& fileName, std::size_t line) {
    return fileName + ":" + std::to_string(line + 1);
}

// The units of the reference's keys, each with the line of the translation it
// follows (none: before the first line), in the reference's order.
std::vector<std::pair<std::optional<std::size_t>, std::size_t>>
MissingKeyLines(const TReferenceText& translation, const TReferenceText& reference) {
    std::vector<std::pair<std::optional<std::size_t>, std::size_t>> missing;
    std::optional<std::size_t> after;
    for (std::size_t line = 0; line < reference.LineCount(); ++line) {
        if (!reference.IsFirstOfKey(line))
            continue;
        if (const auto there = translation.LineOfKey(reference.Key(line)))
            after = there;
        else
            missing.emplace_back(after, line);
    }
    return missing;
}

} // namespace

std::vector<TExchangeUnit> TranslationUnits(const TExchangeText& translation,
                                            const TExchangeText& reference,
                                            const TExportChoices& choices) {
    const TReferenceText text(DecodeText(translation.Bytes, translation.Encoding));
    const TReferenceText ref(DecodeText(reference.Bytes, reference.Encoding));

    // Keys the translation lacks, grouped by the line they follow.
    std::map<std::optional<std::size_t>, std::vector<std::size_t>> missingAfter;
    for (const auto& [after, line] : MissingKeyLines(text, ref))
        missingAfter[after].push_back(line);
    std::vector<TExchangeUnit> units;
    const auto addMissing = [&](std::optional<std::size_t> after) {
        const auto hit = missingAfter.find(after);
        if (hit == missingAfter.end())
            return;
        for (const std::size_t line : hit->second) {
            TExchangeUnit unit;
            unit.Key = std::string(ref.Key(line));
            unit.Source = std::string(ref.Phrase(line));
            unit.Comments = {Where(reference.FileName, line),
                             "Not in " + translation.FileName + " yet"};
            units.push_back(std::move(unit));
        }
    };

    addMissing(std::nullopt);
    for (std::size_t line = 0; line < text.LineCount(); ++line) {
        if (text.IsFirstOfKey(line)) {
            TExchangeUnit unit;
            unit.Key = std::string(text.Key(line));
            const std::string_view phrase = text.Phrase(line);
            unit.Comments.push_back(Where(translation.FileName, line));
            const std::optional<std::size_t> refLine = ref.LineOfKey(unit.Key);
            bool translated;
            if (refLine) {
                unit.Source = std::string(ref.Phrase(*refLine));
                std::optional<std::string_view> masterPhrase;
                if (choices.Master)
                    if (const auto masterLine = choices.Master->LineOfKey(unit.Key))
                        masterPhrase = choices.Master->Phrase(*masterLine);
                translated = IsTranslated(text.Line(line), text.Parsed(line), ref.Line(*refLine),
                                          &ref.Parsed(*refLine), masterPhrase) ||
                             (choices.MarkedTranslated.contains(unit.Key) &&
                              text.Parsed(line).Quoting != TQuoting::None);
            } else {
                // Nothing else to translate from: the phrase is its own source.
                unit.Source = std::string(phrase);
                translated = IsTranslated(text.Line(line), text.Parsed(line), {}, nullptr);
                unit.Fuzzy = true;
                unit.Comments.push_back("Not in " + reference.FileName);
            }
            if (translated)
                unit.Target = std::string(phrase);
            if (choices.ToBeChecked.contains(unit.Key)) {
                unit.Fuzzy = true;
                unit.Comments.push_back("Marked as to be checked");
            }
            units.push_back(std::move(unit));
        }
        addMissing(line);
    }
    return units;
}

std::vector<TExchangeUnit> TemplateUnits(const TExchangeText& reference) {
    const TReferenceText ref(DecodeText(reference.Bytes, reference.Encoding));
    std::vector<TExchangeUnit> units;
    for (std::size_t line = 0; line < ref.LineCount(); ++line) {
        if (!ref.IsFirstOfKey(line))
            continue;
        TExchangeUnit unit;
        unit.Key = std::string(ref.Key(line));
        unit.Source = std::string(ref.Phrase(line));
        unit.Comments.push_back(Where(reference.FileName, line));
        units.push_back(std::move(unit));
    }
    return units;
}

// ---- The header ----------------------------------------------------------------------

std::string ExchangeDateNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M+0000", &utc);
    return text;
}

// ---- Language codes --------------------------------------------------------------

namespace {

struct TLanguageName {
    const char* Code;
    std::array<const char*, 3> Names; // own name, own name in plain letters, English
};

const TLanguageName LanguageNames[] = {
    {"en", {"English", "English", "English"}},
    {"de", {"Deutsch", "Deutsch", "German"}},
    {"fr", {"Français", "Francais", "French"}},
    {"es", {"Español", "Espanol", "Spanish"}},
    {"it", {"Italiano", "Italiano", "Italian"}},
    {"pt", {"Português", "Portugues", "Portuguese"}},
    {"nl", {"Nederlands", "Nederlands", "Dutch"}},
    {"da", {"Dansk", "Dansk", "Danish"}},
    {"sv", {"Svenska", "Svenska", "Swedish"}},
    {"nb", {"Norsk", "Norsk", "Norwegian"}},
    {"fi", {"Suomi", "Suomi", "Finnish"}},
    {"is", {"Íslenska", "Islenska", "Icelandic"}},
    {"pl", {"Polski", "Polski", "Polish"}},
    {"cs", {"Čeština", "Cestina", "Czech"}},
    {"sk", {"Slovenčina", "Slovencina", "Slovak"}},
    {"sl", {"Slovenščina", "Slovenscina", "Slovenian"}},
    {"hr", {"Hrvatski", "Hrvatski", "Croatian"}},
    {"sr", {"Српски", "Srpski", "Serbian"}},
    {"hu", {"Magyar", "Magyar", "Hungarian"}},
    {"ro", {"Română", "Romana", "Romanian"}},
    {"bg", {"Български", "Balgarski", "Bulgarian"}},
    {"ru", {"Русский", "Russkij", "Russian"}},
    {"uk", {"Українська", "Ukrainska", "Ukrainian"}},
    {"el", {"Ελληνικά", "Ellinika", "Greek"}},
    {"tr", {"Türkçe", "Turkce", "Turkish"}},
    {"et", {"Eesti", "Eesti", "Estonian"}},
    {"lv", {"Latviešu", "Latviesu", "Latvian"}},
    {"lt", {"Lietuvių", "Lietuviu", "Lithuanian"}},
    {"ca", {"Català", "Catala", "Catalan"}},
    {"ja", {"日本語", "Nihongo", "Japanese"}},
    {"zh", {"中文", "Zhongwen", "Chinese"}},
    {"ko", {"한국어", "Hangugeo", "Korean"}},
};

bool SameLetters(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// "de", "pt_BR", "pt-BR", "sr@latin": a code already.
bool IsLanguageCode(std::string_view name) {
    std::size_t i = 0;
    while (i < name.size() && name[i] >= 'a' && name[i] <= 'z')
        ++i;
    if (i < 2 || i > 3)
        return false;
    if (i == name.size())
        return true;
    if (name[i] != '_' && name[i] != '-' && name[i] != '@')
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(i) + 1, name.end(),
                       [](char c) { return IsLetter(c) || (c >= '0' && c <= '9'); }) &&
           i + 1 < name.size();
}

} // namespace

std::optional<std::string> LanguageCode(std::string_view name) {
    if (IsLanguageCode(name))
        return std::string(name);
    for (const TLanguageName& language : LanguageNames)
        for (const char* known : language.Names)
            if (SameLetters(name, known))
                return std::string(language.Code);
    return std::nullopt;
}

// ---- Bringing translations back ------------------------------------------------

namespace {

struct TNoteText {
    TImportNoteKind Kind;
    const char* Name;
    const char* Text;
};

const TNoteText NoteTexts[] = {
    {TImportNoteKind::Unencodable, "Unencodable",
     "The letter %1 (%2) cannot be stored in %3: the phrase was left as it was"},
    {TImportNoteKind::LineBreak, "LineBreak",
     "The phrase holds a line break, which no phrase can hold: it was left as it was"},
    {TImportNoteKind::DoubleQuote, "DoubleQuote",
     "The phrase holds a double quote, where a program ends it: it was left as it was"},
    {TImportNoteKind::NotQuoted, "NotQuoted",
     "The entry's phrase is not in double quotes: it was left as it was"},
    {TImportNoteKind::Repeated, "Repeated",
     "The key came already on line %1: this phrase was left out"},
    {TImportNoteKind::Locked, "Locked",
     "The phrase is locked or was not read whole: it was left as it was"},
};
static_assert(std::size(NoteTexts) == ImportNoteKindCount);

const TNoteText& NoteText(TImportNoteKind kind) {
    return NoteTexts[static_cast<std::size_t>(kind)];
}

std::string CodePoint(char32_t c) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return code;
}

// Where the first entry of a key has its phrase in the translation's bytes.
struct TPhrasePlace {
    std::size_t Begin;
    std::size_t End;
    TQuoting Quoting;
};

struct TReplacement {
    std::size_t Begin;
    std::size_t End;
    std::string Bytes;
    std::string Key;
};

} // namespace

std::string_view ImportNoteName(TImportNoteKind kind) {
    return NoteText(kind).Name;
}

std::string_view ImportNoteDefaultText(TImportNoteKind kind) {
    return NoteText(kind).Text;
}

std::string ImportNoteText(const TImportNote& note) {
    const std::string_view text = ImportNoteDefaultText(note.Kind);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const auto param = static_cast<std::size_t>(text[i + 1] - '1');
            if (param < note.Params.size())
                out += note.Params[param];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

TImportResult ImportUnits(std::string_view translation, TEncoding encoding,
                          const std::vector<TExchangeUnit>& units) {
    std::unordered_map<std::string, TPhrasePlace> places;
    ForEachLine(translation, [&](std::string_view line) {
        const TKeyValueLine parsed = ParseKeyValueLine(line);
        if (!parsed.IsEntry())
            return;
        const auto offset = static_cast<std::size_t>(line.data() - translation.data());
        places.try_emplace(
            DecodeText(parsed.Key(line), encoding),
            TPhrasePlace{offset + parsed.ValueBegin, offset + parsed.ValueEnd, parsed.Quoting});
    });

    const TCodec& codec = TCodec::Of(encoding);
    TImportResult result;
    std::vector<TReplacement> replacements;
    std::unordered_map<std::string, std::size_t> seen; // key: its unit's line
    for (const TExchangeUnit& unit : units) {
        if (unit.Target.empty())
            continue;
        const auto note = [&](TImportNoteKind kind, std::vector<std::string> params = {}) {
            result.Notes.push_back({kind, unit.Key, unit.Line, std::move(params)});
        };
        if (const auto [first, added] = seen.try_emplace(unit.Key, unit.Line); !added) {
            note(TImportNoteKind::Repeated, {std::to_string(first->second)});
            continue;
        }
        if (unit.Locked) {
            note(TImportNoteKind::Locked);
            continue;
        }
        const auto place = places.find(unit.Key);
        if (place == places.end()) {
            result.MissingKeys.push_back(unit);
            continue;
        }
        const TPhrasePlace& at = place->second;
        const std::string_view phrase = translation.substr(at.Begin, at.End - at.Begin);
        if (codec.Decode(phrase) != unit.Target) {
            if (at.Quoting != TQuoting::Closed) {
                note(TImportNoteKind::NotQuoted);
                continue;
            }
            if (unit.Target.find_first_of("\r\n") != std::string::npos) {
                note(TImportNoteKind::LineBreak);
                continue;
            }
            if (unit.Target.find('"') != std::string::npos) {
                note(TImportNoteKind::DoubleQuote);
                continue;
            }
            std::string bytes;
            if (const auto failure = codec.Encode(unit.Target, bytes)) {
                std::string letter;
                AppendUtf8(letter, failure->Character);
                note(TImportNoteKind::Unencodable,
                     {letter, CodePoint(failure->Character), std::string(EncodingName(encoding))});
                continue;
            }
            replacements.push_back({at.Begin, at.End, std::move(bytes), unit.Key});
        }
        result.Translated.push_back(unit.Key);
        if (unit.Fuzzy)
            result.ToBeChecked.push_back(unit.Key);
    }

    std::sort(replacements.begin(), replacements.end(),
              [](const TReplacement& a, const TReplacement& b) { return a.Begin < b.Begin; });
    std::size_t size = translation.size();
    for (const TReplacement& r : replacements)
        size = size - (r.End - r.Begin) + r.Bytes.size();
    result.Text.reserve(size);
    std::size_t done = 0;
    for (const TReplacement& r : replacements) {
        result.Text.append(translation.substr(done, r.Begin - done));
        result.Text += r.Bytes;
        done = r.End;
        result.Changed.push_back(r.Key);
    }
    result.Text.append(translation.substr(done));
    return result;
}
