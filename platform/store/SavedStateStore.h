#pragma once
// The saved-state store: one flat key/value store of property-list values, kept in memory and
// persisted as one binary property-list file ("savedstate.plist") in the game's data folder.
// A write is seen at once by every later read; synchronize() makes every write so far durable
// (temporary file, fsync, rename, fsync of the folder). Safe from any thread.
//
// A file that cannot be read is never overwritten: it is renamed aside
// ("savedstate.plist.damaged-<unix time>") and the store starts empty.
//
// With backups on, the last good saves are kept beside the file (SaveBackups: "backups/", one a
// day, five days): the file read at start when it was good, then a written file on a day that has
// none yet. After a damaged start none is taken until the player has restored a backup or chosen
// to begin afresh, so the empty store never pushes a good copy out.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/Value.h"

class StoreFileSystem;

class SavedStateStore {
public:
    // The one shared store of the process (the phone's standardUserDefaults).
    static SavedStateStore& standardUserDefaults();
    // Points the shared store at a data folder; call before the first use (the game's start-up
    // and tests do). Without it the XDG data home is used.
    static void configureDataDirectory(const std::string& dir);
    // RE_DATA_DIR, else $XDG_DATA_HOME/royal-expedition, else ~/.local/share/royal-expedition.
    static std::string defaultDataDirectory();
    // The data folder in use: the configured one, else the default.
    static std::string dataDirectory();
    static constexpr const char* fileName = "savedstate.plist";

    // A store on a file of its own (tests, tools), loaded at once. Automatic flushing starts off
    // for these; the shared store flushes one second after a change and at normal exit.
    explicit SavedStateStore(std::string filePath);
    SavedStateStore(std::string filePath, std::shared_ptr<StoreFileSystem> fileSystem);
    ~SavedStateStore();
    SavedStateStore(const SavedStateStore&) = delete;
    SavedStateStore& operator=(const SavedStateStore&) = delete;

    Value objectForKey(const std::string& key) const;
    Value arrayForKey(const std::string& key) const;        // nil for a value of another kind
    Value dictionaryForKey(const std::string& key) const;   // nil for a value of another kind
    bool boolForKey(const std::string& key) const;
    int64_t integerForKey(const std::string& key) const;
    float floatForKey(const std::string& key) const;
    double doubleForKey(const std::string& key) const;

    void setObject(const Value& value, const std::string& key);  // nil removes the key
    // Several keys as one change: a synchronize running meanwhile writes all of them or none.
    void setObjects(const Value::Dictionary& values);
    void setBool(bool value, const std::string& key);
    void setInteger(int64_t value, const std::string& key);
    void setFloat(float value, const std::string& key);
    void setDouble(double value, const std::string& key);
    void removeObjectForKey(const std::string& key);

    // Writes the whole store durably; false (with the values kept in memory, to be written again
    // by the next call) on any failure. True at once when nothing changed since the last success.
    bool synchronize();
    // Why the last synchronize() failed; empty after a success.
    std::string lastSyncError() const;
    // Told after every attempt to write the file (on the thread that made it): whether it
    // worked, and why not.
    using SyncObserver = std::function<void(bool ok, const std::string& error)>;
    void setSyncObserver(SyncObserver observer);
    // Told after every change (on the thread that made it), with the first key changed; tests
    // use it to look at what a flush at that moment would keep.
    using ChangeObserver = std::function<void(const std::string& key)>;
    void setChangeObserver(ChangeObserver observer);

    // Every key and value as the game sees it now.
    Value dictionaryRepresentation() const;
    const std::string& filePath() const { return path_; }
    // The file found at start could not be read; it was kept aside under this name.
    bool foundDamagedFile() const;
    std::string damagedFilePath() const;

    // Flushes on its own this many seconds after a change (coalesced) and when the store goes
    // away (the shared one: at normal exit). 0 or less: never on its own, as the headless
    // driver needs (its runs end as if killed).
    void setAutoFlushDelay(double seconds);
    double autoFlushDelay() const;

    // Turns the backups on, dated by this wall clock (seconds since 1970; called from any thread).
    void enableBackups(std::function<double()> wallNow);
    // Every value replaced by a backup's, as one change, written at once; the damage found at start
    // is dealt with and no second copy of the same state is taken today. False when the write
    // failed (the values are in memory and the store keeps trying).
    bool restoreValues(const Value::Dictionary& values);
    // The player begins afresh after a damaged start: backups resume.
    void acceptFreshStart();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string path_;
};
