#pragma once
// SoundBackend: what the sound engine needs from the machine's audio. The engine resolves
// file names and volumes; the back end only loads, plays and frees.
#include <string>

class SoundBackend {
public:
    virtual ~SoundBackend() = default;

    // Loads an effect under `key` from `path`; false when the file can't be decoded.
    virtual bool loadEffect(const std::string& key, const std::string& path) = 0;
    virtual void playEffect(const std::string& key, float volume) = 0;

    // Starts the music in `path` from its beginning, replacing any music playing;
    // false when the file can't be decoded (then nothing plays).
    virtual bool playMusic(const std::string& path, bool loop, float volume) = 0;
    virtual void setMusicVolume(float volume) = 0;
    virtual void stopMusic() = 0;
    virtual bool isMusicPlaying() const = 0;

    // Frees every loaded sound and closes the device.
    virtual void shutdown() = 0;
};
