#include "platform/sound/SoundSettings.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {
float volumeField(const nlohmann::json& object, const char* key, float fallback) {
    auto found = object.find(key);
    if (found == object.end() || !found->is_number()) return fallback;
    double value = found->get<double>();
    if (!(value >= 0.0)) return fallback;  // also turns away NaN
    return static_cast<float>(std::min(value, 1.0));
}
}  // namespace

SoundSettings SoundSettings::load(const std::string& path) {
    SoundSettings settings;
    if (path.empty()) return settings;
    std::ifstream in(path);
    if (!in) return settings;
    nlohmann::json object = nlohmann::json::parse(in, nullptr, false);
    if (!object.is_object()) return settings;
    settings.musicVolume = volumeField(object, "musicVolume", settings.musicVolume);
    settings.effectVolume = volumeField(object, "effectVolume", settings.effectVolume);
    auto muted = object.find("muted");
    if (muted != object.end() && muted->is_boolean()) settings.muted = muted->get<bool>();
    return settings;
}

bool SoundSettings::save(const std::string& path) const {
    if (path.empty()) return true;
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path target(path);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
    nlohmann::json object = {{"musicVolume", musicVolume}, {"effectVolume", effectVolume}, {"muted", muted}};
    fs::path temporary = target;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (!out) return false;
        out << object.dump(2) << '\n';
        if (!out) return false;
    }
    fs::rename(temporary, target, error);
    return !error;
}
