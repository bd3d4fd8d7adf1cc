// Delivery through libnotify to a real notification service: a private session bus
// (dbus-daemon) with the small service of tests/support/notification_server.py on it, which logs
// every call it receives and clicks the latest notification when told. GLib keeps one session bus
// connection a process, so each case needs a process of its own (as ctest runs them).
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "platform/TempFolder.h"
#include "platform/services/DesktopNotifications.h"

extern char** environ;

namespace {

// A child process whose first line of output is read (the bus address, the service's "ready").
struct Child {
    pid_t pid = 0;
    std::string firstLine;
    explicit Child(std::vector<std::string> argv) {
        int out[2];
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<char*> args;
        for (auto& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = 0;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        char c;
        while (pid && ::read(out[0], &c, 1) == 1 && c != '\n') firstLine += c;
        ::close(out[0]);
    }
    ~Child() {
        if (pid <= 0) return;
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
};

class NotificationService : public ::testing::Test {
protected:
    // Starts a session bus of our own (no service files: nothing is started on demand), and the
    // service on it unless `withService` is false.
    void start(bool withService, std::vector<std::string> caps = {"body", "actions", "body-markup"}) {
        const std::string config = folder.write("bus.conf",
            "<busconfig><type>session</type><listen>unix:dir=" + folder.str() + "</listen><auth>EXTERNAL</auth>"
            "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
            "<allow own=\"*\"/></policy></busconfig>");
        bus = std::make_unique<Child>(std::vector<std::string>{"/usr/bin/dbus-daemon", "--config-file=" + config, "--nofork", "--nopidfile", "--print-address=1"});
        ASSERT_FALSE(bus->firstLine.empty()) << "dbus-daemon did not start";
        ::setenv("DBUS_SESSION_BUS_ADDRESS", bus->firstLine.c_str(), 1);
        if (!withService) return;
        std::vector<std::string> argv{"/usr/bin/python3", std::string(RE_TEST_SOURCE_DIR) + "/tests/support/notification_server.py", logPath()};
        argv.insert(argv.end(), caps.begin(), caps.end());
        service = std::make_unique<Child>(argv);
        ASSERT_EQ(service->firstLine, "ready") << "the notification service did not start";
    }
    std::string logPath() const { return (folder.path() / "calls.log").string(); }
    std::vector<nlohmann::json> calls() const {
        std::vector<nlohmann::json> out;
        std::ifstream in(logPath());
        for (std::string line; std::getline(in, line);) out.push_back(nlohmann::json::parse(line));
        return out;
    }
    static LocalNotification note(double at, const std::string& body, int kind = -1) {
        LocalNotification n;
        n.fireDate = at;
        n.alertBody = body;
        if (kind >= 0) n.userInfo = Value{{"id", Value(kind)}};
        return n;
    }

    TempFolder folder;
    std::unique_ptr<Child> bus, service;
};

TEST_F(NotificationService, AFloodShowsAFewFoldedPlainTextReplacedInPlaceAndAClickBringsTheGameForward) {
    start(true);
    int clicks = 0;
    DesktopNotificationCenter::setOnNotificationClicked([&] { ++clicks; });
    DesktopNotificationCenter center("");
    for (int i = 0; i < 400; ++i) center.scheduleLocalNotification(note(i, "Person " + std::to_string(i) + " <b>&</b> back", i % 2 ? -1 : 7));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(center.deliverDue(1000).size(), 400u);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    auto shown = calls();
    std::printf("FIGURE 400 due: %zu notifications shown in %.3f s\n", shown.size(), took);
    ASSERT_EQ(shown.size(), 2u) << "one of the party's kind, the rest folded into one";
    EXPECT_EQ(shown[0]["body"], "Person 398 &lt;b&gt;&amp;&lt;/b&gt; back (+199)") << "markup escaped for a service that reads it";
    EXPECT_EQ(shown[1]["body"], "Person 399 &lt;b&gt;&amp;&lt;/b&gt; back (+199)");
    EXPECT_EQ(shown[0]["summary"], "Royal Expedition");
    EXPECT_EQ(shown[0]["actions"], nlohmann::json::array({"default", "Royal Expedition"})) << "clickable";
    EXPECT_LT(took, 2.0);

    // The party's progress again: the same notification is replaced, not a new one added.
    center.scheduleLocalNotification(note(2000, "Party at floor 3", 7));
    center.deliverDue(2000);
    shown = calls();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2]["replaces"], shown[0]["id"]);
    EXPECT_EQ(shown[2]["id"], shown[0]["id"]);

    // A click arrives while the game waits for its next delivery round, and is answered then.
    ::kill(service->pid, SIGUSR1);
    for (int i = 0; i < 100 && clicks == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        center.deliverDue(2001);
    }
    EXPECT_EQ(clicks, 1);
    DesktopNotificationCenter::setOnNotificationClicked(DesktopNotificationCenter::bringGameWindowForward);
}

TEST_F(NotificationService, AServiceThatReadsNoMarkupGetsTheTextAsItIs) {
    start(true, {"body", "actions"});
    DesktopNotificationCenter center("");
    center.scheduleLocalNotification(note(1, "Gold < 5 & falling"));
    center.deliverDue(10);
    const auto shown = calls();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]["body"], "Gold < 5 & falling");
}

TEST_F(NotificationService, WithoutAServiceOnTheBusDeliveryGoesOnAndShowsNothing) {
    start(false);
    DesktopNotificationCenter center(folder.str());
    int64_t badge = -1;
    center.onBadgeChanged = [&](int64_t b) { badge = b; };
    for (int i = 0; i < 5; ++i) center.scheduleLocalNotification(note(i, "Come back " + std::to_string(i)));
    LocalNotification withBadge = note(3, "");
    withBadge.badgeNumber = 4;
    center.scheduleLocalNotification(withBadge);
    center.scheduleLocalNotification(note(5000, "Later"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(center.deliverDue(100).size(), 6u);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0) << "no waiting on the missing service";
    EXPECT_EQ(badge, 4);
    DesktopNotificationCenter after(folder.str());
    ASSERT_EQ(after.scheduledLocalNotifications().size(), 1u) << "the delivered ones leave the file as with a service";
    EXPECT_EQ(after.scheduledLocalNotifications()[0].alertBody, "Later");
    EXPECT_TRUE(calls().empty());
}

}  // namespace
