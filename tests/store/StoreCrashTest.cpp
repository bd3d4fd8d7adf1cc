// A process killed at any moment leaves a saved state that loads and holds every value that
// synchronize() had reported durable: a child synchronizes a counter in a loop, reports each
// success through a pipe, and is killed with SIGKILL at random moments.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <thread>

#include "StoreTestSupport.h"

TEST(StoreCrash, KilledAtRandomMomentsTheFileAlwaysLoadsWithEveryReportedWrite) {
    TempDir dir;
    const std::string path = dir.file("savedstate.plist");
    std::mt19937 random(20240611);
    int64_t lastReported = 0;
    int rounds = 0, killedAfterSomeWrites = 0;
    for (auto started = std::chrono::steady_clock::now(); rounds < 200 && std::chrono::steady_clock::now() - started < std::chrono::seconds(15); ++rounds) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::alarm(30);  // never outlive a parent that went away
            SavedStateStore store(path);
            for (int64_t counter = store.integerForKey("counter") + 1;; ++counter) {
                store.setInteger(counter, "counter");
                store.setObject(Value(Value::Array(150, Value{{"n", Value(static_cast<long long>(counter))}, {"text", Value("a monster met")}})), "bulk");
                if (store.synchronize() && ::write(fds[1], &counter, sizeof counter) != sizeof counter) ::_exit(2);
            }
        }
        ::close(fds[1]);
        // Every other round waits for a first reported write, so that the kill lands mid-work
        // however slow the disk is; the others may also kill the child while it loads.
        pollfd ready{fds[0], POLLIN, 0};
        if (rounds % 2 == 1) ::poll(&ready, 1, 3000);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_TRUE(::waitpid(pid, &status, 0) == pid && WIFSIGNALED(status)) << "the child ended on its own, status " << status;
        const int64_t before = lastReported;
        for (int64_t reported = 0; ::read(fds[0], &reported, sizeof reported) == sizeof reported; lastReported = reported)
            EXPECT_GT(reported, lastReported);
        ::close(fds[0]);
        killedAfterSomeWrites += lastReported > before;
        if (!exists(path)) {
            ASSERT_EQ(lastReported, 0) << "the file vanished after a reported write";
            continue;
        }
        std::string error;
        const std::optional<Value> saved = PropertyList::readFile(path, &error, Value::Type::Dictionary);
        ASSERT_TRUE(saved) << "round " << rounds << ": " << error;
        // Durable up to the last report; at most one more write landed before its report was sent.
        const int64_t counter = (*saved)["counter"].integerValue();
        ASSERT_TRUE(counter == lastReported || counter == lastReported + 1) << "round " << rounds << ": " << counter << " vs " << lastReported;
        ASSERT_EQ((*saved)["bulk"].count(), 150u);
        for (const Value& entry : (*saved)["bulk"].arrayValue()) ASSERT_EQ(entry["n"].integerValue(), counter) << "a mixed file";
        lastReported = counter;  // the next child continues from what is on disk
    }
    EXPECT_FALSE(SavedStateStore(path).foundDamagedFile());
    EXPECT_EQ(dir.entriesStartingWith("savedstate.plist.tmp-"), 0);
    EXPECT_GE(rounds, 50);
    EXPECT_GE(killedAfterSomeWrites, rounds / 3) << "the kills should often land mid-work";
}
