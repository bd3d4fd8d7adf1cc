// Every sound the build makes: present under the name the game uses, decodable by the real
// SDL2_mixer back end (on SDL's "dummy" audio driver, so no hardware is needed), never clipping,
// and for music, looping without a click.
#include "platform/sound/MixerSoundBackend.h"
#include "platform/sound/SoundEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {
const char* const effectFiles[] = {"tap.mp3",         "tap_fail.wav", "menu_tap.mp3", "drop.mp3",
                                   "coinget.mp3",     "check.mp3",    "se_charge.wav", "SE001.mp3",
                                   "levelup.mp3",     "pochi_short.wav", "start.mp3", "swichi_edit.wav"};
const char* const musicFiles[] = {"bgm_1.aif", "bgm_2.aif", "bgm_3.aif", "bgm_4.aif",  "bgm_5.aif",  "bgm_6.aif",
                                  "bgm_7.aif", "bgm_8.aif", "bgm_9.aif", "bgm_10.aif", "bgm_11.aif", "bgm8.wav"};

fs::path soundDir() { return fs::path(RE_TEST_RESOURCE_DIR) / "sounds"; }

std::vector<uint8_t> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t read32(const uint8_t* p, bool bigEndian) {
    return bigEndian ? uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3] : uint32_t(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0];
}

// The 16-bit mono samples of a WAV ("RIFF") or AIFF ("FORM") file; empty when it is neither.
std::vector<int16_t> pcmSamples(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> samples;
    if (bytes.size() < 12) return samples;
    bool aiff = std::equal(bytes.begin(), bytes.begin() + 4, "FORM");
    bool wav = std::equal(bytes.begin(), bytes.begin() + 4, "RIFF");
    for (size_t at = 12; at + 8 <= bytes.size();) {
        std::string id(bytes.begin() + at, bytes.begin() + at + 4);
        uint32_t size = read32(&bytes[at + 4], aiff);
        const uint8_t* body = &bytes[at + 8];
        if ((aiff && id == "SSND") || (wav && id == "data")) {
            size_t skip = aiff ? 8 + read32(body, true) : 0;  // offset and block size come first
            for (size_t k = skip; k + 1 < size && at + 9 + k < bytes.size(); k += 2)
                samples.push_back(aiff ? int16_t(body[k] << 8 | body[k + 1]) : int16_t(body[k + 1] << 8 | body[k]));
            return samples;
        }
        at += 8 + size + (size & 1);
    }
    return samples;
}
}  // namespace

TEST(GeneratedSoundsTest, EveryEffectIsThereAndHoldsWhatItsExtensionSays) {
    for (const char* name : effectFiles) {
        auto bytes = readAll(soundDir() / name);
        ASSERT_GT(bytes.size(), 500u) << name;
        bool riff = std::equal(bytes.begin(), bytes.begin() + 4, "RIFF");
        bool mpeg = bytes[0] == 'I' || (bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0);  // ID3 tag or frame sync
        EXPECT_TRUE(fs::path(name).extension() == ".wav" ? riff : mpeg) << name;
    }
}

// Every piece is there, ten to thirty seconds long, never clips and loops without a click.
TEST(GeneratedSoundsTest, MusicLoopsCleanlyWithinLevels) {
    for (const char* name : musicFiles) {
        std::vector<int16_t> samples = pcmSamples(readAll(soundDir() / name));
        ASSERT_GT(samples.size(), 22050u * 10) << name << " is shorter than ten seconds";
        EXPECT_LT(samples.size(), 22050u * 30) << name << " is longer than thirty seconds";
        double sumSquares = 0, sumSteps = 0;
        int peak = 0;
        for (size_t i = 0; i < samples.size(); ++i) {
            peak = std::max(peak, std::abs(int(samples[i])));
            sumSquares += double(samples[i]) * samples[i];
            if (i) sumSteps += std::abs(samples[i] - samples[i - 1]);
        }
        double rmsDb = 20 * std::log10(std::sqrt(sumSquares / samples.size()) / 32768.0);
        EXPECT_LT(peak, 32000) << name << " clips";
        EXPECT_NEAR(rmsDb, -18.0, 1.5) << name << " is out of step with the other pieces";
        // The jump from the last sample back to the first is no bigger than an ordinary step.
        double meanStep = sumSteps / (samples.size() - 1);
        EXPECT_LE(std::abs(samples.front() - samples.back()), meanStep) << name << " clicks at the loop";
    }
}

TEST(GeneratedSoundsTest, TheMixerDecodesEverySoundAndRefusesJunk) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    {
        auto backend = MixerSoundBackend::open();
        ASSERT_NE(backend, nullptr) << "SDL_mixer did not open on the dummy driver";
        for (const char* name : effectFiles) EXPECT_TRUE(backend->loadEffect(name, (soundDir() / name).string())) << name;
        for (const char* name : musicFiles)
            EXPECT_TRUE(backend->playMusic((soundDir() / name).string(), true, 0.3f) && backend->isMusicPlaying()) << name;
        // Not audio at all, or a name that isn't there: refused, never a crash.
        fs::path junk = fs::temp_directory_path() / "sound-junk-tap.mp3";
        std::ofstream(junk) << "this is not a sound";
        EXPECT_FALSE(backend->loadEffect("junk", junk.string()));
        EXPECT_FALSE(backend->playMusic(junk.string(), true, 0.3f) || backend->isMusicPlaying());
        EXPECT_FALSE(backend->loadEffect("none", "/nonexistent/none.wav"));
        fs::remove(junk);
        backend->shutdown();
        EXPECT_FALSE(backend->isMusicPlaying() || backend->loadEffect("tap.mp3", (soundDir() / "tap.mp3").string()));
    }
    // The engine made for this machine finds the sounds in the resource folder; a missing one is skipped.
    ::setenv("RE_RESOURCE_DIR", RE_TEST_RESOURCE_DIR, 1);
    ::unsetenv("RE_HEADLESS");
    auto engine = SoundEngine::create({});
    engine->playEffect("tap.mp3");
    engine->playBackgroundMusic("bgm_9.aif");
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
    EXPECT_EQ(SoundEngine::defaultLookup("bgm_404", "aif"), "");
}
