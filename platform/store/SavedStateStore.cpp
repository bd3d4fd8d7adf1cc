#include "platform/store/SavedStateStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/foundation/DataFile.h"
#include "platform/foundation/PropertyList.h"
#include "platform/store/AutoFlusher.h"
#include "platform/store/DurableFile.h"
#include "platform/store/SaveBackups.h"
#include "platform/store/StoreFileSystem.h"

using DurableFile::makeFolders;

struct SavedStateStore::Impl {
    std::shared_ptr<StoreFileSystem> fs;
    std::string path;

    mutable std::mutex mutex;      // the values and the bookkeeping below
    Value::Dictionary values;
    uint64_t generation = 0;       // counts changes
    uint64_t savedGeneration = 0;  // the generation on disk
    std::string lastError;
    SyncObserver observer;
    ChangeObserver changeObserver;
    bool damaged = false;
    bool damageDealtWith = false;
    std::string damagedPath;
    bool loadedGoodFile = false;

    // Backups, guarded by syncMutex.
    std::function<double()> backupClock;
    std::unique_ptr<SaveBackups> backups;
    std::string lastBackupDay;     // a day known to have its backup

    std::mutex syncMutex;          // one synchronize at a time, so files land in order
    std::unique_ptr<AutoFlusher> flusher;

    void load();
    // Under syncMutex: keeps the bytes as today's backup unless today has one.
    void keepBackupIfDue(const std::vector<uint8_t>& bytes);
};

void SavedStateStore::Impl::keepBackupIfDue(const std::vector<uint8_t>& bytes) {
    if (!backups) return;
    {
        std::lock_guard lock(mutex);
        if (damaged && !damageDealtWith) return;
    }
    const double now = backupClock();
    const std::string day = SaveBackups::dayOf(now);
    if (day == lastBackupDay) return;
    // A backup that cannot be written is tried again at the next save.
    if (backups->keep(bytes, now, false) != SaveBackups::Kept::Failed) lastBackupDay = day;
}

void SavedStateStore::Impl::load() {
    DurableFile::removeTemporaryFiles(path);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        generation = 1;  // nothing on disk yet: the first synchronize writes the file
        return;
    }
    std::string error;
    std::optional<Value> root = PropertyList::readFile(path, &error, Value::Type::Dictionary);
    if (root) {
        values = root->dictionaryValue();
        loadedGoodFile = true;
        return;
    }
    damaged = true;
    damagedPath = DurableFile::moveAside(*fs, path);
    generation = 1;
}

// ---- the shared store ----

namespace {
std::mutex sharedMutex;
// Made on first use: the data folder may be configured from another file's static set-up.
std::string& sharedDir() {
    static std::string dir;
    return dir;
}
SavedStateStore* sharedStore = nullptr;

void flushSharedStoreAtExit() {
    if (!sharedStore) return;
    // The flusher is stopped first, so that no flush runs while the process winds down.
    double delay = sharedStore->autoFlushDelay();
    sharedStore->setAutoFlushDelay(0);
    if (delay > 0) sharedStore->synchronize();
}
}  // namespace

std::string SavedStateStore::defaultDataDirectory() {
    if (const char* env = std::getenv("RE_DATA_DIR"); env && *env) return env;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/royal-expedition";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/royal-expedition";
}

void SavedStateStore::configureDataDirectory(const std::string& dir) {
    std::lock_guard lock(sharedMutex);
    sharedDir() = dir;
}

std::string SavedStateStore::dataDirectory() {
    {
        std::lock_guard lock(sharedMutex);
        if (!sharedDir().empty()) return sharedDir();
    }
    return defaultDataDirectory();
}

SavedStateStore& SavedStateStore::standardUserDefaults() {
    static SavedStateStore* store = [] {
        std::string dir;
        {
            std::lock_guard lock(sharedMutex);
            dir = sharedDir().empty() ? defaultDataDirectory() : sharedDir();
        }
        makeFolders(dir);
        // Never destroyed: the exit handler flushes it. The statics it reads while flushing are
        // made first, so that they outlive the handler.
        auto* created = new SavedStateStore(dir + "/" + fileName);
        (void)Value::nilValue();
        (void)Value().arrayValue();
        (void)Value().dictionaryValue();
        (void)Value().dataValue();
        (void)StoreFileSystem::posix();
        created->setAutoFlushDelay(1.0);
        sharedStore = created;
        std::atexit(flushSharedStoreAtExit);
        return created;
    }();
    return *store;
}

// ---- one store ----

SavedStateStore::SavedStateStore(std::string filePath) : SavedStateStore(std::move(filePath), StoreFileSystem::posix()) {}

SavedStateStore::SavedStateStore(std::string filePath, std::shared_ptr<StoreFileSystem> fileSystem)
    : impl_(std::make_unique<Impl>()), path_(std::move(filePath)) {
    impl_->fs = fileSystem ? std::move(fileSystem) : StoreFileSystem::posix();
    impl_->path = path_;
    impl_->load();
    impl_->flusher = std::make_unique<AutoFlusher>([this] { return synchronize(); });
}

SavedStateStore::~SavedStateStore() {
    double delay = impl_->flusher->delay();
    impl_->flusher->stop();
    if (delay > 0) synchronize();
}

Value SavedStateStore::objectForKey(const std::string& key) const {
    std::lock_guard lock(impl_->mutex);
    auto it = impl_->values.find(key);
    return it == impl_->values.end() ? Value() : it->second;
}

Value SavedStateStore::arrayForKey(const std::string& key) const {
    Value v = objectForKey(key);
    return v.isArray() ? v : Value();
}

Value SavedStateStore::dictionaryForKey(const std::string& key) const {
    Value v = objectForKey(key);
    return v.isDictionary() ? v : Value();
}

bool SavedStateStore::boolForKey(const std::string& key) const { return objectForKey(key).boolValue(); }
int64_t SavedStateStore::integerForKey(const std::string& key) const { return objectForKey(key).integerValue(); }
float SavedStateStore::floatForKey(const std::string& key) const { return objectForKey(key).floatValue(); }
double SavedStateStore::doubleForKey(const std::string& key) const { return objectForKey(key).doubleValue(); }

void SavedStateStore::setObject(const Value& value, const std::string& key) { setObjects(Value::Dictionary{{key, value}}); }

void SavedStateStore::setObjects(const Value::Dictionary& values) {
    ChangeObserver observer;
    {
        std::lock_guard lock(impl_->mutex);
        bool changed = false;
        for (const auto& [key, value] : values) {
            if (value.isNil()) {
                changed = impl_->values.erase(key) > 0 || changed;
                continue;
            }
            // A value set again as it is changes nothing: the explore's poll re-records the same
            // state every second, and that must not write the file every second for hours.
            auto [it, inserted] = impl_->values.try_emplace(key, value);
            if (inserted) changed = true;
            else if (!it->second.isIdenticalTo(value)) it->second = value, changed = true;
        }
        if (!changed) return;
        ++impl_->generation;
        observer = impl_->changeObserver;
    }
    impl_->flusher->noteChange();
    if (observer && !values.empty()) observer(values.begin()->first);
}

void SavedStateStore::setChangeObserver(ChangeObserver observer) {
    std::lock_guard lock(impl_->mutex);
    impl_->changeObserver = std::move(observer);
}

void SavedStateStore::setBool(bool value, const std::string& key) { setObject(Value(value), key); }
void SavedStateStore::setInteger(int64_t value, const std::string& key) { setObject(Value(static_cast<long long>(value)), key); }
void SavedStateStore::setFloat(float value, const std::string& key) { setObject(Value(value), key); }
void SavedStateStore::setDouble(double value, const std::string& key) { setObject(Value(value), key); }
void SavedStateStore::removeObjectForKey(const std::string& key) { setObject(Value(), key); }

bool SavedStateStore::synchronize() {
    std::lock_guard syncLock(impl_->syncMutex);
    Value snapshot;
    uint64_t generation;
    {
        std::lock_guard lock(impl_->mutex);
        if (impl_->generation == impl_->savedGeneration) return true;
        snapshot = Value(impl_->values);
        generation = impl_->generation;
    }
    // Serialised and written outside the value lock: readers and writers carry on meanwhile.
    std::string error;
    std::vector<uint8_t> bytes = PropertyList::writeBinary(snapshot, &error);
    bool ok = !bytes.empty() && DurableFile::write(*impl_->fs, impl_->path, bytes, &error);
    SyncObserver observer;
    {
        std::lock_guard lock(impl_->mutex);
        if (ok) {
            impl_->savedGeneration = std::max(impl_->savedGeneration, generation);
            impl_->lastError.clear();
        } else {
            impl_->lastError = error;
        }
        observer = impl_->observer;
    }
    if (ok) impl_->keepBackupIfDue(bytes);
    if (observer) observer(ok, error);
    return ok;
}

void SavedStateStore::setSyncObserver(SyncObserver observer) {
    std::lock_guard lock(impl_->mutex);
    impl_->observer = std::move(observer);
}

std::string SavedStateStore::lastSyncError() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->lastError;
}

Value SavedStateStore::dictionaryRepresentation() const {
    std::lock_guard lock(impl_->mutex);
    return Value(impl_->values);
}

bool SavedStateStore::foundDamagedFile() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->damaged;
}

std::string SavedStateStore::damagedFilePath() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->damagedPath;
}

void SavedStateStore::enableBackups(std::function<double()> wallNow) {
    std::lock_guard syncLock(impl_->syncMutex);
    impl_->backupClock = std::move(wallNow);
    impl_->backups = std::make_unique<SaveBackups>(DurableFile::folderOf(path_), impl_->fs);
    impl_->lastBackupDay.clear();
    // The file read at start has proved good: it is the first copy of the day.
    if (!impl_->loadedGoodFile) return;
    const DataFile::Contents file = DataFile::read(path_, PropertyList::maxBytes);
    if (file.status == DataFile::Status::Read) impl_->keepBackupIfDue(file.bytes);
}

bool SavedStateStore::restoreValues(const Value::Dictionary& values) {
    {
        std::lock_guard syncLock(impl_->syncMutex);
        if (impl_->backupClock) impl_->lastBackupDay = SaveBackups::dayOf(impl_->backupClock());
        std::lock_guard lock(impl_->mutex);
        impl_->values = values;
        impl_->damageDealtWith = true;
        ++impl_->generation;
    }
    impl_->flusher->noteChange();
    return synchronize();
}

void SavedStateStore::acceptFreshStart() {
    std::lock_guard lock(impl_->mutex);
    impl_->damageDealtWith = true;
}

void SavedStateStore::setAutoFlushDelay(double seconds) { impl_->flusher->setDelay(seconds); }
double SavedStateStore::autoFlushDelay() const { return impl_->flusher->delay(); }
