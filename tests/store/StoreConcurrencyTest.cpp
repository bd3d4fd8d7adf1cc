// The store used from several threads at once (the main thread, the background worker and the
// flusher): every write is seen, nothing tears, and what is on disk at the end is the last state.
// Named for the ThreadSanitizer run.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "StoreTestSupport.h"
#include "platform/core/RunLoop.h"
#include "platform/store/SavedStateStore.h"

using storetest::TempDir;

TEST(SavedStateStoreConcurrent, OneThreadWritesWhileOthersReadAndSynchronize) {
    TempDir dir;
    std::string path = dir.file("savedstate.plist");
    SavedStateStore store(path);
    store.setAutoFlushDelay(0.01);  // the flusher joins in
    constexpr int writes = 3000;
    std::atomic<bool> done{false};
    std::atomic<int> failures{0};
    std::atomic<int> syncs{0};

    std::thread writer([&] {
        for (int i = 1; i <= writes; ++i) {
            store.setInteger(i, "counter");
            store.setObject(Value{{"n", Value(i)}, {"twice", Value(2 * i)}}, "record");
            // Now and then let a synchronize land in the middle of the writes.
            if (i % 300 == 0) {
                int target = syncs + 1;
                auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
                while (syncs < target && std::chrono::steady_clock::now() < until) std::this_thread::yield();
            }
        }
        done = true;
    });
    std::thread reader([&] {
        int64_t last = 0;
        while (!done) {
            int64_t now = store.integerForKey("counter");
            if (now < last) ++failures;
            last = now;
            Value record = store.dictionaryForKey("record");
            if (!record.isNil() && record["twice"].integerValue() != 2 * record["n"].integerValue()) ++failures;
        }
    });
    std::thread syncer([&] {
        while (!done) {
            if (!store.synchronize()) {
                ++failures;
                ADD_FAILURE() << store.lastSyncError();
            }
            ++syncs;
        }
    });
    writer.join();
    reader.join();
    syncer.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_GE(syncs.load(), 10);
    ASSERT_TRUE(store.synchronize());
    store.setAutoFlushDelay(0);
    SavedStateStore again(path);
    EXPECT_EQ(again.integerForKey("counter"), writes);
    EXPECT_EQ(again.dictionaryForKey("record")["n"].integerValue(), writes);
}

TEST(SavedStateStoreConcurrent, BackgroundWorkerAndMainThreadShareTheStore) {
    TempDir dir;
    SavedStateStore store(dir.file("savedstate.plist"));
    BackgroundWorker worker;
    for (int i = 0; i < 200; ++i) {
        worker.dispatch([&store, i] {
            Value monsters = store.arrayForKey("monsters");
            store.setObject(monsters.appending(Value{{"monster_id", Value(static_cast<unsigned>(i))}}), "monsters");
        });
        store.setInteger(i, "gold");
        if (i % 50 == 0) store.synchronize();
    }
    worker.waitUntilIdle();
    EXPECT_EQ(store.arrayForKey("monsters").count(), 200u);
    ASSERT_TRUE(store.synchronize());
    SavedStateStore again(dir.file("savedstate.plist"));
    EXPECT_EQ(again.arrayForKey("monsters").count(), 200u);
    EXPECT_EQ(again.integerForKey("gold"), 199);
}
