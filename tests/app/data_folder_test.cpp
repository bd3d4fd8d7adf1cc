// Whatever stands in the data folder in place of the game's own files: FIFOs, folders, JSON of the
// wrong kinds or nested without end. Nothing waits, nothing throws; what cannot be used is kept aside.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <functional>

#include "platform/TempFolder.h"
#include "platform/foundation/DataFile.h"
#include "platform/services/DesktopNotifications.h"
#include "platform/services/PageViewLog.h"
#include "platform/sound/SoundSettings.h"
#include "platform/store/SavedStateStore.h"

namespace {

size_t entriesStartingWith(const TempFolder& dir, const std::string& prefix) {
    size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) n += entry.path().filename().string().starts_with(prefix);
    return n;
}

}  // namespace

TEST(DataFolder, FifosAndFoldersInPlaceOfEachFileAreKeptAsideWithoutWaiting) {
    const std::vector<std::pair<std::string, std::function<void(const std::string&)>>> readers = {
        {SavedStateStore::fileName, [](const std::string& d) { SavedStateStore store(d + "/" + SavedStateStore::fileName); }},
        {DesktopNotificationCenter::kFileName, [](const std::string& d) { DesktopNotificationCenter center(d); }},
        {"sound-settings.json", [](const std::string& d) { EXPECT_EQ(SoundSettings::load(d + "/sound-settings.json").musicVolume, 1.0f); }},
        {PageViewLog::kFileName, [](const std::string& d) { PageViewLog(d, [] { return 1.0; }).trackPageView("/MAIN"); }},
    };
    for (const auto& [name, use] : readers)
        for (bool fifo : {true, false}) {
            TempFolder dir;
            const std::string path = dir.str() + "/" + name;
            ASSERT_EQ(fifo ? ::mkfifo(path.c_str(), 0600) : ::mkdir(path.c_str(), 0700), 0);
            const auto started = std::chrono::steady_clock::now();
            use(dir.str());
            EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2)) << name;
            // The log is only ever appended to: what stands there is left alone.
            if (name != PageViewLog::kFileName) {
                EXPECT_EQ(entriesStartingWith(dir, name + ".damaged-"), 1u) << name << fifo;
            }
        }
}

TEST(DataFolder, TheScheduleReadsEachFieldOfTheWrongKindAsItsDefault) {
    TempFolder dir;
    dir.write(DesktopNotificationCenter::kFileName,
              R"({"badge": "7", "scheduled": [{"fireDate": "soon", "body": 5, "badge": null, "sound": true},
                  {"fireDate": null, "launchImage": [], "badge": 18446744073709551615}, 3, null,
                  {"fireDate": {}, "userInfo": {"id": "x"}, "badge": 2}]})");
    DesktopNotificationCenter center(dir.str());
    const auto all = center.scheduledLocalNotifications();
    ASSERT_EQ(all.size(), 3u);
    for (const auto& n : all) EXPECT_TRUE(n.fireDate == 0 && !n.alertBody && !n.soundName && n.launchImage.empty());
    EXPECT_EQ(all[2].badgeNumber.value_or(-1), 2);
    EXPECT_EQ(center.applicationIconBadgeNumber(), 0);
    EXPECT_EQ(entriesStartingWith(dir, "notifications.json.damaged-"), 0u) << "a readable file stays";

    dir.write("sound-settings.json", R"({"musicVolume": "loud", "effectVolume": 0.25, "muted": 1})");
    const SoundSettings settings = SoundSettings::load(dir.str() + "/sound-settings.json");
    EXPECT_TRUE(settings.musicVolume == 1.0f && settings.effectVolume == 0.25f && !settings.muted);
}

TEST(DataFolder, DeepNestingAndLargeFilesAreRefusedQuicklyAndKeptAside) {
    TempFolder dir;
    const auto started = std::chrono::steady_clock::now();
    dir.write(DesktopNotificationCenter::kFileName, "{\"scheduled\":" + std::string(200000, '[') + std::string(200000, ']') + "}");
    EXPECT_TRUE(DesktopNotificationCenter(dir.str()).scheduledLocalNotifications().empty());
    dir.write("sound-settings.json", "{\"a\":\"" + std::string(70 * 1024, ' ') + "\"}");
    EXPECT_FALSE(SoundSettings::load(dir.str() + "/sound-settings.json").muted);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(entriesStartingWith(dir, "notifications.json.damaged-") + entriesStartingWith(dir, "sound-settings.json.damaged-"), 2u);
    std::string error;
    EXPECT_FALSE(DataFile::parseJson(std::string(33, '[') + std::string(33, ']'), &error));
    EXPECT_EQ(error, "nesting too deep");
    EXPECT_TRUE(DataFile::parseJson(R"(["[[[[", 1])"));  // brackets inside strings do not nest
}
