// Sound files whose headers lie, given to the real mixer back end (SDL's silent "dummy" device):
// the header is looked at before SDL_mixer decodes anything, so a file claiming no channels, no
// rate or no sample size is refused instead of dividing by zero inside the decoder.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/TempFolder.h"
#include "platform/sound/MixerSoundBackend.h"

namespace {

std::string be(uint32_t v, int n) {
    std::string s;
    for (int i = n; i-- > 0;) s += char(v >> (8 * i));
    return s;
}
std::string le(uint32_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += char(v >> (8 * i));
    return s;
}

// 0.1 s of silence at 44100 Hz; the rate is an 80-bit extended real.
std::string aiff(uint16_t channels, uint16_t bits, bool rateZero = false) {
    const uint32_t frames = 4410;
    const std::string rate = rateZero ? std::string(10, '\0') : std::string("\x40\x0E\xAC\x44\0\0\0\0\0\0", 10);
    const std::string comm = "COMM" + be(18, 4) + be(channels, 2) + be(frames, 4) + be(bits, 2) + rate;
    const std::string samples(frames * 2, '\0');
    const std::string ssnd = "SSND" + be(8 + static_cast<uint32_t>(samples.size()), 4) + be(0, 4) + be(0, 4) + samples;
    return "FORM" + be(static_cast<uint32_t>(4 + comm.size() + ssnd.size()), 4) + "AIFF" + comm + ssnd;
}

std::string wave(uint16_t channels, uint16_t bits) {
    const std::string samples(8820, '\0');
    const uint32_t rate = 44100, block = channels * bits / 8;
    const std::string fmt = "fmt " + le(16, 4) + le(1, 2) + le(channels, 2) + le(rate, 4) + le(rate * block, 4) + le(block, 2) + le(bits, 2);
    const std::string data = "data" + le(static_cast<uint32_t>(samples.size()), 4) + samples;
    return "RIFF" + le(static_cast<uint32_t>(4 + fmt.size() + data.size()), 4) + "WAVE" + fmt + data;
}

TEST(HostileSoundFiles, HeadersClaimingNoChannelsRateOrSampleSizeAreRefusedBeforeTheDecoder) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto mixer = MixerSoundBackend::open();
    ASSERT_TRUE(mixer) << "SDL's dummy audio device opens everywhere";
    TempFolder folder;
    EXPECT_TRUE(mixer->loadEffect("good-aiff", folder.write("good.aif", aiff(1, 16)))) << "an honest AIFF loads";
    EXPECT_TRUE(mixer->loadEffect("good-wave", folder.write("good.wav", wave(1, 16))));
    EXPECT_TRUE(mixer->playMusic(folder.write("good-music.aif", aiff(2, 16)), false, 0.5));
    mixer->stopMusic();

    const struct {
        const char* name;
        std::string bytes;
    } hostile[] = {
        {"aiff-no-channels.aif", aiff(0, 16)},  {"aiff-no-rate.aif", aiff(1, 16, true)},
        {"aiff-no-bits.aif", aiff(1, 0)},       {"aiff-cut.aif", aiff(0, 16).substr(0, 20)},
        {"wave-no-channels.wav", wave(0, 16)},  {"wave-no-bits.wav", wave(1, 0)},
        {"aiff-named-mp3.mp3", aiff(0, 16)},
    };
    for (const auto& h : hostile) {
        const std::string path = folder.write(h.name, h.bytes);
        EXPECT_FALSE(mixer->loadEffect(h.name, path)) << h.name;
        EXPECT_FALSE(mixer->playMusic(path, true, 0.5)) << h.name;
    }
    EXPECT_FALSE(mixer->isMusicPlaying());
    std::filesystem::create_directory(folder.path() / "folder.aif");
    EXPECT_FALSE(mixer->playMusic((folder.path() / "folder.aif").string(), true, 0.5)) << "a folder is no sound";
}

}  // namespace
