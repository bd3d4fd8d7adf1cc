#include "platform/payments/StoreMode.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace {
constexpr std::array<std::pair<StoreMode, const char*>, 8> kModes{{{StoreMode::sheet, "sheet"},
                                                                    {StoreMode::approve, "approve"},
                                                                    {StoreMode::fail, "fail"},
                                                                    {StoreMode::cancel, "cancel"},
                                                                    {StoreMode::invalid, "invalid"},
                                                                    {StoreMode::empty, "empty"},
                                                                    {StoreMode::silent, "silent"},
                                                                    {StoreMode::disabled, "disabled"}}};
}  // namespace

namespace StoreModes {

std::optional<StoreMode> fromName(const std::string& name) {
    for (const auto& [mode, text] : kModes)
        if (name == text) return mode;
    return std::nullopt;
}

const char* name(StoreMode mode) {
    for (const auto& [m, text] : kModes)
        if (m == mode) return text;
    return "sheet";
}

std::string allNames() {
    std::string all;
    for (const auto& [mode, text] : kModes) all += (all.empty() ? "" : ", ") + std::string(text);
    return all;
}

std::string unknownModeMessage(const std::string& name) { return "unknown store mode \"" + name + "\" (" + allNames() + ")"; }

std::optional<StoreMode> fromEnvironment(std::string* error) {
    const char* value = std::getenv("RE_STORE");
    if (!value || !*value) return std::nullopt;
    auto mode = fromName(value);
    if (!mode && error) *error = "RE_STORE: " + unknownModeMessage(value);
    return mode;
}

}  // namespace StoreModes
