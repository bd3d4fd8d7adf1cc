// The engine's rules, driven through the silent back end with real files in a temporary folder.
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using Kind = SilentSoundBackend::Call::Kind;

class SoundEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("sound-engine-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "sounds");
        for (const char* name : {"tap.mp3", "tap_fail.wav", "bgm_9.aif", "bgm8.wav"}) {
            std::ofstream(dir / "sounds" / name) << "not really audio, the silent back end only checks";
        }
        settingsPath = (dir / "data" / "sound-settings.json").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    std::unique_ptr<SoundEngine> makeEngine() {
        auto soundDir = dir / "sounds";
        auto lookup = [soundDir](const std::string& name, const std::string& type) {
            fs::path path = soundDir / (name + "." + type);
            return fs::exists(path) ? path.string() : std::string();
        };
        auto factory = [this]() -> std::unique_ptr<SoundBackend> {
            auto backend = std::make_unique<SilentSoundBackend>();
            log = backend->calls();
            ++backendsOpened;
            return backend;
        };
        return std::make_unique<SoundEngine>(factory, lookup, settingsPath);
    }

    int count(Kind kind, const std::string& name = "") const {
        int n = 0;
        for (const auto& call : *log) n += call.kind == kind && (name.empty() || call.name == name);
        return n;
    }
    const SilentSoundBackend::Call& last(Kind kind) const {
        for (auto it = log->rbegin(); it != log->rend(); ++it)
            if (it->kind == kind) return *it;
        throw std::runtime_error("no such call");
    }

    fs::path dir;
    std::string settingsPath;
    std::shared_ptr<std::vector<SilentSoundBackend::Call>> log;
    int backendsOpened = 0;
};

TEST_F(SoundEngineTest, EffectsAreLoadedOnceAndPlayedManyTimes) {
    auto engine = makeEngine();
    engine->preloadEffect("tap.mp3");
    engine->preloadEffect("tap.mp3");
    for (int i = 0; i < 3; ++i) engine->playEffect("tap.mp3");
    engine->playEffect("tap_fail.wav");  // never preloaded: loaded on first play
    engine->playEffect("tap_fail.wav");
    EXPECT_EQ(count(Kind::LoadEffect, "tap.mp3"), 1);
    EXPECT_EQ(count(Kind::LoadEffect, "tap_fail.wav"), 1);
    EXPECT_EQ(count(Kind::PlayEffect, "tap.mp3"), 3);
    EXPECT_EQ(count(Kind::PlayEffect, "tap_fail.wav"), 2);
    EXPECT_FLOAT_EQ(last(Kind::PlayEffect).volume, 1.0f);
}

TEST_F(SoundEngineTest, MissingOrEmptyFilesAreSkipped) {
    std::ofstream(dir / "sounds" / "drop.mp3");  // empty: can't be decoded
    auto engine = makeEngine();
    engine->preloadEffect("coinget.mp3");
    engine->playEffect("coinget.mp3");
    engine->playEffect("drop.mp3");
    engine->playEffect("");
    EXPECT_EQ(count(Kind::LoadEffect), 0);
    EXPECT_EQ(count(Kind::PlayEffect), 0);

    engine->playBackgroundMusic("bgm_9.aif");
    ASSERT_TRUE(engine->isBackgroundMusicPlaying());
    engine->playBackgroundMusic("bgm_404.aif");  // the old piece stops rather than play on
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
    EXPECT_EQ(count(Kind::PlayMusic), 1);
}

TEST_F(SoundEngineTest, MusicLoopsByDefaultAndStops) {
    auto engine = makeEngine();
    engine->playBackgroundMusic("bgm_9.aif");
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    EXPECT_TRUE(last(Kind::PlayMusic).loop);
    EXPECT_EQ(last(Kind::PlayMusic).name, (dir / "sounds" / "bgm_9.aif").string());
    engine->playBackgroundMusic("bgm8.wav", false);
    EXPECT_FALSE(last(Kind::PlayMusic).loop);
    engine->stopBackgroundMusic();
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
}

TEST_F(SoundEngineTest, GameMusicVolumeIsScaledByThePlayersVolume) {
    auto engine = makeEngine();
    engine->setUserMusicVolume(0.5f);
    engine->setBackgroundMusicVolume(0.3f);
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.15f);
    engine->playBackgroundMusic("bgm_9.aif");
    EXPECT_FLOAT_EQ(last(Kind::PlayMusic).volume, 0.15f);
    engine->setUserMusicVolume(1.0f);  // takes effect on the piece that is playing
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.3f);
    engine->setBackgroundMusicVolume(7.0f);  // out of range: kept within 0..1
    EXPECT_FLOAT_EQ(engine->effectiveMusicVolume(), 1.0f);
    engine->setBackgroundMusicVolume(-1.0f);
    EXPECT_FLOAT_EQ(engine->effectiveMusicVolume(), 0.0f);
    engine->setUserEffectVolume(0.25f);
    engine->playEffect("tap.mp3");
    EXPECT_FLOAT_EQ(last(Kind::PlayEffect).volume, 0.25f);
}

TEST_F(SoundEngineTest, MuteSilencesEffectsAndMusicUntilLifted) {
    auto engine = makeEngine();
    engine->setBackgroundMusicVolume(0.3f);
    engine->playBackgroundMusic("bgm_9.aif");
    engine->setMuted(true);
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.0f);
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());  // the music goes on, unheard
    engine->playEffect("tap.mp3");
    EXPECT_EQ(count(Kind::PlayEffect), 0);
    engine->playBackgroundMusic("bgm8.wav");
    EXPECT_FLOAT_EQ(last(Kind::PlayMusic).volume, 0.0f);
    engine->setMuted(false);
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.3f);
    engine->playEffect("tap.mp3");
    EXPECT_EQ(count(Kind::PlayEffect), 1);
}

TEST_F(SoundEngineTest, PlayerSettingsSurviveARestart) {
    {
        auto engine = makeEngine();
        EXPECT_FALSE(fs::exists(settingsPath));  // nothing written until the player changes something
        engine->setUserMusicVolume(0.4f);
        engine->setUserEffectVolume(0.7f);
        engine->setMuted(true);
    }
    auto engine = makeEngine();
    EXPECT_FLOAT_EQ(engine->settings().musicVolume, 0.4f);
    EXPECT_FLOAT_EQ(engine->settings().effectVolume, 0.7f);
    EXPECT_TRUE(engine->settings().muted);
    EXPECT_FALSE(fs::exists(settingsPath + ".tmp"));
}

TEST_F(SoundEngineTest, CorruptSettingsGiveDefaults) {
    fs::create_directories(fs::path(settingsPath).parent_path());
    for (const char* text : {"{\"musicVolume\": 0.2,", "[1, 2, 3]", "", "\x01\x02garbage"}) {
        std::ofstream(settingsPath, std::ios::trunc) << text;
        SoundSettings settings = SoundSettings::load(settingsPath);
        EXPECT_FLOAT_EQ(settings.musicVolume, 1.0f) << text;
        EXPECT_FLOAT_EQ(settings.effectVolume, 1.0f) << text;
        EXPECT_FALSE(settings.muted) << text;
    }
    // One bad field costs only that field.
    std::ofstream(settingsPath, std::ios::trunc)
        << R"({"musicVolume": "loud", "effectVolume": 3.5, "muted": true})";
    SoundSettings settings = SoundSettings::load(settingsPath);
    EXPECT_FLOAT_EQ(settings.musicVolume, 1.0f);
    EXPECT_FLOAT_EQ(settings.effectVolume, 1.0f);
    EXPECT_TRUE(settings.muted);

    // The engine starts on a corrupt file and overwrites it with a sound one on the next change.
    std::ofstream(settingsPath, std::ios::trunc) << "{{{{";
    auto engine = makeEngine();
    engine->setUserEffectVolume(0.5f);
    EXPECT_FLOAT_EQ(SoundSettings::load(settingsPath).effectVolume, 0.5f);
}

TEST_F(SoundEngineTest, NothingHappensAfterEnd) {
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
}

TEST_F(SoundEngineTest, SharedEngineOpensAgainAfterEnd) {
    SoundEngine::installSharedEngine(makeEngine());
    SoundEngine& shared = SoundEngine::sharedEngine();
    EXPECT_EQ(backendsOpened, 1);
    SoundEngine::sharedEngine().end();
    EXPECT_TRUE(shared.hasEnded());
    // Coming back from the background: the game asks again and gets a working engine.
    SoundEngine& again = SoundEngine::sharedEngine();
    EXPECT_EQ(&again, &shared);
    EXPECT_EQ(backendsOpened, 2);
    again.playEffect("tap.mp3");
    EXPECT_EQ(count(Kind::PlayEffect, "tap.mp3"), 1);
    SoundEngine::installSharedEngine(nullptr);
}

TEST_F(SoundEngineTest, DefaultLookupFindsSoundsInTheResourceFolder) {
    const char* previous = std::getenv("RE_RESOURCE_DIR");
    std::string saved = previous ? previous : "";
    ::setenv("RE_RESOURCE_DIR", dir.c_str(), 1);
    EXPECT_EQ(SoundEngine::defaultLookup("bgm_9", "aif"), (dir / "sounds" / "bgm_9.aif").string());
    EXPECT_EQ(SoundEngine::defaultLookup("bgm_404", "aif"), "");
    if (previous) ::setenv("RE_RESOURCE_DIR", saved.c_str(), 1); else ::unsetenv("RE_RESOURCE_DIR");
}
