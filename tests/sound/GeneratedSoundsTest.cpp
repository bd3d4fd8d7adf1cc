// Every sound the build makes, decoded by the real SDL2_mixer back end on SDL's "dummy" driver.
#include "platform/sound/MixerSoundBackend.h"
#include "platform/sound/SoundEngine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {
const char* const effectFiles[] = {"tap.mp3", "tap_fail.wav", "menu_tap.mp3", "drop.mp3", "coinget.mp3", "check.mp3",
                                   "se_charge.wav", "SE001.mp3", "levelup.mp3", "pochi_short.wav", "start.mp3", "swichi_edit.wav"};
const char* const musicFiles[] = {"bgm_1.aif", "bgm_2.aif", "bgm_3.aif", "bgm_4.aif",  "bgm_5.aif",  "bgm_6.aif",
                                  "bgm_7.aif", "bgm_8.aif", "bgm_9.aif", "bgm_10.aif", "bgm_11.aif", "bgm8.wav"};

std::string soundPath(const std::string& name) { return std::string(RE_TEST_RESOURCE_DIR) + "/sounds/" + name; }

// The 16-bit mono samples of a WAV ("RIFF", little-endian) or AIFF ("FORM", big-endian) file.
std::vector<int16_t> pcmSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string b(std::istreambuf_iterator<char>(in), {});
    bool aiff = b.starts_with("FORM");
    auto read = [&](size_t i, int n, uint32_t v = 0) {
        for (int k = 0; k < n; ++k) v |= uint32_t(uint8_t(b[i + k])) << (aiff ? 8 * (n - 1 - k) : 8 * k);
        return v;
    };
    std::vector<int16_t> samples;
    for (size_t at = 12; at + 8 <= b.size() && samples.empty(); at += 8 + read(at + 4, 4) + (read(at + 4, 4) & 1)) {
        if (b.compare(at, 4, aiff ? "SSND" : "data") != 0) continue;
        size_t end = std::min<size_t>(b.size(), at + 8 + read(at + 4, 4));
        for (size_t k = at + 8 + (aiff ? 8 + read(at + 8, 4) : 0); k + 1 < end; k += 2) samples.push_back(int16_t(read(k, 2)));
    }
    return samples;
}
}  // namespace

TEST(GeneratedSoundsTest, MusicLoopsCleanlyWithinLevels) {
    for (const char* name : musicFiles) {
        std::vector<int16_t> samples = pcmSamples(soundPath(name));
        ASSERT_TRUE(samples.size() > 22050u * 10 && samples.size() < 22050u * 30) << name << ": " << samples.size() << " samples";
        double sumSquares = 0, sumSteps = 0, peak = 0;
        for (size_t i = 0; i < samples.size(); ++i) {
            peak = std::max(peak, std::abs(double(samples[i])));
            sumSquares += double(samples[i]) * samples[i];
            if (i) sumSteps += std::abs(samples[i] - samples[i - 1]);
        }
        EXPECT_LT(peak, 32000) << name << " clips";
        EXPECT_NEAR(20 * std::log10(std::sqrt(sumSquares / samples.size()) / 32768.0), -18.0, 1.5) << name << " loudness";
        EXPECT_LE(std::abs(samples.front() - samples.back()), sumSteps / (samples.size() - 1)) << name << " clicks at the loop";
    }
}

TEST(GeneratedSoundsTest, TheMixerDecodesEverySoundAndRefusesJunk) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto backend = MixerSoundBackend::open();
    ASSERT_NE(backend, nullptr) << "SDL_mixer did not open on the dummy driver";
    for (const char* name : effectFiles) EXPECT_TRUE(backend->loadEffect(name, soundPath(name))) << name;
    for (const char* name : musicFiles) EXPECT_TRUE(backend->playMusic(soundPath(name), true, 0.3f) && backend->isMusicPlaying()) << name;
    std::string junk = ::testing::TempDir() + "sound-junk-tap.mp3";
    std::ofstream(junk) << "this is not a sound";
    EXPECT_FALSE(backend->loadEffect("junk", junk) || backend->loadEffect("none", "/nonexistent/none.wav"));
    EXPECT_FALSE(backend->playMusic(junk, true, 0.3f) || backend->isMusicPlaying());
    std::remove(junk.c_str());
    backend->shutdown();
    EXPECT_FALSE(backend->isMusicPlaying() || backend->loadEffect("tap.mp3", soundPath("tap.mp3")));
    backend.reset();
    // The engine made for this machine finds the sounds in the resource folder.
    ::setenv("RE_RESOURCE_DIR", RE_TEST_RESOURCE_DIR, 1);
    ::unsetenv("RE_HEADLESS");
    auto engine = SoundEngine::create({});
    engine->playBackgroundMusic("bgm_9.aif");
    EXPECT_TRUE(engine->isBackgroundMusicPlaying());
}
