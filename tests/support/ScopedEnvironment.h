// Sets or unsets environment variables for the life of the object; the old
// values come back afterwards.
#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (const auto& [name, value] : FSaved)
            Put(name, value ? value->c_str() : nullptr);
    }

    // Sets the variable, or unsets it for a null value.
    void Set(const std::string& name, const char* value) {
        if (!FSaved.count(name)) {
            const char* old = std::getenv(name.c_str());
            FSaved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        Put(name, value);
    }
    void Set(const std::string& name, const std::string& value) { Set(name, value.c_str()); }

private:
    static void Put(const std::string& name, const char* value) {
#ifdef _WIN32
        _putenv_s(name.c_str(), value ? value : ""); // an empty value unsets it
#else
        if (value)
            setenv(name.c_str(), value, 1);
        else
            unsetenv(name.c_str());
#endif
    }

    std::map<std::string, std::optional<std::string>> FSaved;
};
