// The desktop side of the services: the notification schedule and badge kept across runs, the
// notify-send and address-opener argument lists (no shell), the page-view log, the command line.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "app/LaunchOptions.h"
#include "platform/TempFolder.h"
#include "platform/services/DesktopNotifications.h"
#include "platform/services/PageViewLog.h"
#include "platform/services/UrlOpener.h"

namespace {

const LocalNotification kReminder{.fireDate = 1000, .alertBody = "Come back", .launchImage = "Default.png",
                                  .userInfo = Value{{"id", Value(1)}}, .soundName = "menu_tap.mp3", .badgeNumber = {}};

LocalNotification badge(double at, int64_t number) {
    LocalNotification n;
    n.fireDate = at;
    n.badgeNumber = number;
    return n;
}

std::string readFile(const std::filesystem::path& p) {
    std::stringstream s;
    s << std::ifstream(p).rdbuf();
    return s.str();
}

}  // namespace

TEST(DesktopNotifications, TheScheduleSurvivesARestartDueOnesLeaveInFireOrderAndTheBadgeIsKept) {
    TempFolder dir;
    dir.write(DesktopNotificationCenter::kFileName, "{ not json");
    ScopedEnv noBus("DBUS_SESSION_BUS_ADDRESS", nullptr);  // nothing shown, nothing lost
    EXPECT_FALSE(DesktopNotificationCenter::desktopCanNotify());
    {
        DesktopNotificationCenter first(dir.str());
        EXPECT_TRUE(first.scheduledLocalNotifications().empty()) << "a damaged file reads empty";
        first.scheduleLocalNotification(kReminder);
        first.scheduleLocalNotification(badge(40, 2));
        first.scheduleLocalNotification(badge(20, 1));
    }
    DesktopNotificationCenter center(dir.str());
    const auto all = center.scheduledLocalNotifications();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].alertBody.value_or(""), "Come back");
    EXPECT_EQ(all[0].soundName.value_or(""), "menu_tap.mp3");
    EXPECT_EQ(all[0].launchImage, "Default.png");
    EXPECT_EQ(all[0].userInfo.dictionaryValue().at("id").intValue(), 1);
    EXPECT_FALSE(all[1].alertBody.has_value() || all[1].soundName.has_value() || all[0].badgeNumber.has_value());
    EXPECT_EQ(all[1].badgeNumber.value_or(0), 2);

    std::vector<int64_t> badges;
    center.onBadgeChanged = [&](int64_t b) { badges.push_back(b); };
    EXPECT_TRUE(center.deliverDue(10).empty());
    const auto due = center.deliverDue(45);
    ASSERT_EQ(due.size(), 2u);
    EXPECT_EQ(due[0].fireDate, 20);
    EXPECT_EQ(badges, (std::vector<int64_t>{2}));
    center.setApplicationIconBadgeNumber(2);  // no change: nobody is told
    center.setApplicationIconBadgeNumber(5);
    EXPECT_EQ(badges, (std::vector<int64_t>{2, 5}));
    center.cancelLocalNotificationsWithUserInfo();
    DesktopNotificationCenter after(dir.str());
    EXPECT_TRUE(after.scheduledLocalNotifications().empty()) << "delivered and cancelled ones leave the file";
    EXPECT_EQ(after.applicationIconBadgeNumber(), 5);
}

TEST(DesktopNotifications, AFloodShowsAFewAtOnceOneOfEachKindReplacedInPlaceTheRestFolded) {
    std::vector<LocalNotification> due;
    for (int i = 0; i < 400; ++i) {
        LocalNotification n;
        n.fireDate = i;
        n.alertBody = "<b>Person " + std::to_string(i) + "</b> is back";
        if (i % 2 == 0) n.userInfo = Value{{"id", Value(7)}};  // the party's progress: one kind
        due.push_back(n);
    }
    due.push_back(badge(500, 3));  // badges show nothing
    const auto plan = DesktopNotificationCenter::planDelivery(due);
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].body, "<b>Person 398</b> is back (+199)") << "the latest of its kind, the text as it is";
    EXPECT_EQ(plan[1].body, "<b>Person 399</b> is back (+199)");
    for (int kinds = 0; kinds < 10; ++kinds) due[static_cast<size_t>(kinds)].userInfo = Value{{"id", Value(100 + kinds)}};
    EXPECT_EQ(DesktopNotificationCenter::planDelivery(due).size(), DesktopNotificationCenter::kMaxShownAtOnce);
}

TEST(UrlOpener, OnlyWebAndMailAddressesPass) {
    for (const char* good : {"https://example.invalid/page", "HTTP://example.invalid", "mailto:someone@example.invalid"})
        EXPECT_TRUE(UrlOpener::isAllowedUrl(good)) << good;
    for (const char* bad : {"file:///etc/passwd", "javascript:alert(1)", "fb123://authorize", "https:", "mailto:",
                            "https://a\nb", "no scheme"})
        EXPECT_FALSE(UrlOpener::isAllowedUrl(bad)) << bad;
}

TEST(UrlOpener, StartsTheOpenerWithTheAddressAsOneArgument) {
    TempFolder dir;
    const auto out = dir.path() / "args.txt";
    const std::string program = dir.write("opener.sh", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + out.string() + "'; done\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    UrlOpener opener;
    opener.setOpenerProgram(program);
    const std::string address = "https://example.invalid/a b;$(touch x)";
    ASSERT_TRUE(opener.openUrl(address));
    for (int i = 0; i < 200 && readFile(out).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(readFile(out), address + "\n");
    EXPECT_FALSE(opener.openUrl("file:///etc/passwd"));
    opener.setOpenerProgram((dir.path() / "missing-opener").string());
    EXPECT_FALSE(opener.openUrl("https://example.invalid"));
    opener.setRecordOnly(true);  // records, opens nothing
    EXPECT_FALSE(opener.openUrl("mailto:x@example.invalid"));
    EXPECT_EQ(opener.openedUrls().back(), "mailto:x@example.invalid");
}

TEST(PageViewLog, EachViewIsAppendedWithItsTime) {
    TempFolder dir;
    double now = 1800000000.5;
    PageViewLog log(dir.str(), [&] { return now; });
    log.trackPageView("/TITLE");
    now += 10;
    log.trackPageView("/MAIN");
    EXPECT_EQ(readFile(log.filePath()), "1800000000.500\t/TITLE\n1800000010.500\t/MAIN\n");
}

TEST(PageViewLog, AWeekOfViewsKeepsOnlyTheRecentOnesInMemoryAndEveryOneInTheFile) {
    TempFolder dir;
    PageViewLog log(dir.str(), [] { return 1800000000.0; });
    const int views = 5 * static_cast<int>(RecordingAnalytics::kKeptViews) + 7;
    for (int i = 0; i < views; ++i) log.trackPageView("/STAGE_" + std::to_string(i));
    const auto kept = log.pageViews();
    ASSERT_FALSE(kept.empty());
    EXPECT_LE(kept.size(), RecordingAnalytics::kKeptViews);
    EXPECT_GE(kept.size(), RecordingAnalytics::kKeptViews * 3 / 4);
    for (size_t i = 0; i < kept.size(); ++i)  // the newest, in order
        ASSERT_EQ(kept[i], "/STAGE_" + std::to_string(views - kept.size() + i));
    std::istringstream lines(readFile(log.filePath()));
    int inFile = 0;
    for (std::string line; std::getline(lines, line);) ++inFile;
    EXPECT_EQ(inFile, views);
}

TEST(LaunchOptions, MistakesAreRefused) {
    std::string error;
    LaunchOptions::parse({"--headless", "--data-dir", "/tmp/d", "--script", "-"}, &error);
    EXPECT_EQ(error, "");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--screen", "500"}, {"--epoch", "soon"}, {"--seed", "-1"}, {"--seed", "18446744073709551616"}, {"--script", "x.txt"}, {"--headless", "--script", "x"}, {"--fly"}, {"--data-dir"}}) {
        error.clear();
        LaunchOptions::parse(args, &error);
        EXPECT_FALSE(error.empty()) << args.front();
    }
}

TEST(LaunchOptions, HelpListsEveryOptionOnceAndStopsBeforeTheChecks) {
    const std::string help = LaunchOptions::help();
    for (const LaunchOption& option : LaunchOptions::table()) {
        const std::string line = "\n  " + std::string(option.name) + " ";
        const size_t at = help.find(line);
        EXPECT_NE(at, std::string::npos) << option.name;
        EXPECT_EQ(help.find(line, at + 1), std::string::npos) << option.name;
    }
    std::string error;
    EXPECT_TRUE(LaunchOptions::parse({"--script", "x", "--help"}, &error).showHelp);
    EXPECT_EQ(error, "");
    EXPECT_EQ(LaunchOptions::parse({"--data", "/tmp/d"}, &error).dataDirectory, "/tmp/d");
    EXPECT_EQ(LaunchOptions::parse({"--version"}, &error).showVersion, true);
    EXPECT_EQ(LaunchOptions::version().rfind("royal-expedition ", 0), 0u);
}
