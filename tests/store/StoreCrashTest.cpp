// A child synchronizing a counter in a loop and reporting each success through a pipe is killed with
// SIGKILL at random moments: the file must always load and hold at least the last reported value.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <thread>

#include "StoreTestSupport.h"

using Clock = std::chrono::steady_clock;

TEST(StoreCrash, KilledAtRandomMomentsTheFileAlwaysLoadsWithEveryReportedWrite) {
    TempDir dir;
    const std::string path = dir.file("savedstate.plist");
    std::mt19937 random(20240611);
    int64_t lastReported = 0;
    int rounds = 0, killedAfterSomeWrites = 0;
    // Sixty kills, half of them after a first write, land mid-work often enough; the time limit
    // only guards a very slow machine.
    for (auto end = Clock::now() + std::chrono::seconds(15); rounds < 60 && Clock::now() < end; ++rounds) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::alarm(30);  // never outlive a parent that went away
            SavedStateStore store(path);
            for (int64_t counter = store.integerForKey("counter") + 1;; ++counter) {
                store.setInteger(counter, "counter");
                store.setObject(Value(Value::Array(150, Value{{"n", Value(counter)}, {"text", Value("a monster met in the dark")}})), "bulk");
                if (store.synchronize() && ::write(fds[1], &counter, sizeof counter) != sizeof counter) ::_exit(2);
            }
        }
        ::close(fds[1]);
        // Every other round kills only after a first reported write, so that the kill lands mid-work however slow the disk is.
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
        std::string error;
        const std::optional<Value> saved = PropertyList::readFile(path, &error, Value::Type::Dictionary);
        ASSERT_TRUE(saved || (lastReported == 0 && !std::filesystem::exists(path))) << "round " << rounds << ": " << error;
        // Durable up to the last report; at most one more write landed before its report was sent.
        const int64_t counter = saved.value_or(Value())["counter"].integerValue();
        ASSERT_TRUE(counter == lastReported || counter == lastReported + 1) << "round " << rounds << ": " << counter << " / " << lastReported;
        for (const Value& entry : saved.value_or(Value())["bulk"].arrayValue()) ASSERT_EQ(entry["n"].integerValue(), counter) << "mixed file";
        ASSERT_EQ(saved.value_or(Value())["bulk"].count(), saved ? 150u : 0u);
        lastReported = counter;  // the next child continues from what is on disk
    }
    EXPECT_FALSE(SavedStateStore(path).foundDamagedFile());  // loading clears the temporary file of the last kill
    EXPECT_EQ(dir.entriesStartingWith("savedstate.plist.tmp-"), 0);
    EXPECT_GE(rounds, 50);
    EXPECT_GE(killedAfterSomeWrites, rounds / 3) << "the kills should often land mid-work";
}
