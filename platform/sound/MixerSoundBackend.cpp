#include "platform/sound/MixerSoundBackend.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstdio>

#include "platform/sound/SoundFileCheck.h"

namespace {
int mixerVolume(float volume) {
    return static_cast<int>(std::clamp(volume, 0.0f, 1.0f) * MIX_MAX_VOLUME + 0.5f);
}
// The sound library's own complaints (a machine without a sound card gets eight lines of them
// at every start) are not the player's business: the game says it once, in its own words.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

void sayNoSoundOnce() {
    static bool said = false;
    if (said) return;
    said = true;
    std::fprintf(stderr, "Royal Expedition: no sound device could be opened; the game runs without sound.\n");
}
}  // namespace

std::unique_ptr<MixerSoundBackend> MixerSoundBackend::open(int frequency, int channels) {
    snd_lib_error_set_handler(&quietAlsa);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        sayNoSoundOnce();
        return nullptr;
    }
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_OGG);  // WAV and AIFF need no extra decoder
    if (Mix_OpenAudio(frequency, MIX_DEFAULT_FORMAT, channels, 1024) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sayNoSoundOnce();
        return nullptr;
    }
    Mix_AllocateChannels(16);  // a burst of coins must not cut the fanfare short
    std::unique_ptr<MixerSoundBackend> backend(new MixerSoundBackend());
    backend->isOpen = true;
    return backend;
}

MixerSoundBackend::~MixerSoundBackend() { shutdown(); }

bool MixerSoundBackend::loadEffect(const std::string& key, const std::string& path) {
    if (!isOpen) return false;
    if (effects.count(key)) return true;
    if (!SoundFileCheck::fileIsPlayable(path)) return false;
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());  // the decoder is chosen by content
    if (!chunk) return false;
    effects[key] = chunk;
    return true;
}

void MixerSoundBackend::playEffect(const std::string& key, float volume) {
    auto found = effects.find(key);
    if (found == effects.end()) return;
    Mix_VolumeChunk(found->second, mixerVolume(volume));
    Mix_PlayChannel(-1, found->second, 0);
}

bool MixerSoundBackend::playMusic(const std::string& path, bool loop, float volume) {
    if (!isOpen) return false;
    Mix_HaltMusic();
    Mix_Music*& piece = music[path];
    if (!piece) {
        // Decide by content, not by the name: a piece named .aif is looked at before it is trusted.
        SDL_RWops* file = SoundFileCheck::fileIsPlayable(path) ? SDL_RWFromFile(path.c_str(), "rb") : nullptr;
        if (file) piece = Mix_LoadMUSType_RW(file, MUS_NONE, SDL_TRUE);
    }
    if (!piece) {
        music.erase(path);
        return false;
    }
    Mix_VolumeMusic(mixerVolume(volume));
    return Mix_PlayMusic(piece, loop ? -1 : 1) == 0;
}

void MixerSoundBackend::setMusicVolume(float volume) {
    if (isOpen) Mix_VolumeMusic(mixerVolume(volume));
}

void MixerSoundBackend::stopMusic() {
    if (isOpen) Mix_HaltMusic();
}

bool MixerSoundBackend::isMusicPlaying() const { return isOpen && Mix_PlayingMusic() != 0; }

void MixerSoundBackend::shutdown() {
    if (!isOpen) return;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    for (auto& [key, chunk] : effects) Mix_FreeChunk(chunk);
    for (auto& [path, piece] : music) Mix_FreeMusic(piece);
    effects.clear();
    music.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    isOpen = false;
}
