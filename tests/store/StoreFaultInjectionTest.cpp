// synchronize() under failing system calls: the file on disk is the old one or the new one, the
// failure is reported, the values stay in memory, and the next synchronize writes them.
#include "RealisticState.h"
#include "StoreTestSupport.h"

using namespace storetest;
using Call = FaultyFileSystem::Call;

namespace {
struct Fault {
    const char* name;
    Call call;
    int error;                  // 0: no failing call
    size_t shortWrite = 0;      // every write at most this many bytes
    long long diskSpace = -1;   // bytes left on the disk
    bool newFileOnDisk = false; // the failure comes after the rename
};
void PrintTo(const Fault& f, std::ostream* os) { *os << f.name; }
class StoreFaultInjection : public ::testing::TestWithParam<Fault> {};
int64_t counterOnDisk(const std::string& path) { return PropertyList::readFile(path).value_or(Value())["counter"].integerValue(); }
}  // namespace

TEST_P(StoreFaultInjection, FailedSynchronizeKeepsTheOldFileAndTheValues) {
    FaultyStore faulty;
    auto& [dir, path, fs, store] = faulty;
    fillRealisticState(store);
    store.setInteger(1, "counter");
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    store.setInteger(2, "counter");
    store.setObject(Value::array({Value("new"), Value(2u)}), "fresh");
    const Fault& fault = GetParam();
    if (fault.error) fs->failNext(fault.call, fault.error);
    fs->limitWritesTo(fault.shortWrite);
    fs->setDiskSpace(fault.diskSpace);
    EXPECT_FALSE(store.synchronize());
    EXPECT_FALSE(store.lastSyncError().empty());
    EXPECT_EQ(dir.entriesStartingWith("savedstate.plist.tmp-"), 0) << "temporary file left behind";
    EXPECT_EQ(counterOnDisk(path), fault.newFileOnDisk ? 2 : 1);
    EXPECT_EQ(store.integerForKey("counter"), 2);
    EXPECT_EQ(store.arrayForKey("fresh").count(), 2u);

    fs->clearFaults();
    int renamesBefore = fs->calls(Call::Rename);
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    EXPECT_EQ(fs->calls(Call::Rename), renamesBefore + 1) << "the retry writes a new file";
    EXPECT_TRUE(store.lastSyncError().empty());
    EXPECT_EQ(counterOnDisk(path), 2);
    EXPECT_TRUE(keepsKinds(store.dictionaryRepresentation(), SavedStateStore(path).dictionaryRepresentation()));
}

INSTANTIATE_TEST_SUITE_P(
    EveryCall, StoreFaultInjection,
    ::testing::Values(Fault{"OpenFails", Call::Open, EACCES}, Fault{"WriteFails", Call::Write, EIO},
                      Fault{"WriteFailsAfterAShortWrite", Call::Write, EIO, 100}, Fault{"DiskFullHalfway", Call::Write, 0, 0, 700},
                      Fault{"DiskFullAtOnce", Call::Write, 0, 0, 0}, Fault{"FsyncFails", Call::Fsync, EIO},
                      Fault{"FsyncInterrupted", Call::Fsync, EINTR}, Fault{"CloseFails", Call::Close, EIO},
                      Fault{"RenameFails", Call::Rename, EXDEV}, Fault{"FolderSyncFails", Call::SyncDirectory, EIO, 0, -1, true}),
    [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

TEST(StoreWriteLoop, ShortWritesAndInterruptedWritesStillWriteTheWholeFile) {
    FaultyStore faulty;
    auto& [dir, path, fs, store] = faulty;
    fillRealisticState(store);
    fs->limitWritesTo(7);
    fs->failNext(Call::Write, EINTR, 3);
    ASSERT_TRUE(store.synchronize()) << store.lastSyncError();
    EXPECT_GT(fs->calls(Call::Write), 100);
    EXPECT_TRUE(keepsKinds(store.dictionaryRepresentation(), SavedStateStore(path).dictionaryRepresentation()));
}

TEST(StoreWriteLoop, EveryFailureUsesAFreshTemporaryFileAndNoChangeWritesNothing) {
    FaultyStore faulty;
    auto& [dir, path, fs, store] = faulty;
    store.setInteger(1, "gold");
    fs->failNext(Call::Fsync, EIO, 3);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(store.synchronize());
    EXPECT_EQ(fs->calls(Call::Open), 3);
    EXPECT_EQ(fs->calls(Call::Fsync), 3);
    EXPECT_EQ(fs->calls(Call::Rename), 0);
    EXPECT_FALSE(exists(path));
    EXPECT_TRUE(store.synchronize());
    EXPECT_EQ(fs->calls(Call::Open), 4);
    EXPECT_TRUE(store.synchronize());
    store.removeObjectForKey("absent");  // nothing changes
    EXPECT_TRUE(store.synchronize());
    EXPECT_EQ(fs->calls(Call::Rename), 1);
}
