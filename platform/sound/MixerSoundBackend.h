#pragma once
// MixerSoundBackend: plays through SDL2_mixer. `open` answers nullptr when the machine has no
// usable audio device, and the engine then falls back to the silent back end.
#include "platform/sound/SoundBackend.h"

#include <map>
#include <memory>

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

class MixerSoundBackend : public SoundBackend {
public:
    // Every sound of the game is made at 22,050 samples a second, in one channel: a device
    // opened the same way mixes them as they are, with no resampling on the way.
    static std::unique_ptr<MixerSoundBackend> open(int frequency = 22050, int channels = 1);
    ~MixerSoundBackend() override;

    bool loadEffect(const std::string& key, const std::string& path) override;
    void playEffect(const std::string& key, float volume) override;
    bool playMusic(const std::string& path, bool loop, float volume) override;
    void setMusicVolume(float volume) override;
    void stopMusic() override;
    bool isMusicPlaying() const override;
    void shutdown() override;

private:
    MixerSoundBackend() = default;

    std::map<std::string, Mix_Chunk*> effects;
    std::map<std::string, Mix_Music*> music;  // by path: each piece is decoded once
    bool isOpen = false;
};
