#pragma once
// The saved-state store: one flat key/value store of property-list values, kept in memory and
// persisted as one property-list file in the game's data folder. A write is seen at once by every
// later read; synchronize() makes every write so far durable. Safe from any thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/Value.h"

class SavedStateStore {
public:
    // The one shared store of the process (the phone's standardUserDefaults).
    static SavedStateStore& standardUserDefaults();
    // Points the shared store at a data folder; call before the first use (the game's start-up
    // and tests do). Without it the XDG data home is used.
    static void configureDataDirectory(const std::string& dir);
    static std::string defaultDataDirectory();

    // A store on a file of its own (tests, tools).
    explicit SavedStateStore(std::string filePath);
    ~SavedStateStore();

    Value objectForKey(const std::string& key) const;
    Value arrayForKey(const std::string& key) const;        // nil for a value of another kind
    Value dictionaryForKey(const std::string& key) const;   // nil for a value of another kind
    bool boolForKey(const std::string& key) const;
    int64_t integerForKey(const std::string& key) const;
    float floatForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;

    void setObject(const Value& value, const std::string& key);  // nil removes the key
    void setBool(bool value, const std::string& key);
    void setInteger(int64_t value, const std::string& key);
    void setFloat(float value, const std::string& key);
    void setDouble(double value, const std::string& key);
    void removeObjectForKey(const std::string& key);

    // Writes the whole store durably; false (with the values kept in memory) on any failure.
    bool synchronize();

    // Every key and value as the game sees it now.
    Value dictionaryRepresentation() const;
    const std::string& filePath() const { return path_; }
    // The file found at start could not be read; it was kept aside under this name.
    bool foundDamagedFile() const;
    std::string damagedFilePath() const;

    // Flushes on its own shortly after a change (coalesced) and at normal exit.
    void setAutoFlushDelay(double seconds);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string path_;
};
