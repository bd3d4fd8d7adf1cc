#pragma once
// SoundEngine: background music and short effects, played by the file names the game uses
// ("bgm_9.aif", "tap.mp3"). Names are resolved through a resource lookup; a sound that is
// missing or can't be decoded is skipped quietly. Effects are decoded once and then replayed
// from memory. The music volume the game sets is multiplied by the player's own music volume,
// and the player's mute silences everything; those choices live in their own settings file.
//
// The game reaches the engine through `sharedEngine()`. `end()` shuts it down and every call
// on it is then ignored; the next `sharedEngine()` opens the device again (the game ends the
// engine when it goes to the background and sets it up again when it comes back).
#include "platform/sound/SoundBackend.h"
#include "platform/sound/SoundSettings.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class SoundEngine {
public:
    // (name, type) -> path, or "" when there is no such resource; "tap.mp3" asks ("tap", "mp3").
    using ResourceLookup = std::function<std::string(const std::string& name, const std::string& type)>;
    using BackendFactory = std::function<std::unique_ptr<SoundBackend>()>;

    struct Config {
        std::string settingsPath;  // e.g. <data dir>/sound-settings.json; empty keeps settings in memory
        ResourceLookup lookup;     // empty: defaultLookup
        bool headless = false;     // true: the silent back end, whatever the machine has
    };

    static SoundEngine& sharedEngine();
    // Installs the engine that sharedEngine() hands out (at launch, or a test's own engine).
    // Installing nothing drops the shared engine; the next sharedEngine() makes a default one.
    static void installSharedEngine(std::unique_ptr<SoundEngine> engine);
    // The engine for this machine: SDL2_mixer, or the silent back end when asked for
    // (Config::headless, or RE_HEADLESS set to anything but "0") or when no device opens.
    static std::unique_ptr<SoundEngine> create(Config config);
    // Looks in $RE_RESOURCE_DIR/sounds/ and then in <executable dir>/resources/sounds/.
    static std::string defaultLookup(const std::string& name, const std::string& type);

    SoundEngine(BackendFactory factory, ResourceLookup lookup, std::string settingsPath);
    ~SoundEngine();
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    // The game's side.
    void setBackgroundMusicVolume(float volume);
    void playBackgroundMusic(const std::string& fileName, bool loop = true);
    void stopBackgroundMusic();
    bool isBackgroundMusicPlaying() const;
    void preloadEffect(const std::string& fileName);
    void playEffect(const std::string& fileName);
    void end();
    bool hasEnded() const { return !backend; }

    // What the game asked to play, oldest first ("effect tap.mp3", "music bgm8.wav"), whether
    // it could be heard or not; at most kPlayedLogSize entries are kept. Taking empties it.
    static constexpr size_t kPlayedLogSize = 256;
    std::vector<std::string> takePlayedLog();

    // The player's side, saved at once to the settings file.
    const SoundSettings& settings() const { return userSettings; }
    void setUserMusicVolume(float volume);
    void setUserEffectVolume(float volume);
    void setMuted(bool muted);
    // Silence for as long as the window is out of focus (when the player asked for it); not saved.
    void setMutedWhileUnfocused(bool muted);
    bool isMutedWhileUnfocused() const { return unfocusedMute; }

    // What the back end is told: the game's music volume times the player's, or 0 when muted.
    float effectiveMusicVolume() const;
    float effectiveEffectVolume() const;

private:
    void reopen();
    std::string resolve(const std::string& fileName) const;
    void settingsChanged();

    BackendFactory factory;
    ResourceLookup lookup;
    std::string settingsPath;
    SoundSettings userSettings;
    std::unique_ptr<SoundBackend> backend;
    float gameMusicVolume = 1.0f;
    bool unfocusedMute = false;
    std::map<std::string, bool> effectLoaded;  // by file name: decoded, or known to be unusable
    std::vector<std::string> playedLog;
    void logPlayed(std::string entry);
};
