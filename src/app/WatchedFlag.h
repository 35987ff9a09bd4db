// A flag that reports every change of its value, so that what shows it follows
// whoever sets it.
#pragma once

#include <functional>
#include <utility>

class TWatchedFlag {
public:
    explicit TWatchedFlag(std::function<void()> changed) : FChanged(std::move(changed)) {}
    TWatchedFlag(const TWatchedFlag&) = delete;
    TWatchedFlag& operator=(const TWatchedFlag&) = delete;
    TWatchedFlag& operator=(bool value) {
        if (value != FValue) {
            FValue = value;
            FChanged();
        }
        return *this;
    }
    operator bool() const { return FValue; }

private:
    bool FValue = false;
    std::function<void()> FChanged;
};
