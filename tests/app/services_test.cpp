// The desktop side of the services: the notification schedule kept across runs, delivery and
// the badge, the notify-send argument list, the address opener's schemes and its start without
// a shell, the page-view log, and the game's command line.
#include <gtest/gtest.h>


#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "app/LaunchOptions.h"
#include "platform/services/DesktopNotifications.h"
#include "platform/services/PageViewLog.h"
#include "platform/services/UrlOpener.h"
#include "platform/TempFolder.h"

namespace fs = std::filesystem;

namespace {

LocalNotification reminder(double at) {
    LocalNotification n;
    n.fireDate = at;
    n.alertBody = "Come back";
    n.launchImage = "Default.png";
    n.userInfo = Value{{"id", Value(1)}};
    n.soundName = "menu_tap.mp3";
    return n;
}

LocalNotification badgeOnly(double at, int64_t badge) {
    LocalNotification n;
    n.fireDate = at;
    n.badgeNumber = badge;
    return n;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(DesktopNotifications, ScheduleSurvivesARestartAndCancelsFindIt) {
    TempFolder dir;
    std::ofstream(dir.path() / DesktopNotificationCenter::kFileName) << "{ not json";  // a damaged file reads empty
    {
        DesktopNotificationCenter first(dir.str());
        EXPECT_TRUE(first.scheduledLocalNotifications().empty());
        first.scheduleLocalNotification(reminder(1000));
        first.scheduleLocalNotification(badgeOnly(20, 1));
        first.scheduleLocalNotification(badgeOnly(40, 2));
    }
    DesktopNotificationCenter second(dir.str());
    auto all = second.scheduledLocalNotifications();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].alertBody.value_or(""), "Come back");
    EXPECT_EQ(all[0].soundName.value_or(""), "menu_tap.mp3");
    EXPECT_EQ(all[0].launchImage, "Default.png");
    EXPECT_EQ(all[0].userInfo.dictionaryValue().at("id").intValue(), 1);
    EXPECT_FALSE(all[1].alertBody.has_value() || all[1].soundName.has_value());
    EXPECT_EQ(all[2].badgeNumber.value_or(0), 2);
    EXPECT_NE(all[0].identifier, all[1].identifier);

    // Only the reminder carries user info.
    second.cancelLocalNotificationsWithUserInfo();
    DesktopNotificationCenter third(dir.str());
    ASSERT_EQ(third.scheduledLocalNotifications().size(), 2u);
    third.cancelLocalNotification(third.scheduledLocalNotifications()[0].identifier);
    EXPECT_EQ(DesktopNotificationCenter(dir.str()).scheduledLocalNotifications().size(), 1u);
    third.cancelAllLocalNotifications();
    EXPECT_TRUE(DesktopNotificationCenter(dir.str()).scheduledLocalNotifications().empty());

    DesktopNotificationCenter memoryOnly("");
    memoryOnly.scheduleLocalNotification(reminder(5));
    EXPECT_EQ(memoryOnly.scheduledLocalNotifications().size(), 1u);
}

TEST(DesktopNotifications, DueOnesLeaveInFireOrderAndSetTheBadge) {
    TempFolder dir;
    DesktopNotificationCenter center(dir.str());
    center.setShowsNotifications(false);
    std::vector<int64_t> badges;
    center.onBadgeChanged = [&](int64_t b) { badges.push_back(b); };
    center.scheduleLocalNotification(badgeOnly(40, 2));
    center.scheduleLocalNotification(badgeOnly(20, 1));
    center.scheduleLocalNotification(reminder(1000));
    EXPECT_TRUE(center.deliverDue(10).empty());
    auto due = center.deliverDue(45);
    ASSERT_EQ(due.size(), 2u);
    EXPECT_EQ(due[0].fireDate, 20);
    EXPECT_EQ(center.applicationIconBadgeNumber(), 2);
    EXPECT_EQ(badges, (std::vector<int64_t>{2}));
    // Delivered ones are gone from the saved schedule too; the badge is kept with it.
    EXPECT_EQ(DesktopNotificationCenter(dir.str()).scheduledLocalNotifications().size(), 1u);
    center.setApplicationIconBadgeNumber(2);  // no change: nobody is told
    center.setApplicationIconBadgeNumber(5);
    EXPECT_EQ(badges, (std::vector<int64_t>{2, 5}));
    EXPECT_EQ(DesktopNotificationCenter(dir.str()).applicationIconBadgeNumber(), 5);
}

TEST(DesktopNotifications, NotifySendGetsAnArgumentListWithTheTextAfterTheOptions) {
    LocalNotification n = reminder(0);
    n.alertBody = "--urgency=critical; rm -rf ~";
    auto args = DesktopNotificationCenter::notifyArguments(n);
    ASSERT_GE(args.size(), 4u);
    EXPECT_EQ(args.front(), "notify-send");
    EXPECT_EQ(args.back(), "--urgency=critical; rm -rf ~");
    EXPECT_EQ(args[args.size() - 3], "--");
    EXPECT_NE(std::find(args.begin(), args.end(), "--hint=string:sound-name:menu_tap.mp3"), args.end());
    n.soundName.reset();
    for (const auto& a : DesktopNotificationCenter::notifyArguments(n)) EXPECT_EQ(a.find("sound-name"), std::string::npos);
}

TEST(DesktopNotifications, NoSessionBusMeansNothingIsShownAndNothingLost) {
    TempFolder dir;
    ScopedEnv noBus("DBUS_SESSION_BUS_ADDRESS", nullptr);
    EXPECT_FALSE(DesktopNotificationCenter::desktopCanNotify());
    DesktopNotificationCenter center(dir.str());
    center.scheduleLocalNotification(reminder(1));
    EXPECT_EQ(center.deliverDue(2).size(), 1u);
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
    const fs::path out = dir.path() / "args.txt";
    const fs::path opener = dir.path() / "opener.sh";
    std::ofstream(opener) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" << out.string() << "'; done\n";
    fs::permissions(opener, fs::perms::owner_all);
    UrlOpener opener1;
    opener1.setOpenerProgram(opener.string());
    const std::string address = "https://example.invalid/a b;$(touch x)";
    ASSERT_TRUE(opener1.openUrl(address));
    for (int i = 0; i < 200 && readFile(out).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(readFile(out), address + "\n");
    EXPECT_FALSE(opener1.openUrl("file:///etc/passwd"));
    opener1.setOpenerProgram((dir.path() / "missing-opener").string());
    EXPECT_FALSE(opener1.openUrl("https://example.invalid"));
    opener1.setRecordOnly(true);  // records, opens nothing
    EXPECT_FALSE(opener1.openUrl("mailto:x@example.invalid"));
    EXPECT_EQ(opener1.openedUrls().back(), "mailto:x@example.invalid");
}

TEST(PageViewLog, EachViewIsAppendedWithItsTime) {
    TempFolder dir;
    double now = 1800000000.5;
    PageViewLog log(dir.str(), [&] { return now; });
    log.trackPageView("/TITLE");
    now += 10;
    log.trackPageView("/MAIN");
    EXPECT_EQ(readFile(log.filePath()), "1800000000.500\t/TITLE\n1800000010.500\t/MAIN\n");
    EXPECT_EQ(log.pageViews(), (std::vector<std::string>{"/TITLE", "/MAIN"}));
}

TEST(LaunchOptions, ScriptLineAndMistakes) {
    std::string error;
    auto o = LaunchOptions::parse({"--headless", "--data-dir", "/tmp/d", "--epoch", "1800000000", "--seed", "42", "--lang", "ja",
                                   "--screen", "568", "--script", "-"},
                                  &error);
    EXPECT_EQ(error, "");
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.dataDirectory, "/tmp/d");
    EXPECT_EQ(o.epoch.value_or(0), 1800000000);
    EXPECT_EQ(o.seed.value_or(0), 42u);
    EXPECT_EQ(o.language, "ja");
    EXPECT_EQ(o.screenHeight, 568);
    EXPECT_EQ(o.scriptPath, "-");
    const std::vector<std::vector<std::string>> bad = {{"--screen", "500"},          {"--epoch", "soon"},
                                                        {"--seed", "-1"},             {"--script", "x.txt"},
                                                        {"--headless", "--script", "x"}, {"--fly"},
                                                        {"--data-dir"}};
    for (const auto& args : bad) {
        error.clear();
        LaunchOptions::parse(args, &error);
        EXPECT_FALSE(error.empty()) << args.front();
    }
}
