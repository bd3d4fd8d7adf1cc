// The engine's rules, driven through the silent back end with real files in a temporary folder.
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"

#include <gtest/gtest.h>

#include "support/GameTestSupport.h"

namespace fs = std::filesystem;
using Kind = SilentSoundBackend::Call::Kind;

class SoundEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("RE_RESOURCE_DIR", dir.c_str(), 1);  // where the engine's own lookup looks first
        fs::create_directories(dir / "sounds");
        for (const char* name : {"tap.mp3", "tap_fail.wav", "bgm_9.aif", "bgm8.wav"}) std::ofstream(dir / "sounds" / name) << "x";
    }
    void TearDown() override { fs::remove_all(dir); }
    std::unique_ptr<SoundEngine> makeEngine() {
        auto factory = [this] { ++opened; auto b = std::make_unique<SilentSoundBackend>(); log = b->calls(); return b; };
        return std::make_unique<SoundEngine>(factory, SoundEngine::defaultLookup, settingsPath);
    }
    int count(Kind kind, std::string name = "") const {
        return std::count_if(log->begin(), log->end(), [&](auto& c) { return c.kind == kind && (name.empty() || c.name == name); });
    }
    SilentSoundBackend::Call last(Kind kind) const { return *std::find_if(log->rbegin(), log->rend(), [&](const auto& c) { return c.kind == kind; }); }

    fs::path dir = gametest::makeTempFolder("sound-engine");
    std::string settingsPath = (dir / "data" / "sound-settings.json").string();
    std::shared_ptr<std::vector<SilentSoundBackend::Call>> log;
    int opened = 0;
};

TEST_F(SoundEngineTest, EffectsLoadOnceMissingSoundsAreSkippedAndMusicGivesWay) {
    std::ofstream(dir / "sounds" / "drop.mp3");  // empty: can't be decoded
    auto engine = makeEngine();
    for (const char* name : {"tap.mp3", "tap.mp3", "tap_fail.wav", "tap_fail.wav", "no_such_sound.mp3", "drop.mp3", ""}) {
        engine->preloadEffect(name);
        engine->playEffect(name);
    }
    EXPECT_EQ(std::tuple(count(Kind::LoadEffect), count(Kind::PlayEffect, "tap_fail.wav"), count(Kind::PlayEffect)), std::tuple(2, 2, 4));
    engine->playBackgroundMusic("bgm_9.aif");
    EXPECT_TRUE(engine->isBackgroundMusicPlaying() && last(Kind::PlayMusic).loop && last(Kind::PlayMusic).name == dir / "sounds" / "bgm_9.aif");
    engine->playBackgroundMusic("bgm_404.aif");  // the old piece stops rather than play on
    EXPECT_FALSE(engine->isBackgroundMusicPlaying());
}

TEST_F(SoundEngineTest, ThePlayersVolumesScaleAndMuteSilencesUntilLifted) {
    auto engine = makeEngine();
    engine->setUserMusicVolume(0.5f);
    engine->playBackgroundMusic("bgm_9.aif");
    engine->setBackgroundMusicVolume(0.3f);
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.15f);
    engine->setUserMusicVolume(1.0f);  // takes effect on the piece that is playing
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.3f);
    engine->setUserEffectVolume(0.25f);
    engine->playEffect("tap.mp3");
    engine->setMuted(true);
    engine->playEffect("tap.mp3");
    engine->playBackgroundMusic("bgm8.wav");
    EXPECT_TRUE(count(Kind::PlayEffect) == 1 && last(Kind::PlayEffect).volume == 0.25f);
    EXPECT_TRUE(last(Kind::PlayMusic).volume == 0.0f && engine->isBackgroundMusicPlaying());  // on, unheard
    engine->setMuted(false);
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.3f);

    // Out of focus, when the player asked for silence then: nothing heard, nothing saved.
    engine->setMutedWhileUnfocused(true);
    engine->playEffect("tap.mp3");
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.0f);
    EXPECT_EQ(count(Kind::PlayEffect), 1);
    EXPECT_FALSE(SoundSettings::load(settingsPath).muted);
    engine->setMutedWhileUnfocused(false);
    EXPECT_FLOAT_EQ(last(Kind::MusicVolume).volume, 0.3f);
}

TEST_F(SoundEngineTest, PlayerSettingsSurviveARestartAndCorruptOnesGiveDefaults) {
    makeEngine()->setUserMusicVolume(0.4f);
    makeEngine()->setMuted(true);
    SoundSettings s = makeEngine()->settings();
    EXPECT_TRUE(s.musicVolume == 0.4f && s.effectVolume == 1.0f && s.muted);
    // Broken files give the defaults; one bad field costs only that field.
    for (auto [text, muted] : {std::pair{"{\"musicVolume\": 0.2,", false}, {"[1, 2, 3]", false}, {"", false},
                               {R"({"musicVolume": "loud", "effectVolume": 3.5, "muted": true})", true}}) {
        std::ofstream(settingsPath, std::ios::trunc) << text;
        s = SoundSettings::load(settingsPath);
        EXPECT_TRUE(s.musicVolume == 1.0f && s.effectVolume == 1.0f && s.muted == muted) << text;
    }
    makeEngine()->setUserEffectVolume(0.5f);  // starts on the damaged file and writes a sound one
    EXPECT_TRUE(SoundSettings::load(settingsPath).effectVolume == 0.5f && SoundSettings::load(settingsPath).muted);
}

TEST_F(SoundEngineTest, NothingHappensAfterEndAndTheSharedEngineOpensAgain) {
    auto engine = makeEngine();
    engine->playBackgroundMusic("bgm_9.aif");
    engine->end();
    size_t callsAtEnd = log->size();
    engine->playEffect("tap.mp3");
    engine->playBackgroundMusic("bgm8.wav");
    engine->end();
    EXPECT_TRUE(log->size() == callsAtEnd && count(Kind::Shutdown) == 1 && !engine->isBackgroundMusicPlaying());
    // Coming back from the background: the game asks again and gets a working engine.
    SoundEngine::installSharedEngine(makeEngine());
    SoundEngine& shared = SoundEngine::sharedEngine();
    shared.end();
    EXPECT_EQ(&SoundEngine::sharedEngine(), &shared);
    shared.playEffect("tap.mp3");
    EXPECT_TRUE(opened == 3 && count(Kind::PlayEffect, "tap.mp3") == 1);
    SoundEngine::installSharedEngine(nullptr);
}
