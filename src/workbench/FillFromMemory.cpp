#include "workbench/FillFromMemory.h"

#include "encoding/Codec.h"
#include "initfile/KeyValueLine.h"
#include "workbench/TranslationChecker.h"

TFillResult FillFromMemory(std::string_view translation,
                           const std::shared_ptr<const TReferenceText>& reference,
                           const TTranslationMemory& memory, std::string_view language,
                           TTextEncoding encoding, std::string_view skipFile) {
    TFillResult result;
    if (!reference)
        return result;
    TTranslationChecker checker;
    checker.Reset(translation, reference);
    const TCodec& codec = TCodec::Of(encoding);
    std::size_t line = 0;
    ForEachLine(translation, [&](std::string_view text) {
        const std::size_t at = line++;
        if (!checker.IsUntranslated(at))
            return;
        const TKeyValueLine parsed = ParseKeyValueLine(text);
        const std::optional<std::size_t> referenceLine = checker.ReferenceLine(at);
        if (parsed.Quoting != TQuoting::Closed || !referenceLine)
            return;
        const std::optional<std::string> filled =
            memory.ExactTranslation(reference->Phrase(*referenceLine), language, skipFile);
        if (!filled)
            return;
        const std::string key(parsed.Key(text));
        if (const auto unholdable = codec.FirstUnholdable(*filled)) {
            result.Unencodable.push_back({key, unholdable->Character});
            return;
        }
        const auto lineStart = static_cast<std::size_t>(text.data() - translation.data());
        result.Edits.push_back(
            {at, lineStart + parsed.ValueBegin, lineStart + parsed.ValueEnd, *filled});
        result.FilledKeys.push_back(key);
    });
    return result;
}

std::string ApplyFillEdits(std::string_view text, const std::vector<TFillEdit>& edits) {
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    for (const TFillEdit& edit : edits) {
        out.append(text.substr(at, edit.Begin - at));
        out.append(edit.Text);
        at = edit.End;
    }
    out.append(text.substr(at));
    return out;
}
