// Power loss during synchronize: the file layer records each call of the write sequence, the
// power goes at every point of it, every write not yet fsynced is dropped and a rename not yet
// made durable by the folder's fsync may or may not have happened. Each time the file that loads
// afterwards holds the old state or the new one, whole; never a mix, never nothing.
#include <fcntl.h>
#include <unistd.h>

#include <map>
#include <set>

#include "StoreTestSupport.h"

namespace {

// The real file system until the power goes after `budget` calls; then every call fails.
class PowerCutFileSystem : public PosixStoreFileSystem {
public:
    explicit PowerCutFileSystem(int budget) : budget_(budget) {}
    std::vector<std::string> calls;
    std::set<std::string> unsynced;                          // files with writes not yet fsynced
    std::vector<std::pair<std::string, std::string>> renames; // not yet made durable by the folder's fsync
    bool cut = false;

    int open(const std::string& p, int flags, mode_t m) override {
        if (!step("open")) return -1;
        int fd = PosixStoreFileSystem::open(p, flags, m);
        if (fd >= 0) paths_[fd] = p;
        return fd;
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        if (!step("write")) return -1;
        unsynced.insert(paths_[fd]);
        return PosixStoreFileSystem::write(fd, data, std::min<size_t>(size, 512));  // several writes a file
    }
    int fsync(int fd) override {
        if (!step("fsync")) return -1;
        unsynced.erase(paths_[fd]);
        return PosixStoreFileSystem::fsync(fd);
    }
    int close(int fd) override {
        if (!step("close")) return PosixStoreFileSystem::close(fd), -1;
        return PosixStoreFileSystem::close(fd);
    }
    int rename(const std::string& a, const std::string& b) override {
        if (!step("rename")) return -1;
        renames.emplace_back(a, b);
        return PosixStoreFileSystem::rename(a, b);
    }
    int syncDirectory(const std::string& dir) override {
        if (!step("syncDirectory")) return -1;
        renames.clear();
        return PosixStoreFileSystem::syncDirectory(dir);
    }

private:
    bool step(const char* name) {
        if (static_cast<int>(calls.size()) >= budget_) cut = true;
        if (cut) return errno = EIO, false;
        calls.push_back(name);
        return true;
    }
    int budget_;
    std::map<int, std::string> paths_;
};

Value stateNumber(int n) {
    Value::Array monsters(300, Value(n));  // a few kilobytes: several writes
    return Value{{"gold", Value(n * 1000)}, {"monsters", Value(std::move(monsters))}, {"name", Value("save " + std::to_string(n))}};
}

void put(SavedStateStore& store, const Value& state) {
    for (const auto& [key, value] : state.dictionaryValue()) store.setObject(value, key);
}

}  // namespace

TEST(StorePowerLoss, AtEveryPointOfTheWriteTheFileIsTheOldStateOrTheNewOne) {
    int points = 0, old = 0, fresh = 0;
    for (int budget = 0;; ++budget) {
        for (bool renameLost : {false, true}) {
            TempDir dir;
            const std::string path = dir.file("savedstate.plist");
            {
                SavedStateStore first(path);
                put(first, stateNumber(1));
                ASSERT_TRUE(first.synchronize());
            }
            const std::vector<uint8_t> before = readBytes(path);
            auto fs = std::make_shared<PowerCutFileSystem>(budget);
            {
                SavedStateStore store(path, fs);
                put(store, stateNumber(2));
                store.synchronize();
            }
            if (!fs->cut) {
                EXPECT_EQ(SavedStateStore(path).dictionaryRepresentation(), stateNumber(2));
                if (renameLost) continue;
                std::printf("power cut at %d points of %zu calls: old state %d times, new state %d times\n", points, fs->calls.size(), old, fresh);
                EXPECT_GT(old, 0);
                EXPECT_GT(fresh, 0);
                return;
            }
            // What the disk holds after the power came back.
            for (const auto& file : fs->unsynced) ::truncate(file.c_str(), 0);
            if (renameLost)
                for (const auto& [from, to] : fs->renames) {
                    std::filesystem::rename(to, from);
                    std::ofstream(to, std::ios::binary).write(reinterpret_cast<const char*>(before.data()), before.size());
                }
            SavedStateStore after(path);
            EXPECT_FALSE(after.foundDamagedFile()) << "budget " << budget;
            const Value loaded = after.dictionaryRepresentation();
            EXPECT_TRUE(loaded == stateNumber(1) || loaded == stateNumber(2)) << "budget " << budget << " rename lost " << renameLost;
            ++points;
            (loaded == stateNumber(1) ? old : fresh) += 1;
            EXPECT_EQ(dir.entriesStartingWith("savedstate.plist.tmp-"), 0);
        }
    }
}
