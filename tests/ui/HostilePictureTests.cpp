// Picture files that lie about their size: the loader reads the size from the header and refuses
// what is too large before anything is decoded, in bounded time and memory.
#include <sys/resource.h>

#include <chrono>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "platform/TempFolder.h"
#include "platform/ui/Image.h"

namespace {

long peakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

uint32_t crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::string bigEndian(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }
std::string chunk(const std::string& type, const std::string& data) {
    return bigEndian(static_cast<uint32_t>(data.size())) + type + data + bigEndian(crc32(type + data));
}

// A real PNG whose header now claims width x height (its checksum mended, so a decoder trusts it).
std::string withClaimedSize(std::string png, uint32_t width, uint32_t height) {
    png.replace(16, 8, bigEndian(width) + bigEndian(height));
    png.replace(29, 4, bigEndian(crc32(png.substr(12, 17))));
    return png;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(HostilePictures, SizesBeyondTheCapAreRefusedBeforeDecodingInBoundedMemory) {
    TempFolder folder;
    const std::string real = readFile(std::string(RE_TEST_RESOURCE_DIR) + "/images/btn_buy@2x.png");
    ASSERT_GT(real.size(), 33u);
    const auto good = Image::fromFile(folder.write("good.png", real), 2.0);
    ASSERT_FALSE(good->isEmpty()) << "the same loader decodes an honest picture";

    // 8-bit RGBA, then one tiny compressed row and the end: a well-formed file of a few dozen bytes.
    const std::string ihdr = bigEndian(65535) + bigEndian(65535) + std::string("\x08\x06\x00\x00\x00", 5);
    const std::string tiny = std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) +
                             chunk("IDAT", std::string("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9)) + chunk("IEND", "");
    const struct {
        const char* name;
        std::string bytes;
    } hostile[] = {
        {"65535 square, tiny", tiny},
        {"65535 square", withClaimedSize(real, 65535, 65535)},
        {"one side too long", withClaimedSize(real, Image::kMaxSide + 1, 1)},
        {"too many pixels", withClaimedSize(real, 8192, 8192)},
        {"no pixels", withClaimedSize(real, 0, 64)},
        {"cut after the signature", real.substr(0, 20)},
    };
    const long before = peakMemoryKiB();
    const auto start = std::chrono::steady_clock::now();
    for (const auto& h : hostile) {
        EXPECT_TRUE(Image::fromFile(folder.write("hostile.png", h.bytes))->isEmpty()) << h.name;
        EXPECT_TRUE(Image::fromPngData(h.bytes)->isEmpty()) << h.name;
    }
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
    EXPECT_LT(peakMemoryKiB() - before, 16 * 1024) << "nothing the size of the claimed picture is allocated";
}

}  // namespace
