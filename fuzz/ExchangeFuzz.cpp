// Feeds arbitrary bytes to the exchange with the translators' tools: as a
// translation carried out as PO and back, and as a PO file brought into it.
//
// Input: one byte choosing the translation's encoding, then the translation's
// bytes up to the first NUL and SOH pair ("\0\1"), then a PO file.
//
// Checked beyond "no crash": the translation's units survive being written as
// PO and read again, and bringing them back leaves every byte as it was; a PO
// file that reads brings back nothing but phrases, so the translation keeps
// its line breaks, and it changes no byte when it changes no phrase.
#include "workbench/Exchange.h"
#include "workbench/PoFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "ExchangeFuzz: %s\n", what);
        std::abort();
    }
}

std::size_t LineBreaks(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n') +
                                    std::count(text.begin(), text.end(), '\r'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0)
        return 0;
    const TEncoding encoding = AllEncodings[data[0] % std::size(AllEncodings)];
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t split = input.find(std::string_view("\0\1", 2));
    const std::string_view translation = input.substr(0, split);
    const std::string_view po =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 2);

    // Out and back unchanged; without a reference every phrase is its own.
    const std::vector<TExchangeUnit> units =
        TranslationUnits({translation, encoding, "T.ini"}, {{}, TEncoding::Utf8, "R.ini"});
    const TExchangeDocument read = ReadPo(WritePo({"T.ini", "de", "en", "Wordlark", ""}, units));
    Check(read.Units.size() == units.size(), "a unit was lost on the way through PO");
    for (std::size_t i = 0; i < units.size(); ++i) {
        Check(read.Units[i].Key == units[i].Key, "a key changed on the way through PO");
        Check(read.Units[i].Source == units[i].Source, "a source changed on the way through PO");
        Check(read.Units[i].Target == units[i].Target, "a target changed on the way through PO");
    }
    const TImportResult same = ImportUnits(translation, encoding, read.Units);
    Check(same.Text == translation, "an unchanged round trip changed the translation");
    Check(same.Changed.empty(), "an unchanged round trip reported changes");

    // A PO file of any shape.
    try {
        const TImportResult result = ImportUnits(translation, encoding, ReadPo(po).Units);
        Check(LineBreaks(result.Text) == LineBreaks(translation), "an import broke a line");
        Check(!result.Changed.empty() || result.Text == translation,
              "an import changed bytes but no phrase");
    } catch (const TExchangeFileError&) {
    }
    return 0;
}
