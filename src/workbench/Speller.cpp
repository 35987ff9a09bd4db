#include "workbench/Speller.h"

#include <enchant.h>

#include <algorithm>

struct TSpeller::TBroker {
    EnchantBroker* Broker = enchant_broker_init();
    ~TBroker() {
        if (Broker)
            enchant_broker_free(Broker);
    }
};

namespace {
EnchantDict* AsDict(void* dict) {
    return static_cast<EnchantDict*>(dict);
}
} // namespace

TSpeller::TSpeller() : FBroker(std::make_unique<TBroker>()) {}

TSpeller::~TSpeller() {
    if (FDict)
        enchant_broker_free_dict(FBroker->Broker, AsDict(FDict));
}

std::vector<std::string> TSpeller::Dictionaries() const {
    std::vector<std::string> tags;
    if (!FBroker->Broker)
        return tags;
    enchant_broker_list_dicts(
        FBroker->Broker,
        [](const char* tag, const char*, const char*, const char*, void* data) {
            static_cast<std::vector<std::string>*>(data)->push_back(tag);
        },
        &tags);
    std::sort(tags.begin(), tags.end());
    tags.erase(std::unique(tags.begin(), tags.end()), tags.end());
    return tags;
}

bool TSpeller::HasDictionary(const std::string& tag) const {
    return FBroker->Broker && !tag.empty() &&
           enchant_broker_dict_exists(FBroker->Broker, tag.c_str()) != 0;
}

bool TSpeller::SetLanguage(const std::string& tag) {
    if (FDict && tag == FLanguage)
        return true;
    if (FDict)
        enchant_broker_free_dict(FBroker->Broker, AsDict(FDict));
    FDict = nullptr;
    FLanguage.clear();
    FKnown.clear();
    if (!HasDictionary(tag))
        return false;
    FDict = enchant_broker_request_dict(FBroker->Broker, tag.c_str());
    if (FDict)
        FLanguage = tag;
    return FDict != nullptr;
}

bool TSpeller::Check(std::string_view word) {
    if (!FDict || word.empty())
        return true;
    const auto known = FKnown.find(std::string(word));
    if (known != FKnown.end())
        return known->second;
    const bool right =
        enchant_dict_check(AsDict(FDict), word.data(), static_cast<ssize_t>(word.size())) == 0;
    FKnown.emplace(std::string(word), right);
    return right;
}

std::vector<std::string> TSpeller::Suggest(std::string_view word) {
    std::vector<std::string> out;
    if (!FDict || word.empty())
        return out;
    size_t count = 0;
    char** list =
        enchant_dict_suggest(AsDict(FDict), word.data(), static_cast<ssize_t>(word.size()), &count);
    for (size_t i = 0; list && i < count && out.size() < MaxSuggestions; ++i)
        out.emplace_back(list[i]);
    if (list)
        enchant_dict_free_string_list(AsDict(FDict), list);
    return out;
}

void TSpeller::AddToPersonal(std::string_view word) {
    if (!FDict || word.empty())
        return;
    enchant_dict_add(AsDict(FDict), word.data(), static_cast<ssize_t>(word.size()));
    FKnown[std::string(word)] = true;
}

void TSpeller::Ignore(std::string_view word) {
    if (!FDict || word.empty())
        return;
    enchant_dict_add_to_session(AsDict(FDict), word.data(), static_cast<ssize_t>(word.size()));
    FKnown[std::string(word)] = true;
}
