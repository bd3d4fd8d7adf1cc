// The store from several threads at once; named for the ThreadSanitizer run.
#include <thread>

#include "StoreTestSupport.h"
#include "platform/core/RunLoop.h"

TEST(SavedStateStoreConcurrent, OneThreadWritesWhileOthersReadAndSynchronize) {
    TempDir dir;
    SavedStateStore store(dir.file("savedstate.plist"));
    store.setAutoFlushDelay(0.01);  // the flusher joins in
    constexpr int writes = 3000;
    std::atomic<bool> done{false};
    std::atomic<int> failures{0}, syncs{0};
    std::thread writer([&] {
        for (int i = 1; i <= writes; ++i) {
            store.setObject(Value{{"n", Value(i)}, {"twice", Value(2 * i)}}, "record");
            for (const int target = syncs + 1; i % 300 == 0 && syncs < target;) std::this_thread::yield();  // a synchronize lands mid-way
        }
        done = true;
    });
    std::thread reader([&] {
        for (int64_t last = 0; !done; last = store.dictionaryForKey("record")["n"].integerValue()) {
            const Value record = store.dictionaryForKey("record");
            failures += record["n"].integerValue() < last || record["twice"].integerValue() != 2 * record["n"].integerValue();
        }
    });
    std::thread syncer([&] { for (; !done; ++syncs) failures += !store.synchronize(); });
    for (std::thread* t : {&writer, &reader, &syncer}) t->join();
    EXPECT_EQ(failures.load(), 0) << store.lastSyncError();
    EXPECT_GE(syncs.load(), 10);
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(SavedStateStore(dir.file("savedstate.plist")).dictionaryForKey("record")["n"].integerValue(), writes);
}

TEST(SavedStateStoreConcurrent, BackgroundWorkerAndMainThreadShareTheStore) {
    TempDir dir;
    SavedStateStore store(dir.file("savedstate.plist"));
    BackgroundWorker worker;
    for (int i = 0; i < 200; ++i) {
        worker.dispatch([&store, i] { store.setObject(store.arrayForKey("monsters").appending(Value(i)), "monsters"); });
        store.setInteger(i, "gold");
        if (i % 50 == 0) store.synchronize();
    }
    worker.waitUntilIdle();
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(SavedStateStore(dir.file("savedstate.plist")).arrayForKey("monsters").count(), 200u);
}
