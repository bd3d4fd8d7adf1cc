// synchronize() under failing system calls: the file on disk is always the old one or the new one
// and loads, a failure is reported, the values stay in memory, no temporary file is left, and the
// next successful synchronize writes them.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "RealisticState.h"
#include "StoreTestSupport.h"
#include "platform/foundation/PropertyList.h"
#include "platform/store/SavedStateStore.h"

using namespace storetest;
using Call = FaultyFileSystem::Call;

namespace {

struct Fault {
    const char* name;
    std::function<void(FaultyFileSystem&)> inject;
    bool newFileOnDisk;  // the failure comes after the rename
};

void PrintTo(const Fault& f, std::ostream* os) { *os << f.name; }

class StoreFaultInjection : public ::testing::TestWithParam<Fault> {};

int64_t counterOnDisk(const std::string& path) {
    std::string error;
    std::optional<Value> saved = PropertyList::readFile(path, &error, Value::Type::Dictionary);
    EXPECT_TRUE(saved) << error;
    return saved ? (*saved)["counter"].integerValue() : -1;
}

}  // namespace

TEST_P(StoreFaultInjection, FailedSynchronizeKeepsTheOldFileAndTheValues) {
    FaultyStore faulty;
    auto& [dir, path, fs, store] = faulty;
    fillRealisticState(store);
    store.setInteger(1, "counter");
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();

    store.setInteger(2, "counter");
    store.setObject(Value::array({Value("new"), Value(2u)}), "fresh");
    GetParam().inject(*fs);
    EXPECT_FALSE(store.synchronize());
    EXPECT_FALSE(store.lastSyncError().empty());
    EXPECT_TRUE(dir.entriesStartingWith("savedstate.plist.tmp-").empty()) << "temporary file left behind";
    EXPECT_EQ(counterOnDisk(path), GetParam().newFileOnDisk ? 2 : 1);
    EXPECT_EQ(store.integerForKey("counter"), 2);
    EXPECT_EQ(store.arrayForKey("fresh").count(), 2u);

    fs->clearFaults();
    int renamesBefore = fs->calls(Call::Rename);
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    EXPECT_EQ(fs->calls(Call::Rename), renamesBefore + 1) << "the retry writes a new file";
    EXPECT_TRUE(store.lastSyncError().empty());
    EXPECT_EQ(counterOnDisk(path), 2);
    SavedStateStore reloaded(path);
    EXPECT_EQ(reloaded.arrayForKey("fresh").count(), 2u);
    EXPECT_EQ(reloaded.arrayForKey("monsters").count(), 60u);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCall, StoreFaultInjection,
    ::testing::Values(
        Fault{"OpenFails", [](FaultyFileSystem& fs) { fs.failNext(Call::Open, EACCES); }, false},
        Fault{"WriteFails", [](FaultyFileSystem& fs) { fs.failNext(Call::Write, EIO); }, false},
        Fault{"WriteFailsAfterAShortWrite", [](FaultyFileSystem& fs) { fs.limitWritesTo(100); fs.failNext(Call::Write, EIO); }, false},
        Fault{"DiskFullHalfway", [](FaultyFileSystem& fs) { fs.setDiskSpace(700); }, false},
        Fault{"DiskFullAtOnce", [](FaultyFileSystem& fs) { fs.setDiskSpace(0); }, false},
        Fault{"FsyncFails", [](FaultyFileSystem& fs) { fs.failNext(Call::Fsync, EIO); }, false},
        Fault{"FsyncInterrupted", [](FaultyFileSystem& fs) { fs.failNext(Call::Fsync, EINTR); }, false},
        Fault{"CloseFails", [](FaultyFileSystem& fs) { fs.failNext(Call::Close, EIO); }, false},
        Fault{"RenameFails", [](FaultyFileSystem& fs) { fs.failNext(Call::Rename, EXDEV); }, false},
        Fault{"FolderSyncFails", [](FaultyFileSystem& fs) { fs.failNext(Call::SyncDirectory, EIO); }, true}),
    [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

TEST(StoreWriteLoop, ShortWritesAndInterruptedWritesStillWriteTheWholeFile) {
    FaultyStore faulty;
    auto& [dir, path, fs, store] = faulty;
    fillRealisticState(store);
    fs->limitWritesTo(7);
    fs->failNext(Call::Write, EINTR, 3);
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    EXPECT_GT(fs->calls(Call::Write), 100);
    SavedStateStore reloaded(path);
    EXPECT_TRUE(keepsKinds(store.dictionaryRepresentation(), reloaded.dictionaryRepresentation()));
}

TEST(StoreWriteLoop, EveryFailureUsesAFreshTemporaryFile) {
    FaultyStore faulty;
    auto& [dir, path, fs, store] = faulty;
    store.setInteger(1, "gold");
    fs->failNext(Call::Fsync, EIO, 3);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(store.synchronize());
    EXPECT_EQ(fs->calls(Call::Open), 3);
    EXPECT_EQ(fs->calls(Call::Fsync), 3);
    EXPECT_EQ(fs->calls(Call::Rename), 0);
    EXPECT_FALSE(exists(dir.file("savedstate.plist")));
    EXPECT_TRUE(store.synchronize());
    EXPECT_EQ(fs->calls(Call::Open), 4);
}
