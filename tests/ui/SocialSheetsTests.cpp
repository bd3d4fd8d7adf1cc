// The platform's stand-ins for the phone's social services: the local leaderboard service on a
// real SQLite file (scopes, damaged and locked files), its screen, and the post composer
// handing its share address to a fake browser.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/TempFolder.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/services/LeaderboardService.h"
#include "platform/ui/SocialComposer.h"
#include "platform/services/UrlOpener.h"
#include "platform/ui/Label.h"
#include "platform/ui/LeaderboardView.h"
#include "platform/ui/PanelButton.h"
#include "ui/UiTestSupport.h"

namespace {

// Monday 7 December 2026, 10:00 UTC.
constexpr double kMonday = 1796637600;
constexpr double kDay = 86400;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// A named label's text, or "<hidden>" when it is hidden or missing.
std::string labelText(View& root, const std::string& name) {
    auto label = root.viewWithName<Label>(name);
    return label && !label->isHidden() ? label->text() : "<hidden>";
}

class LeaderboardTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        path = (folder.path() / LeaderboardService::kFileName).string();
        service = std::make_unique<LeaderboardService>(path, [this] { return wall; });
    }
    bool signIn() {
        bool ok = false;
        service->authenticateLocalPlayer([&](bool signedIn, const std::string&) { ok = signedIn; });
        pass();
        return ok;
    }
    // Reports the four boards at `at` and says whether the report was written.
    bool report(double at, int64_t base) {
        wall = at;
        bool ok = false;
        std::vector<LeaderboardScore> scores;
        for (size_t i = 0; i < 4; ++i) scores.push_back({LeaderboardService::leaderboardIds()[i], base + static_cast<int64_t>(i)});
        service->reportScores(scores, [&](bool written, const std::string&) { ok = written; });
        service->waitUntilIdle();
        pass();
        return ok;
    }
    int rows() {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* q = nullptr;
        int n = -1;
        if (sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM scores", -1, &q, nullptr) == SQLITE_OK && sqlite3_step(q) == SQLITE_ROW)
            n = sqlite3_column_int(q, 0);
        sqlite3_finalize(q);
        sqlite3_close(db);
        return n;
    }
    std::shared_ptr<LeaderboardView> showBoards() {
        auto view = std::make_shared<LeaderboardView>(*service);
        view->showInView(*window);
        service->waitUntilIdle();
        advance(1);
        return view;
    }
    TempFolder folder;
    std::string path;
    double wall = kMonday;
    std::unique_ptr<LeaderboardService> service;
};

TEST_F(LeaderboardTest, SignInIsTheDesktopUserUnlessSwitchedOff) {
    EXPECT_FALSE(report(kMonday, 1)) << "no report before the sign-in";
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(signIn());
    EXPECT_FALSE(service->playerAlias().empty());
    service->setSignInEnabled(false);
    EXPECT_FALSE(signIn());
    EXPECT_FALSE(service->isAuthenticated());
    {
        ScopedEnv off(LeaderboardService::kSignInVariable, "OFF");
        EXPECT_FALSE(LeaderboardService::signInEnabledByEnvironment());
    }
    ScopedEnv unset(LeaderboardService::kSignInVariable, nullptr);
    EXPECT_TRUE(LeaderboardService::signInEnabledByEnvironment());
}

TEST_F(LeaderboardTest, EveryReportIsKeptWithItsTimeAndTheScreenShowsEachScope) {
    ASSERT_TRUE(signIn());
    ASSERT_TRUE(report(kMonday - 8 * kDay, 900));  // last week
    ASSERT_TRUE(report(kMonday - 2 * 3600, 500));  // this Monday, early
    ASSERT_TRUE(report(kMonday - kDay, 700));      // Sunday: last week too
    ASSERT_TRUE(report(kMonday + 3600, 600));      // this Monday, later: the last one
    EXPECT_EQ(rows(), 16) << "four rows a report";
    bool written = true;
    service->reportScores({{"treasure_hunter", 1}, {"no_such_board", 2}}, [&](bool ok, const std::string&) { written = ok; });
    service->waitUntilIdle();
    pass();
    EXPECT_FALSE(written);
    EXPECT_EQ(rows(), 16) << "a report is written whole or not at all";

    wall = kMonday + 2 * 3600;
    auto today = service->readBoards(LeaderboardTimeScope::today, wall);
    ASSERT_TRUE(today.readable);
    EXPECT_EQ(today.boards[0].best, 600);
    EXPECT_EQ(today.boards[0].last, 600);
    EXPECT_EQ(today.boards[3].best, 603);
    auto all = service->readBoards(LeaderboardTimeScope::allTime, wall);
    EXPECT_EQ(all.boards[1].best, 901);
    EXPECT_EQ(all.boards[1].last, 601);
    EXPECT_EQ(service->readBoards(LeaderboardTimeScope::week, kMonday + 3 * kDay).boards[0].best, 600)
        << "the week starts on Monday; Sunday's 700 is last week's";

    auto view = showBoards();
    EXPECT_EQ(view->timeScope(), LeaderboardTimeScope::today) << "the screen opens on today";
    EXPECT_EQ(labelText(*view, "boardTitle1"), NSLocalizedString("LeaderboardTreasureHunter"));
    EXPECT_EQ(labelText(*view, "boardTitle4"), NSLocalizedString("LeaderboardFlamebirdHunter"));
    EXPECT_EQ(labelText(*view, "boardBest1"), NSLocalizedString("LeaderboardBest") + " 600");
    EXPECT_EQ(labelText(*view, "leaderboardMessage"), "<hidden>");
    tap(*view->viewWithName("scopeAllTimeBtn"));
    service->waitUntilIdle();
    advance(0.1);
    EXPECT_EQ(labelText(*view, "boardBest2"), NSLocalizedString("LeaderboardBest") + " 901");
    EXPECT_EQ(labelText(*view, "boardLast2"), NSLocalizedString("LeaderboardLast") + " 601");
    int finished = 0;
    view->onFinish = [&] { ++finished; };
    tap(*view->viewWithName("leaderboardCloseBtn"));
    advance(1);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(view->superview());
}

TEST_F(LeaderboardTest, ADamagedOrLockedDatabaseSkipsTheReportAndTheScreenSaysSo) {
    ASSERT_TRUE(signIn());
    folder.write(LeaderboardService::kFileName, std::string(4096, 'x'));
    EXPECT_FALSE(report(kMonday, 1));
    EXPECT_EQ(readFile(path), std::string(4096, 'x')) << "the damaged file is left as it was";
    auto damaged = showBoards();
    EXPECT_EQ(labelText(*damaged, "leaderboardMessage"), NSLocalizedString("LeaderboardUnreadable"));
    EXPECT_EQ(labelText(*damaged, "boardTitle1"), "<hidden>");
    damaged->removeFromSuperview();

    std::filesystem::remove(path);
    ASSERT_TRUE(report(kMonday, 1));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(report(kMonday + 60, 2)) << "another program holds the file";
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
    EXPECT_FALSE(service->readBoards(LeaderboardTimeScope::today, kMonday).readable);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(report(kMonday + 120, 3));
    EXPECT_EQ(rows(), 8);
}

class ComposerTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        // A stand-in browser that writes each argument it got on a line of its own.
        fake = folder.write("browser.sh", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.args\"\n");
        std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
        UrlOpener::shared().setRecordOnly(false);
        UrlOpener::shared().setOpenerProgram(fake);
    }
    void TearDown() override {
        UrlOpener::shared().setOpenerProgram("xdg-open");
        WindowTest::TearDown();
    }
    // Fills the composer on a worker and shows it from the main loop, as the game does.
    std::shared_ptr<SocialComposer> compose(const std::string& text, const std::string& url) {
        auto composer = std::make_shared<SocialComposer>();
        BackgroundWorker worker;
        worker.dispatch([=, this] {
            composer->setInitialText(text);
            composer->addUrl(url);
            composer->setCompletionHandler([this](SocialComposer::Result r) { results.push_back(r); });
            RunLoop::main().post([composer] { composer->present(); });
        });
        worker.waitUntilIdle();
        advance(1);
        return composer;
    }
    std::string waitForArguments() {
        for (int i = 0; i < 200 && !std::filesystem::exists(fake + ".args"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return readFile(fake + ".args");
    }
    TempFolder folder;
    std::string fake;
    std::vector<SocialComposer::Result> results;
};

TEST_F(ComposerTest, PostHandsTheEncodedShareAddressToTheBrowserAsOneArgument) {
    ASSERT_TRUE(SocialComposer::canSendPost());
    const std::string text = "Beat the Puffpig! 50% off; rm -rf ~ $(id) & “ü”";
    auto composer = compose(text, "https://example.com/royalexpedition/?a=1&b=2");
    auto sheet = window->viewWithName("composeSheet");
    ASSERT_TRUE(sheet);
    EXPECT_EQ(labelText(*sheet, "composeText"), text);
    EXPECT_EQ(labelText(*sheet, "composeLink"), "https://example.com/royalexpedition/?a=1&b=2");
    tap(*sheet->viewWithName("composePostBtn"));
    advance(1);
    EXPECT_EQ(results, std::vector<SocialComposer::Result>{SocialComposer::Result::done});
    EXPECT_EQ(waitForArguments(),
              "https://twitter.com/intent/tweet?text=Beat%20the%20Puffpig%21%2050%25%20off%3B%20rm%20-rf%20~%20%24%28id%29%20%26%20"
              "%E2%80%9C%C3%BC%E2%80%9D&url=https%3A%2F%2Fexample.com%2Froyalexpedition%2F%3Fa%3D1%26b%3D2\n");
    EXPECT_FALSE(window->viewWithName("composeSheet"));
}

TEST_F(ComposerTest, CancelReportsCancelledAndNoOpenerMeansNoPost) {
    compose("Hello", "https://example.com/");
    tap(*window->viewWithName("composeCancelBtn"));
    advance(1);
    EXPECT_EQ(results, std::vector<SocialComposer::Result>{SocialComposer::Result::cancelled});
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(std::filesystem::exists(fake + ".args"));

    UrlOpener::shared().setOpenerProgram((folder.path() / "no-such-browser").string());
    EXPECT_FALSE(SocialComposer::canSendPost());
    compose("Hello", "https://example.com/");
    tap(*window->viewWithName("composePostBtn"));
    advance(1);
    EXPECT_EQ(results.back(), SocialComposer::Result::cancelled) << "a post that could not be handed on is not reported done";
}

}  // namespace
