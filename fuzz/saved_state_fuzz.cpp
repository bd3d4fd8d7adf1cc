// The saved state as read from disk, binary or XML, through the pre-scanner: nothing crashes, and
// whatever reads writes again into a file that reads back the same (or the game would lose it).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/foundation/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    std::optional<Value> value = PropertyList::read(bytes);
    if (!value) return 0;
    for (auto format : {PropertyList::Format::Binary, PropertyList::Format::Xml}) {
        std::vector<uint8_t> written = PropertyList::write(*value, format);
        if (written.empty()) continue;  // nil roots and the like are refused, not written
        if (format == PropertyList::Format::Binary && !PropertyList::read(written)) std::abort();
    }
    return 0;
}
