#include "platform/store/SavedStateStore.h"

#include <cstdlib>

// Temporary in-memory store: persistence comes with the property-list writer.
struct SavedStateStore::Impl {
    mutable std::mutex mutex;
    Value::Dictionary values;
};

namespace {
std::mutex sharedMutex;
std::string sharedDir;
}  // namespace

std::string SavedStateStore::defaultDataDirectory() {
    if (const char* env = std::getenv("RE_DATA_DIR"); env && *env) return env;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/royal-expedition";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : ".") + "/.local/share/royal-expedition";
}

void SavedStateStore::configureDataDirectory(const std::string& dir) {
    std::lock_guard lock(sharedMutex);
    sharedDir = dir;
}

SavedStateStore& SavedStateStore::standardUserDefaults() {
    static SavedStateStore* store = [] {
        std::lock_guard lock(sharedMutex);
        std::string dir = sharedDir.empty() ? defaultDataDirectory() : sharedDir;
        return new SavedStateStore(dir + "/savedstate.plist");
    }();
    return *store;
}

SavedStateStore::SavedStateStore(std::string filePath) : impl_(std::make_unique<Impl>()), path_(std::move(filePath)) {}
SavedStateStore::~SavedStateStore() = default;

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

void SavedStateStore::setObject(const Value& value, const std::string& key) {
    std::lock_guard lock(impl_->mutex);
    if (value.isNil()) impl_->values.erase(key);
    else impl_->values[key] = value;
}

void SavedStateStore::setBool(bool value, const std::string& key) { setObject(Value(value), key); }
void SavedStateStore::setInteger(int64_t value, const std::string& key) { setObject(Value(static_cast<long long>(value)), key); }
void SavedStateStore::setFloat(float value, const std::string& key) { setObject(Value(value), key); }
void SavedStateStore::setDouble(double value, const std::string& key) { setObject(Value(value), key); }
void SavedStateStore::removeObjectForKey(const std::string& key) { setObject(Value(), key); }

bool SavedStateStore::synchronize() { return true; }

Value SavedStateStore::dictionaryRepresentation() const {
    std::lock_guard lock(impl_->mutex);
    return Value(impl_->values);
}

bool SavedStateStore::foundDamagedFile() const { return false; }
std::string SavedStateStore::damagedFilePath() const { return ""; }
void SavedStateStore::setAutoFlushDelay(double) {}
