#include "platform/sound/SoundFileCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>

namespace {

uint32_t bigEndian(const uint8_t* p, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | p[i];
    return v;
}
uint32_t littleEndian(const uint8_t* p, int n) {
    uint32_t v = 0;
    for (int i = n; i-- > 0;) v = v << 8 | p[i];
    return v;
}

bool plausible(uint32_t channels, double rate, uint32_t bits) {
    return channels >= 1 && channels <= 8 && rate >= 1000 && rate <= 384000 && bits >= 1 && bits <= 32;
}

// The 80-bit extended real of an AIFF sample rate.
double extendedReal(const uint8_t* p) {
    const int exponent = static_cast<int>(bigEndian(p, 2) & 0x7FFF) - 16383 - 63;
    const uint64_t mantissa = uint64_t(bigEndian(p + 2, 4)) << 32 | bigEndian(p + 6, 4);
    if (exponent < -1100 || exponent > 64) return 0;
    return std::ldexp(static_cast<double>(mantissa), exponent);
}

}  // namespace

bool SoundFileCheck::headerIsPlayable(const std::vector<uint8_t>& head) {
    const size_t n = head.size();
    const uint8_t* b = head.data();
    if (n >= 12 && std::memcmp(b, "FORM", 4) == 0 && (std::memcmp(b + 8, "AIFF", 4) == 0 || std::memcmp(b + 8, "AIFC", 4) == 0)) {
        for (size_t at = 12; at + 8 <= n;) {
            const uint32_t size = bigEndian(b + at + 4, 4);
            if (std::memcmp(b + at, "COMM", 4) == 0) {
                if (size < 18 || at + 8 + 18 > n) return false;
                const uint8_t* c = b + at + 8;
                return plausible(bigEndian(c, 2), extendedReal(c + 8), bigEndian(c + 6, 2));
            }
            at += 8 + size + (size & 1);
        }
        return false;  // no format chunk where one belongs
    }
    if (n >= 12 && std::memcmp(b, "RIFF", 4) == 0 && std::memcmp(b + 8, "WAVE", 4) == 0) {
        for (size_t at = 12; at + 8 <= n;) {
            const uint32_t size = littleEndian(b + at + 4, 4);
            if (std::memcmp(b + at, "fmt ", 4) == 0) {
                if (size < 16 || at + 8 + 16 > n) return false;
                const uint8_t* f = b + at + 8;
                return plausible(littleEndian(f + 2, 2), littleEndian(f + 4, 4), littleEndian(f + 14, 2));
            }
            at += 8 + size + (size & 1);
        }
        return false;
    }
    return n > 0;
}

bool SoundFileCheck::fileIsPlayable(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    std::vector<uint8_t> head;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) <= kMaxFileBytes) {
        head.resize(std::min<size_t>(kHeaderBytes, static_cast<size_t>(st.st_size)));
        const ssize_t got = ::read(fd, head.data(), head.size());
        head.resize(got > 0 ? static_cast<size_t>(got) : 0);
    }
    ::close(fd);
    return headerIsPlayable(head);
}
