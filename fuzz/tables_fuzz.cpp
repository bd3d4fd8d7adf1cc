// Static tables and string tables as the game reads them from its resources: a table file of any
// bytes under a bundle of its own, then every lookup the game makes.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/foundation/DataFile.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"

namespace {
const std::string& bundle() {
    static const std::string root = [] {
        std::string made = DataFile::makeScratchFolder("re-fuzz-tables");
        std::filesystem::create_directories(made + "/strings/en.lproj");
        return made;
    }();
    return root;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = bundle() + "/strings/en.lproj/Localizable.strings";
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    LocalizedStrings strings(bundle());
    for (const auto& key : strings.keysForLanguage("en")) {
        const std::string text = strings.localizedString(key);
        (void)stringWithFormat(text, {Value(3), Value("x"), Value(2.5)});  // tables' texts are formats too
    }
    return 0;
}
