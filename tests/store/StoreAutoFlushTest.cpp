#include <thread>

#include "StoreTestSupport.h"

using std::chrono::milliseconds;

// The gold on disk (-1 for no file) once it reads `expected` or the time is up.
static int64_t goldOnDisk(const std::string& path, int64_t expected, int limitMs = 3000) {
    auto gold = [&] { return PropertyList::readFile(path).value_or(Value{{"gold", Value(-1)}})["gold"].integerValue(); };
    for (int waited = 0; gold() != expected && waited < limitMs; waited += 10) std::this_thread::sleep_for(milliseconds(10));
    return gold();
}

TEST(StoreFlusherThread, ChangesReachTheDiskAfterTheDelayABurstWrittenOnceAFailureTriedAgain) {
    FaultyStore faulty;
    auto& [dir, path, fs, store] = faulty;
    store.setAutoFlushDelay(0.3);
    for (int i = 1; i <= 100; ++i) store.setInteger(i, "gold");
    EXPECT_EQ(goldOnDisk(path, -1, 0), -1) << "not before the delay";
    ASSERT_EQ(goldOnDisk(path, 100), 100);
    std::this_thread::sleep_for(milliseconds(400));
    EXPECT_EQ(fs->calls(FaultyFileSystem::Call::Rename), 1);
    const int fsyncs = fs->calls(FaultyFileSystem::Call::Fsync);
    fs->failNext(FaultyFileSystem::Call::Fsync, EIO);
    store.setInteger(101, "gold");
    EXPECT_EQ(goldOnDisk(path, 101, 8000), 101) << "the retry comes after a longer pause (5 s)";
    EXPECT_EQ(fs->calls(FaultyFileSystem::Call::Fsync), fsyncs + 2);
}

TEST(StoreFlusherThread, GoingAwayWritesOnlyWhenFlushingIsOn) {
    TempDir dir;
    {
        SavedStateStore quiet(dir.file("off.plist")), busy(dir.file("on.plist"));
        quiet.setAutoFlushDelay(0.05), quiet.setAutoFlushDelay(0), quiet.setInteger(10, "gold");
        busy.setAutoFlushDelay(60), busy.setInteger(21, "gold");
        std::this_thread::sleep_for(milliseconds(300));
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("off.plist"))) << "a store with flushing off ends as if killed";
    EXPECT_EQ(goldOnDisk(dir.file("on.plist"), 21, 0), 21);
}
