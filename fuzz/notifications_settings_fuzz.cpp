// The notification schedule and the sound settings as found in the data folder: any bytes in
// either file; nothing crashes, and what loads is written back and read again.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/foundation/DataFile.h"
#include "platform/services/DesktopNotifications.h"
#include "platform/sound/SoundSettings.h"

namespace {
const std::string& folder() {
    static const std::string made = DataFile::makeScratchFolder("re-fuzz-notifications");
    return made;
}
void put(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Damaged files are kept aside: start each input from an empty folder.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder(), ec)) std::filesystem::remove_all(entry.path(), ec);
    put(folder() + "/" + DesktopNotificationCenter::kFileName, data, size);
    {
        DesktopNotificationCenter center(folder());
        center.setShowsNotifications(false);
        (void)center.deliverDue(1e9);
        center.scheduleLocalNotification(LocalNotification{});
    }
    DesktopNotificationCenter again(folder());
    put(folder() + "/sound-settings.json", data, size);
    SoundSettings settings = SoundSettings::load(folder() + "/sound-settings.json");
    if (!(settings.musicVolume >= 0 && settings.musicVolume <= 1 && settings.effectVolume >= 0 && settings.effectVolume <= 1)) __builtin_trap();
    return 0;
}
