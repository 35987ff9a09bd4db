// What the translator said of a phrase, beyond its text: rightly the same as
// the reference ("translated"), or one to look at again ("to be checked").
// Kept per translation file and key in the workbench's choices file, so the
// translation's bytes never change for it.
#pragma once

#include <cstdint>
#include <string>

enum class TPhraseStatus : std::uint8_t {
    None,
    Translated,
    ToBeChecked,
};

struct TPhraseMark {
    TPhraseStatus Status = TPhraseStatus::None;
    // Translated: the reference's phrase when it was marked. The mark holds
    // while the reference's phrase for the key is still this one.
    std::string ReferencePhrase;
    bool operator==(const TPhraseMark&) const = default;
};
