// Layout files and the formatter: any text as a layout, and format strings with arbitrary
// arguments (the first bytes choose the arguments' kinds).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/resources/Format.h"
#include "platform/ui/LayoutLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] & 1) {
        LayoutLoader loader;
        loader.setLocalizer([](const std::string& key) { return key; });
        (void)loader.loadString(text, "fuzz");
        return 0;
    }
    std::vector<Value> args;
    for (int i = 0; i < (data[0] >> 1) % 6; ++i) {
        switch ((data[0] + i) % 4) {
        case 0: args.push_back(Value(static_cast<long long>(size) * -977)); break;
        case 1: args.push_back(Value(text)); break;
        case 2: args.push_back(Value(1e300 * (i - 2))); break;
        default: args.push_back(Value()); break;
        }
    }
    (void)stringWithFormat(text, args);
    return 0;
}
