// Spelling through Enchant: one dictionary at a time, the user's personal
// word list (kept by Enchant, per language) and words ignored for this session.
// Not part of the portable core: Enchant is a library of the desktop system.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TSpeller {
public:
    static constexpr std::size_t MaxSuggestions = 5;

    TSpeller();
    ~TSpeller();
    TSpeller(const TSpeller&) = delete;
    TSpeller& operator=(const TSpeller&) = delete;

    // The dictionaries installed, as tags ("de_DE", "fr"), sorted.
    std::vector<std::string> Dictionaries() const;
    bool HasDictionary(const std::string& tag) const;

    // Uses the dictionary `tag`; false, and no dictionary in use, when there
    // is none for it.
    bool SetLanguage(const std::string& tag);
    // The tag in use, empty while there is no dictionary.
    const std::string& Language() const { return FLanguage; }
    bool Ready() const { return FDict != nullptr; }

    // Whether the word (UTF-8) is spelled right; true while there is no
    // dictionary, so that nothing is marked.
    bool Check(std::string_view word);
    // Up to MaxSuggestions replacements, the likeliest first.
    std::vector<std::string> Suggest(std::string_view word);
    // Adds the word to the user's personal list for this language.
    void AddToPersonal(std::string_view word);
    // Takes the word as right until the program ends.
    void Ignore(std::string_view word);
    // Asks the dictionary again for every word, as after the personal list
    // was changed outside the program.
    void ForgetAnswers() { FKnown.clear(); }

private:
    struct TBroker;
    std::unique_ptr<TBroker> FBroker;
    void* FDict = nullptr;
    std::string FLanguage;
    // Answers given so far: a word is looked up once per language.
    std::unordered_map<std::string, bool> FKnown;
};
