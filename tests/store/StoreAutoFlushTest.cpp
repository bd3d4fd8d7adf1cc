#include <thread>

#include "StoreTestSupport.h"

using Call = FaultyFileSystem::Call;
using std::chrono::milliseconds;

static int64_t goldOnDisk(const std::string& path) {
    return PropertyList::readFile(path).value_or(Value{{"gold", Value(-1)}})["gold"].integerValue();
}

// Polls until the file holds the value or the time runs out.
static bool waitForGold(const std::string& path, int64_t gold, int limitMs = 3000) {
    for (auto until = std::chrono::steady_clock::now() + milliseconds(limitMs); goldOnDisk(path) != gold;) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(milliseconds(10));
    }
    return true;
}

TEST(StoreFlusherThread, ChangesReachTheDiskAfterTheDelayABurstWrittenOnceAFailureTriedAgain) {
    FaultyStore faulty;
    auto& [dir, path, fs, store] = faulty;
    store.setAutoFlushDelay(0.3);
    for (int i = 1; i <= 100; ++i) store.setInteger(i, "gold");
    EXPECT_EQ(goldOnDisk(path), -1) << "not before the delay";
    ASSERT_TRUE(waitForGold(path, 100));
    std::this_thread::sleep_for(milliseconds(400));
    EXPECT_EQ(fs->calls(Call::Rename), 1);
    store.setInteger(101, "gold");
    EXPECT_TRUE(waitForGold(path, 101));
    const int fsyncs = fs->calls(Call::Fsync);
    fs->failNext(Call::Fsync, EIO);
    store.setInteger(102, "gold");
    EXPECT_TRUE(waitForGold(path, 102, 8000)) << "the retry comes after a longer pause (5 s)";
    EXPECT_EQ(fs->calls(Call::Fsync), fsyncs + 2);
}

TEST(StoreFlusherThread, GoingAwayWritesOnlyWhenFlushingIsOn) {
    TempDir dir;
    const std::string off = dir.file("off.plist"), on = dir.file("on.plist");
    {
        SavedStateStore quiet(off), busy(on);
        quiet.setAutoFlushDelay(0.05);
        quiet.setAutoFlushDelay(0);
        busy.setAutoFlushDelay(60);
        quiet.setInteger(10, "gold");
        busy.setInteger(21, "gold");
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_FALSE(exists(off));
    }
    EXPECT_FALSE(exists(off)) << "a store with flushing off ends as if killed";
    EXPECT_EQ(goldOnDisk(on), 21);
}
