#include "StoreTestSupport.h"

#include "platform/store/SaveBackups.h"

namespace {
constexpr double kDay = 86400.0;

// Local noon of a day in 2027, so that a few hours either way stay on that date in any time zone.
double localNoon() {
    struct tm noon {};
    noon.tm_year = 127, noon.tm_mon = 0, noon.tm_mday = 15, noon.tm_hour = 12, noon.tm_isdst = -1;
    return static_cast<double>(std::mktime(&noon));
}
const double kNoon = localNoon();

std::vector<int64_t> goldInBackups(const SaveBackups& backups) {
    std::vector<int64_t> gold;
    for (const auto& backup : backups.list()) gold.push_back(PropertyList::readFile(backup.path)->operator[]("gold").integerValue());
    return gold;
}
}  // namespace

TEST(StoreBackups, OneADayTheFirstGoodSaveOfTheDayFiveDaysKept) {
    TempDir dir;
    double now = kNoon;
    SavedStateStore store(dir.file("savedstate.plist"));
    store.enableBackups([&now] { return now; });
    SaveBackups backups(dir.str());
    for (int day = 0; day < 8; ++day) {
        for (int save = 0; save < 3; ++save) {  // three saves a day, only the first is kept
            store.setInteger(day * 10 + save, "gold");
            ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
            now += 3600;
        }
        const size_t expected = std::min<size_t>(day + 1, SaveBackups::kKept);
        ASSERT_EQ(backups.list().size(), expected) << "day " << day;
        EXPECT_EQ(backups.list().front().day, SaveBackups::dayOf(now));
        now += kDay - 3 * 3600;
    }
    EXPECT_EQ(goldInBackups(backups), (std::vector<int64_t>{70, 60, 50, 40, 30})) << "the newest five days, newest first";
    EXPECT_EQ(dir.entriesStartingWith("savedstate.plist"), 1) << "no temporary file left beside the save";

    // A good file read at start is the day's first copy; files that are not backups are left alone.
    dir.write("backups/savedstate-notes.plist", "kept by the player");
    std::filesystem::create_directories(dir.file("backups/savedstate-2999-01-01.plist"));
    now += kDay;
    SavedStateStore again(dir.file("savedstate.plist"));
    again.enableBackups([&now] { return now; });
    EXPECT_EQ(goldInBackups(backups), (std::vector<int64_t>{72, 70, 60, 50, 40}));
    EXPECT_TRUE(std::filesystem::exists(dir.file("backups/savedstate-notes.plist")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("backups/savedstate-2999-01-01.plist")));
}

TEST(StoreBackups, TheNewestGoodOneIsOfferedPastADamagedOne) {
    TempDir dir;
    SaveBackups backups(dir.str());
    EXPECT_FALSE(backups.newestGood()) << "no backups: nothing to offer";
    for (int day = 0; day < 3; ++day)
        ASSERT_EQ(backups.keep(PropertyList::writeBinary(Value{{"gold", Value(day)}}), kNoon + day * kDay, false), SaveBackups::Kept::Written);
    EXPECT_EQ(backups.keep(PropertyList::writeBinary(Value{{"gold", Value(9)}}), kNoon + 2 * kDay, false), SaveBackups::Kept::AlreadyToday);
    std::ofstream(backups.list().front().path, std::ios::binary) << "torn";
    auto offered = backups.newestGood();
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->first.day, SaveBackups::dayOf(kNoon + kDay));
    EXPECT_EQ(offered->second["gold"].integerValue(), 1);
}

TEST(StoreBackups, AfterADamagedStartNoneIsTakenUntilThePlayerChooses) {
    TempDir dir;
    double now = kNoon;
    SaveBackups backups(dir.str());
    ASSERT_EQ(backups.keep(PropertyList::writeBinary(Value{{"gold", Value(500)}}), now - kDay, false), SaveBackups::Kept::Written);
    dir.write("savedstate.plist", "not a property list");
    {
        SavedStateStore store(dir.file("savedstate.plist"));
        store.enableBackups([&now] { return now; });
        ASSERT_TRUE(store.foundDamagedFile());
        ASSERT_TRUE(store.synchronize());
        EXPECT_EQ(backups.list().size(), 1u) << "the empty store of a damaged start is no backup";

        // The player loads the backup: the store holds it, the file is written, and no second copy of it is made today.
        ASSERT_TRUE(store.restoreValues(backups.newestGood()->second.dictionaryValue()));
        EXPECT_EQ(SavedStateStore(dir.file("savedstate.plist")).integerForKey("gold"), 500);
        store.setInteger(501, "gold");
        ASSERT_TRUE(store.synchronize());
        EXPECT_EQ(goldInBackups(backups), (std::vector<int64_t>{500}));
        now += kDay;
        store.setInteger(502, "gold");
        ASSERT_TRUE(store.synchronize());
        EXPECT_EQ(goldInBackups(backups), (std::vector<int64_t>{502, 500})) << "the next day backups go on";
    }
    dir.write("savedstate.plist", "damaged again");
    SavedStateStore fresh(dir.file("savedstate.plist"));
    fresh.enableBackups([&now] { return now + kDay; });
    fresh.acceptFreshStart();  // the player begins afresh: the new game is kept from now on
    fresh.setInteger(1, "gold");
    ASSERT_TRUE(fresh.synchronize());
    EXPECT_EQ(goldInBackups(backups), (std::vector<int64_t>{1, 502, 500}));
}

TEST(StoreBackups, AFailedBackupNeverFailsTheSaveAndIsTriedAgain) {
    TempDir dir;
    dir.write("backups", "a file where the folder should be");
    SavedStateStore store(dir.file("savedstate.plist"));
    store.enableBackups([] { return kNoon; });
    store.setInteger(7, "gold");
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    std::filesystem::remove(dir.file("backups"));
    store.setInteger(8, "gold");
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(goldInBackups(SaveBackups(dir.str())), (std::vector<int64_t>{8}));
}
