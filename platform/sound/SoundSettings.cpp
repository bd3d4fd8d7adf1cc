#include "platform/sound/SoundSettings.h"

#include "platform/foundation/DataFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>

namespace {
float volumeField(const nlohmann::json& object, const char* key, float fallback) {
    const double value = DataFile::number(object, key, -1.0);
    if (!(value >= 0.0)) return fallback;
    return static_cast<float>(std::min(value, 1.0));
}
}  // namespace

SoundSettings SoundSettings::load(const std::string& path) {
    SoundSettings settings;
    if (path.empty()) return settings;
    nlohmann::json object;
    if (DataFile::readJsonObject(path, 64 * 1024, &object) != DataFile::Status::Read) return settings;
    settings.musicVolume = volumeField(object, "musicVolume", settings.musicVolume);
    settings.effectVolume = volumeField(object, "effectVolume", settings.effectVolume);
    settings.muted = DataFile::boolean(object, "muted", settings.muted);
    return settings;
}

bool SoundSettings::save(const std::string& path) const {
    if (path.empty()) return true;
    std::error_code error;
    std::filesystem::path target(path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), error);
    nlohmann::json object = {{"musicVolume", musicVolume}, {"effectVolume", effectVolume}, {"muted", muted}};
    return DataFile::replace(path, object.dump(2) + '\n');
}
