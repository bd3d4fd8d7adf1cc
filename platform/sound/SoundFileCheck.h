#pragma once
// A look at a sound file's header before SDL_mixer decodes it: an AIFF or WAVE file that claims no
// channels, no sample rate or an impossible sample size would make the decoder divide by zero.
// Other formats (MP3, Ogg) pass to their decoders, which check themselves.
#include <cstdint>
#include <string>
#include <vector>

class SoundFileCheck {
public:
    static constexpr size_t kHeaderBytes = 64 * 1024;  // where the format chunk must be found
    static constexpr size_t kMaxFileBytes = 64u * 1024u * 1024u;
    // The first bytes of a file: true when they may be given to the decoder.
    static bool headerIsPlayable(const std::vector<uint8_t>& head);
    // The file is a regular file within the size limit and its header is playable.
    static bool fileIsPlayable(const std::string& path);
};
