#include "platform/sound/SilentSoundBackend.h"

#include <filesystem>

bool SilentSoundBackend::loadEffect(const std::string& key, const std::string& path) {
    std::error_code error;
    if (std::filesystem::file_size(path, error) == 0 || error) return false;
    loaded.insert(key);
    log->push_back({Call::Kind::LoadEffect, key, 0, false});
    return true;
}

void SilentSoundBackend::playEffect(const std::string& key, float volume) {
    if (loaded.count(key)) log->push_back({Call::Kind::PlayEffect, key, volume, false});
}

bool SilentSoundBackend::playMusic(const std::string& path, bool loop, float volume) {
    std::error_code error;
    musicPlaying = std::filesystem::file_size(path, error) > 0 && !error;
    if (musicPlaying) log->push_back({Call::Kind::PlayMusic, path, volume, loop});
    return musicPlaying;
}

void SilentSoundBackend::setMusicVolume(float volume) {
    log->push_back({Call::Kind::MusicVolume, "", volume, false});
}

void SilentSoundBackend::stopMusic() {
    musicPlaying = false;
    log->push_back({Call::Kind::StopMusic, "", 0, false});
}

void SilentSoundBackend::shutdown() {
    loaded.clear();
    musicPlaying = false;
    log->push_back({Call::Kind::Shutdown, "", 0, false});
}
