#pragma once
// SilentSoundBackend: plays nothing and keeps a log of what it was asked, for tests and for
// machines without an audio device. A file "loads" when it exists and is not empty.
#include "platform/sound/SoundBackend.h"

#include <memory>
#include <set>
#include <vector>

class SilentSoundBackend : public SoundBackend {
public:
    struct Call {
        enum class Kind { LoadEffect, PlayEffect, PlayMusic, MusicVolume, StopMusic, Shutdown };
        Kind kind;
        std::string name;  // effect key or music path; empty for the others
        float volume = 0;
        bool loop = false;
    };

    bool loadEffect(const std::string& key, const std::string& path) override;
    void playEffect(const std::string& key, float volume) override;
    bool playMusic(const std::string& path, bool loop, float volume) override;
    void setMusicVolume(float volume) override;
    void stopMusic() override;
    bool isMusicPlaying() const override { return musicPlaying; }
    void shutdown() override;

    // The log survives the engine that owns the back end, so tests keep a handle on it.
    std::shared_ptr<std::vector<Call>> calls() const { return log; }

private:
    std::shared_ptr<std::vector<Call>> log = std::make_shared<std::vector<Call>>();
    std::set<std::string> loaded;
    bool musicPlaying = false;
};
