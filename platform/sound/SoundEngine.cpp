#include "platform/sound/SoundEngine.h"

#include <utility>

#include "platform/sound/MixerSoundBackend.h"
#include "platform/sound/SilentSoundBackend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace {
std::mutex sharedLock;
std::unique_ptr<SoundEngine> sharedInstance;

bool headlessRequested() {
    const char* value = std::getenv("RE_HEADLESS");
    return value && *value && std::string(value) != "0";
}

// Volumes are kept within 0..1; anything that isn't a number counts as silence.
float unitVolume(float volume) { return volume >= 0.0f ? std::min(volume, 1.0f) : 0.0f; }

std::string existing(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) ? path.string() : std::string();
}
}  // namespace

SoundEngine& SoundEngine::sharedEngine() {
    std::lock_guard<std::mutex> guard(sharedLock);
    if (!sharedInstance) sharedInstance = create({});
    if (sharedInstance->hasEnded()) sharedInstance->reopen();
    return *sharedInstance;
}

void SoundEngine::installSharedEngine(std::unique_ptr<SoundEngine> engine) {
    std::lock_guard<std::mutex> guard(sharedLock);
    sharedInstance = std::move(engine);
}

std::unique_ptr<SoundEngine> SoundEngine::create(Config config) {
    bool silent = config.headless || headlessRequested();
    BackendFactory factory = [silent]() -> std::unique_ptr<SoundBackend> {
        if (!silent) {
            if (auto mixer = MixerSoundBackend::open()) return mixer;
        }
        return std::make_unique<SilentSoundBackend>();
    };
    ResourceLookup lookup = config.lookup ? config.lookup : ResourceLookup(&SoundEngine::defaultLookup);
    return std::make_unique<SoundEngine>(std::move(factory), std::move(lookup), std::move(config.settingsPath));
}

std::string SoundEngine::defaultLookup(const std::string& name, const std::string& type) {
    std::string fileName = type.empty() ? name : name + "." + type;
    if (const char* dir = std::getenv("RE_RESOURCE_DIR"); dir && *dir) {
        std::string path = existing(std::filesystem::path(dir) / "sounds" / fileName);
        if (!path.empty()) return path;
    }
    if (char* base = SDL_GetBasePath()) {
        std::filesystem::path dir(base);
        SDL_free(base);
        return existing(dir / "resources" / "sounds" / fileName);
    }
    return {};
}

SoundEngine::SoundEngine(BackendFactory factory, ResourceLookup lookup, std::string settingsPath)
    : factory(std::move(factory)), lookup(std::move(lookup)), settingsPath(std::move(settingsPath)),
      userSettings(SoundSettings::load(this->settingsPath)) {
    reopen();
}

SoundEngine::~SoundEngine() { end(); }

void SoundEngine::reopen() {
    backend = factory ? factory() : nullptr;
    if (!backend) backend = std::make_unique<SilentSoundBackend>();
    effectLoaded.clear();
}

std::string SoundEngine::resolve(const std::string& fileName) const {
    if (fileName.empty() || !lookup) return {};
    auto dot = fileName.rfind('.');
    if (dot == std::string::npos) return lookup(fileName, "");
    return lookup(fileName.substr(0, dot), fileName.substr(dot + 1));
}

void SoundEngine::setBackgroundMusicVolume(float volume) {
    if (!backend) return;
    gameMusicVolume = unitVolume(volume);
    backend->setMusicVolume(effectiveMusicVolume());
}

void SoundEngine::logPlayed(std::string entry) {
    if (playedLog.size() >= kPlayedLogSize) playedLog.erase(playedLog.begin());
    playedLog.push_back(std::move(entry));
}

std::vector<std::string> SoundEngine::takePlayedLog() { return std::exchange(playedLog, {}); }

void SoundEngine::playBackgroundMusic(const std::string& fileName, bool loop) {
    if (!backend) return;
    logPlayed("music " + fileName);
    std::string path = resolve(fileName);
    if (path.empty()) {
        backend->stopMusic();  // the old piece must not go on under the new screen
        return;
    }
    backend->playMusic(path, loop, effectiveMusicVolume());
}

void SoundEngine::stopBackgroundMusic() {
    if (backend) backend->stopMusic();
}

bool SoundEngine::isBackgroundMusicPlaying() const { return backend && backend->isMusicPlaying(); }

void SoundEngine::preloadEffect(const std::string& fileName) {
    if (!backend || effectLoaded.count(fileName)) return;
    std::string path = resolve(fileName);
    effectLoaded[fileName] = !path.empty() && backend->loadEffect(fileName, path);
}

void SoundEngine::playEffect(const std::string& fileName) {
    if (!backend || userSettings.muted || unfocusedMute) return;
    logPlayed("effect " + fileName);
    preloadEffect(fileName);
    if (effectLoaded[fileName]) backend->playEffect(fileName, effectiveEffectVolume());
}

void SoundEngine::end() {
    if (!backend) return;
    backend->shutdown();
    backend.reset();
    effectLoaded.clear();
}

void SoundEngine::setUserMusicVolume(float volume) {
    userSettings.musicVolume = unitVolume(volume);
    settingsChanged();
}

void SoundEngine::setUserEffectVolume(float volume) {
    userSettings.effectVolume = unitVolume(volume);
    settingsChanged();
}

void SoundEngine::setMuted(bool muted) {
    userSettings.muted = muted;
    settingsChanged();
}

void SoundEngine::setMutedWhileUnfocused(bool muted) {
    unfocusedMute = muted;
    if (backend) backend->setMusicVolume(effectiveMusicVolume());
}

void SoundEngine::settingsChanged() {
    userSettings.save(settingsPath);
    if (backend) backend->setMusicVolume(effectiveMusicVolume());
}

float SoundEngine::effectiveMusicVolume() const {
    return userSettings.muted || unfocusedMute ? 0.0f : gameMusicVolume * userSettings.musicVolume;
}

float SoundEngine::effectiveEffectVolume() const {
    return userSettings.muted || unfocusedMute ? 0.0f : userSettings.effectVolume;
}
