// A process killed at any moment leaves a saved state that loads and holds every value that
// synchronize() had reported durable. A child writes and synchronizes a counter in a loop and
// reports each success through a pipe; the parent kills it with SIGKILL at random moments.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <thread>

#include "StoreTestSupport.h"

[[noreturn]] static void childLoop(const std::string& path, int reportFd) {
    ::alarm(30);  // never outlive a parent that went away
    SavedStateStore store(path);
    for (int64_t counter = store.integerForKey("counter") + 1;; ++counter) {
        store.setInteger(counter, "counter");
        store.setObject(Value(Value::Array(150, Value{{"n", Value(static_cast<long long>(counter))},
                                                     {"text", Value("a monster met in the dark forest")}})),
                        "bulk");
        if (store.synchronize() && ::write(reportFd, &counter, sizeof counter) != sizeof counter) ::_exit(2);
    }
}

TEST(StoreCrash, KilledAtRandomMomentsTheFileAlwaysLoadsWithEveryReportedWrite) {
    TempDir dir;
    std::string path = dir.file("savedstate.plist");
    std::mt19937 random(20240611);
    int64_t lastReported = 0;
    int rounds = 0, killedAfterSomeWrites = 0;
    for (auto started = std::chrono::steady_clock::now(); rounds < 200 && std::chrono::steady_clock::now() - started < std::chrono::seconds(15);
         ++rounds) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) ::close(fds[0]), childLoop(path, fds[1]);
        ::close(fds[1]);
        // Every other round waits for a first reported write, so that the kill lands mid-work
        // however slow the disk is; the others may also kill the child while it loads.
        pollfd ready{fds[0], POLLIN, 0};
        if (rounds % 2 == 1) ::poll(&ready, 1, 3000);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended on its own, status " << status;
        int reports = 0;
        for (int64_t reported = 0; ::read(fds[0], &reported, sizeof reported) == sizeof reported; ++reports) {
            EXPECT_GT(reported, lastReported);
            lastReported = reported;
        }
        ::close(fds[0]);
        killedAfterSomeWrites += reports > 0;
        if (!exists(path)) {
            ASSERT_EQ(lastReported, 0) << "the file vanished after a reported write";
            continue;
        }
        std::string error;
        std::optional<Value> saved = PropertyList::readFile(path, &error, Value::Type::Dictionary);
        ASSERT_TRUE(saved) << "round " << rounds << ": " << error;
        int64_t counter = (*saved)["counter"].integerValue();
        // Durable up to the last report; at most one more write landed before the report was sent.
        ASSERT_TRUE(counter == lastReported || counter == lastReported + 1) << "round " << rounds << ": " << counter << " vs " << lastReported;
        const Value& bulk = (*saved)["bulk"];
        ASSERT_EQ(bulk.count(), 150u);
        for (size_t i = 0; i < bulk.count(); ++i) ASSERT_EQ(bulk[i]["n"].integerValue(), counter) << "a mixed file";
        lastReported = counter;  // the next child continues from what is on disk
    }
    EXPECT_FALSE(SavedStateStore(path).foundDamagedFile());
    EXPECT_EQ(dir.entriesStartingWith("savedstate.plist.tmp-"), 0);
    EXPECT_GE(rounds, 50);
    EXPECT_GE(killedAfterSomeWrites, rounds / 3) << "the kills should often land mid-work";
    RecordProperty("rounds", rounds);
    RecordProperty("writes", static_cast<int>(lastReported));
}
