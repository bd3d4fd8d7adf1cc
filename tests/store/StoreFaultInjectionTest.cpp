// synchronize() under failing system calls: the file on disk is the old one or the new one, the
// failure is reported, the values stay in memory, and the next synchronize writes them.
#include "RealisticState.h"
#include "StoreTestSupport.h"

using Call = FaultyFileSystem::Call;

struct Fault {
    const char* name;
    Call call;
    int error, after = 0;        // fails after this many good calls
    bool newFileOnDisk = false;  // the failure comes after the rename
};
static void PrintTo(const Fault& f, std::ostream* os) { *os << f.name; }
class StoreFaultInjection : public ::testing::TestWithParam<Fault> {};

TEST_P(StoreFaultInjection, FailedSynchronizeKeepsTheOldFileAndTheValuesThenShortWritesWriteThemAll) {
    FaultyStore faulty;
    auto& [dir, path, fs, store] = faulty;
    storetest::fillRealisticState(store);
    store.setInteger(1, "counter");
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    store.setInteger(2, "counter");
    fs->writeLimit = 100, fs->failNext(GetParam().call, GetParam().error, 1, GetParam().after);
    EXPECT_FALSE(store.synchronize() || store.lastSyncError().empty());
    EXPECT_EQ(dir.entriesStartingWith("savedstate.plist.tmp-"), 0) << "temporary file left behind";
    EXPECT_EQ(PropertyList::readFile(path).value_or(Value())["counter"].integerValue(), GetParam().newFileOnDisk ? 2 : 1);
    EXPECT_EQ(store.integerForKey("counter"), 2);

    // The retry, with writes of a few bytes at a time and interrupted ones.
    fs->writeLimit = 7, fs->failNext(Call::Write, EINTR, 3);
    const int renamesBefore = fs->calls(Call::Rename);
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    store.removeObjectForKey("absent");  // no change: nothing more to write
    EXPECT_TRUE(store.synchronize() && store.lastSyncError().empty());
    EXPECT_EQ(fs->calls(Call::Rename), renamesBefore + 1) << "one new file for the retry, none without a change";
    EXPECT_EQ(kindsOf(store.dictionaryRepresentation()), kindsOf(SavedStateStore(path).dictionaryRepresentation()));
}

INSTANTIATE_TEST_SUITE_P(
    EveryCall, StoreFaultInjection,
    ::testing::Values(Fault{"OpenFails", Call::Open, EACCES}, Fault{"WriteFails", Call::Write, EIO},
                      Fault{"DiskFullHalfway", Call::Write, ENOSPC, 5}, Fault{"FsyncFails", Call::Fsync, EIO},
                      Fault{"FsyncInterrupted", Call::Fsync, EINTR}, Fault{"CloseFails", Call::Close, EIO},
                      Fault{"RenameFails", Call::Rename, EXDEV}, Fault{"FolderSyncFails", Call::SyncDirectory, EIO, 0, true}),
    [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });
