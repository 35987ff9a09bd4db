// Exchange with the translators' other tools: a translation and its reference
// as the phrases a PO or XLIFF file carries, and such a file's translations
// brought back into the translation's bytes.
//
// A phrase travels exactly as the file holds it between its quotes, decoded
// from the file's encoding: an escaped line break ("\n", "#13#10", "<br>")
// stays the characters it is written with. Each key travels once, with the
// phrase of its first entry, the one a program reads.
//
// Bringing translations back changes only the bytes between the quotes of the
// entries whose phrase differs; every other byte of the translation (keys,
// comments, order, blank lines, line breaks, later entries of a repeated key)
// stays as it was. A phrase that cannot be stored as it came (a letter the
// file's encoding cannot hold, a line break, a double quote) is left as it was
// and reported for its entry.
#pragma once

#include "encoding/Codec.h"
#include "workbench/ReferenceText.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// One phrase as the exchange files carry it. Texts are UTF-8.
struct TExchangeUnit {
    std::string Key;
    std::string Source; // the reference's phrase
    std::string Target; // the translation's phrase; empty while untranslated
    // To be checked: marked so by the translator, or a key the reference
    // lacks ("fuzzy" in PO, "needs-review-translation" in XLIFF).
    bool Fuzzy = false;
    // Read from a file only: the unit is not to be translated (XLIFF's
    // translate="no"), or its target was not read whole (an inline element
    // without its text); such a unit is never brought back.
    bool Locked = false;
    // Notes for the translators: where the phrase is and why it is flagged.
    std::vector<std::string> Comments;
    // Read from a file only: the unit's line in it (from 1), 0 when unknown.
    std::size_t Line = 0;
    bool operator==(const TExchangeUnit&) const = default;
};

// What an exchange file says besides its phrases.
struct TExchangeHeader {
    std::string Original;       // the translation's file name
    std::string Language;       // the translation's language: a code when known
    std::string SourceLanguage; // the reference's language
    std::string Generator;      // "Wordlark 1.700"
    std::string Date;           // "2024-05-01 12:00+0000"; none when empty
};

// An exchange file as read.
struct TExchangeDocument {
    TExchangeHeader Header;
    std::vector<TExchangeUnit> Units;
    // Lines of the entries that carry no key (not made by this program) and
    // were therefore left out.
    std::vector<std::size_t> Unkeyed;
};

// One file's text and how its bytes read.
struct TExchangeText {
    std::string_view Bytes;
    TEncoding Encoding = TEncoding::Utf8;
    std::string FileName; // for the notes that say where a phrase is
};

struct TExportChoices {
    // Keys (as shown, UTF-8) the translator marked as to be checked.
    std::set<std::string, std::less<>> ToBeChecked;
    // Keys marked as translated although their phrase is the reference's.
    std::set<std::string, std::less<>> MarkedTranslated;
    // The translation this one was copied from, if any: a phrase that still
    // reads as its phrase goes out untranslated, as the workbench counts it.
    std::shared_ptr<const TReferenceText> Master;
};

// The units of a translation checked against its reference: one per key of
// the translation, in its order, its phrase as the target when translated;
// the keys of the reference that the translation lacks (untranslated) each
// after the nearest key before it in the reference that the translation has.
std::vector<TExchangeUnit> TranslationUnits(const TExchangeText& translation,
                                            const TExchangeText& reference,
                                            const TExportChoices& choices = {});
// The units of a template: every key of the reference, none translated.
std::vector<TExchangeUnit> TemplateUnits(const TExchangeText& reference);

// The time now as the header's date: "2024-05-01 12:00+0000" (UTC).
std::string ExchangeDateNow();

// The language code (ISO 639) of a language as a catalogue names it
// ("Deutsch", "Français", "English", a code itself), if known.
std::optional<std::string> LanguageCode(std::string_view name);

// Why a phrase that came back was not stored, or what else needs attention.
enum class TImportNoteKind : std::uint8_t {
    Unencodable, // a letter the file's encoding cannot hold; {letter, U+code, encoding}
    LineBreak,   // a line break, which no phrase can hold
    DoubleQuote, // a double quote, where a program ends the phrase
    NotQuoted,   // the translation's entry has no phrase in double quotes
    Repeated,    // the exchange file carries the key again; {first line}
    Locked,      // the unit is locked or its text was not read whole
};
constexpr std::size_t ImportNoteKindCount = static_cast<std::size_t>(TImportNoteKind::Locked) + 1;

// "Unencodable", ...: the stable name, for the keys of its message.
std::string_view ImportNoteName(TImportNoteKind kind);
// The message in English, with %1 and %2 for its parameters.
std::string_view ImportNoteDefaultText(TImportNoteKind kind);

struct TImportNote {
    TImportNoteKind Kind;
    std::string Key;
    std::size_t Line = 0; // the unit's line in the exchange file, 0 when unknown
    std::vector<std::string> Params;
    bool operator==(const TImportNote&) const = default;
};

struct TImportResult {
    std::string Text; // the translation's bytes with the phrases brought back
    // Keys whose phrase changed, in the order of the translation.
    std::vector<std::string> Changed;
    // Keys that came back translated (changed or not) and those among them
    // still flagged as to be checked, so the marks can follow the file.
    std::vector<std::string> Translated;
    std::vector<std::string> ToBeChecked;
    // Translated units whose key the translation lacks, in the file's order.
    std::vector<TExchangeUnit> MissingKeys;
    std::vector<TImportNote> Notes;
};

// Brings the translated units back into `translation` (its bytes in
// `encoding`). A unit with an empty target is untranslated and changes
// nothing; so does one whose target is the phrase the translation has.
TImportResult ImportUnits(std::string_view translation, TEncoding encoding,
                          const std::vector<TExchangeUnit>& units);

// The message of a note in English, its parameters filled in.
std::string ImportNoteText(const TImportNote& note);
