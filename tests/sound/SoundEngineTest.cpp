// The engine's rules, driven through the silent back end with real files in a temporary folder.
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/GameTestSupport.h"

namespace fs = std::filesystem;
using Kind = SilentSoundBackend::Call::Kind;

class SoundEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("RE_RESOURCE_DIR", dir.c_str(), 1);  // where the engine's own lookup looks first
        fs::create_directories(sounds);
        for (const char* name : {"tap.mp3", "tap_fail.wav", "bgm_9.aif", "bgm8.wav"}) std::ofstream(sounds / name) << "not audio";
    }
    void TearDown() override { fs::remove_all(dir); }

    std::unique_ptr<SoundEngine> makeEngine() {
        auto factory = [this]() -> std::unique_ptr<SoundBackend> {
            auto backend = std::make_unique<SilentSoundBackend>();
            log = backend->calls();
            ++backendsOpened;
            return backend;
        };
        return std::make_unique<SoundEngine>(factory, SoundEngine::defaultLookup, settingsPath);
    }
    int count(Kind kind, const std::string& name = "") const {
        return std::count_if(log->begin(), log->end(), [&](const auto& c) { return c.kind == kind && (name.empty() || c.name == name); });
    }
    // The last call of a kind (a volume of -1 when there is none).
    SilentSoundBackend::Call last(Kind kind) const {
        auto it = std::find_if(log->rbegin(), log->rend(), [&](const auto& c) { return c.kind == kind; });
        return it == log->rend() ? SilentSoundBackend::Call{kind, "", -1.0f} : *it;
    }

    fs::path dir = gametest::makeTempFolder("sound-engine");
    fs::path sounds = dir / "sounds";
    std::string settingsPath = (dir / "data" / "sound-settings.json").string();
    std::shared_ptr<std::vector<SilentSoundBackend::Call>> log;
    int backendsOpened = 0;
};

TEST_F(SoundEngineTest, EffectsAreLoadedOnceAndMissingSoundsAreSkipped) {
    std::ofstream(sounds / "drop.mp3");  // empty: can't be decoded
    auto engine = makeEngine();
    for (int i = 0; i < 3; ++i) {
        engine->preloadEffect("tap.mp3");
        engine->playEffect("tap.mp3");
    }
    engine->playEffect("tap_fail.wav");  // never preloaded: loaded on first play
    engine->playEffect("tap_fail.wav");
    for (const char* bad : {"no_such_sound.mp3", "drop.mp3", ""}) {
        engine->preloadEffect(bad);
        engine->playEffect(bad);
    }
    EXPECT_EQ(count(Kind::LoadEffect), 2);
    EXPECT_EQ(count(Kind::PlayEffect, "tap.mp3"), 3);
    EXPECT_EQ(count(Kind::PlayEffect, "tap_fail.wav"), 2);
    EXPECT_EQ(count(Kind::PlayEffect), 5);
    EXPECT_FLOAT_EQ(last(Kind::PlayEffect).volume, 1.0f);
}

TEST_F(SoundEngineTest, MusicLoopsByDefaultStopsAndGivesWayToAMissingPiece) {
    auto engine = makeEngine();
    engine->playBackgroundMusic("bgm_9.aif");
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    EXPECT_TRUE(last(Kind::PlayMusic).loop);
    EXPECT_EQ(last(Kind::PlayMusic).name, (sounds / "bgm_9.aif").string());
    engine->playBackgroundMusic("bgm8.wav", false);
    EXPECT_FALSE(last(Kind::PlayMusic).loop);
    engine->stopBackgroundMusic();
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    engine->playBackgroundMusic("bgm_9.aif");
    engine->playBackgroundMusic("bgm_404.aif");  // the old piece stops rather than play on
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    EXPECT_EQ(count(Kind::PlayMusic), 3);
}

TEST_F(SoundEngineTest, ThePlayersVolumesScaleAndMuteSilencesUntilLifted) {
    auto engine = makeEngine();
    engine->setUserMusicVolume(0.5f);
    engine->setBackgroundMusicVolume(0.3f);
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.15f);
    engine->playBackgroundMusic("bgm_9.aif");
    EXPECT_FLOAT_EQ(last(Kind::PlayMusic).volume, 0.15f);
    engine->setUserMusicVolume(1.0f);  // takes effect on the piece that is playing
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.3f);
    engine->setUserEffectVolume(0.25f);
    engine->playEffect("tap.mp3");
    EXPECT_FLOAT_EQ(last(Kind::PlayEffect).volume, 0.25f);

    engine->setMuted(true);
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.0f);
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());  // the music goes on, unheard
    engine->playEffect("tap.mp3");
    EXPECT_EQ(count(Kind::PlayEffect), 1);
    engine->playBackgroundMusic("bgm8.wav");
    EXPECT_FLOAT_EQ(last(Kind::PlayMusic).volume, 0.0f);
    engine->setMuted(false);
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.3f);
    engine->playEffect("tap.mp3");
    EXPECT_EQ(count(Kind::PlayEffect), 2);

    engine->setBackgroundMusicVolume(7.0f);  // out of range: kept within 0..1
    EXPECT_FLOAT_EQ(engine->effectiveMusicVolume(), 1.0f);
    engine->setBackgroundMusicVolume(-1.0f);
    EXPECT_FLOAT_EQ(engine->effectiveMusicVolume(), 0.0f);
}

TEST_F(SoundEngineTest, PlayerSettingsSurviveARestartAndCorruptOnesGiveDefaults) {
    {
        auto engine = makeEngine();
        EXPECT_FALSE(fs::exists(settingsPath));  // nothing written until the player changes something
        engine->setUserMusicVolume(0.4f);
        engine->setUserEffectVolume(0.7f);
        engine->setMuted(true);
    }
    SoundSettings restarted = makeEngine()->settings();
    EXPECT_FLOAT_EQ(restarted.musicVolume, 0.4f);
    EXPECT_FLOAT_EQ(restarted.effectVolume, 0.7f);
    EXPECT_TRUE(restarted.muted);
    EXPECT_FALSE(fs::exists(settingsPath + ".tmp"));

    for (const char* text : {"{\"musicVolume\": 0.2,", "[1, 2, 3]", "", "\x01\x02garbage"}) {
        std::ofstream(settingsPath, std::ios::trunc) << text;
        SoundSettings settings = SoundSettings::load(settingsPath);
        EXPECT_TRUE(settings.musicVolume == 1.0f && settings.effectVolume == 1.0f && !settings.muted) << text;
    }
    // One bad field costs only that field.
    std::ofstream(settingsPath, std::ios::trunc) << R"({"musicVolume": "loud", "effectVolume": 3.5, "muted": true})";
    SoundSettings settings = SoundSettings::load(settingsPath);
    EXPECT_TRUE(settings.musicVolume == 1.0f && settings.effectVolume == 1.0f && settings.muted);
    // The engine starts on a corrupt file and overwrites it with a sound one on the next change.
    std::ofstream(settingsPath, std::ios::trunc) << "{{{{";
    makeEngine()->setUserEffectVolume(0.5f);
    EXPECT_FLOAT_EQ(SoundSettings::load(settingsPath).effectVolume, 0.5f);
}

TEST_F(SoundEngineTest, NothingHappensAfterEndAndTheSharedEngineOpensAgain) {
    auto engine = makeEngine();
    engine->preloadEffect("tap.mp3");
    engine->playBackgroundMusic("bgm_9.aif");
    engine->end();
    EXPECT_EQ(count(Kind::Shutdown), 1);
    size_t callsAtEnd = log->size();
    engine->playEffect("tap.mp3");
    engine->preloadEffect("tap_fail.wav");
    engine->playBackgroundMusic("bgm8.wav");
    engine->setBackgroundMusicVolume(0.5f);
    engine->stopBackgroundMusic();
    engine->end();
    EXPECT_EQ(log->size(), callsAtEnd);
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    EXPECT_TRUE(engine->hasEnded());

    // Coming back from the background: the game asks again and gets a working engine.
    SoundEngine::installSharedEngine(makeEngine());
    SoundEngine& shared = SoundEngine::sharedEngine();
    shared.end();
    EXPECT_EQ(&SoundEngine::sharedEngine(), &shared);
    EXPECT_EQ(backendsOpened, 3);
    shared.playEffect("tap.mp3");
    EXPECT_EQ(count(Kind::PlayEffect, "tap.mp3"), 1);
    SoundEngine::installSharedEngine(nullptr);
}
