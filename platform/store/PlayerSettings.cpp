#include "platform/store/PlayerSettings.h"

#include <filesystem>
#include <fstream>
#include <sstream>

PlayerSettings PlayerSettings::loadFromDataDirectory(const std::string& dataDirectory) {
    if (dataDirectory.empty()) return PlayerSettings();
    return load((std::filesystem::path(dataDirectory) / kFileName).string());
}

PlayerSettings PlayerSettings::load(const std::string& path) {
    PlayerSettings settings;
    settings.path_ = path;
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(path, ec)) return settings;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        settings.problem_ = path + ": cannot be read";
        return settings;
    }
    nlohmann::json object = nlohmann::json::parse(in, nullptr, false);
    if (!object.is_object()) {
        settings.problem_ = path + ": not a JSON object; the defaults are used and the file is left as it is";
        return settings;
    }
    settings.values_ = std::move(object);
    return settings;
}

std::string PlayerSettings::stringForKey(const std::string& key, const std::string& fallback) const {
    auto found = values_.find(key);
    return found != values_.end() && found->is_string() ? found->get<std::string>() : fallback;
}

bool PlayerSettings::boolForKey(const std::string& key, bool fallback) const {
    auto found = values_.find(key);
    return found != values_.end() && found->is_boolean() ? found->get<bool>() : fallback;
}

void PlayerSettings::setString(const std::string& key, const std::string& value) { values_[key] = value; }
void PlayerSettings::setBool(const std::string& key, bool value) { values_[key] = value; }
void PlayerSettings::removeKey(const std::string& key) { values_.erase(key); }

bool PlayerSettings::save() const {
    if (path_.empty()) return true;
    if (!problem_.empty()) return false;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(path_);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    fs::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc | std::ios::binary);
        if (!out) return false;
        out << values_.dump(2) << '\n';
        out.flush();
        if (!out) return false;
    }
    fs::rename(temporary, target, ec);
    return !ec;
}
