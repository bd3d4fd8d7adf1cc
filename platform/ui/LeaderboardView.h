#pragma once
// The leaderboard screen of the local leaderboard service, shown above the game: the four
// boards with their titles, the time scopes today, this week and all time (it opens on the
// scope given, today by default), and for each board the player's best and last score in that
// scope. When the database cannot be read it says so instead. Close reports onFinish once.
//
// View names: "leaderboardSheet", "leaderboardTitle", "scopeTodayBtn", "scopeWeekBtn",
// "scopeAllTimeBtn", "boardTitle1".."boardTitle4", "boardBest1".."boardBest4",
// "boardLast1".."boardLast4", "leaderboardMessage" (shown when unreadable), "leaderboardCloseBtn".
//
//   auto board = std::make_shared<LeaderboardView>(LeaderboardService::shared());
//   board->onFinish = [this] { leaderboardViewControllerDidFinish(); };
//   board->show();
#include "platform/services/LeaderboardService.h"
#include "platform/ui/ModalAlertView.h"

class Label;
class PanelButton;

class LeaderboardView : public ModalAlertView {
public:
    explicit LeaderboardView(LeaderboardService& service, LeaderboardTimeScope scope = LeaderboardTimeScope::today);
    ~LeaderboardView() override;

    // Runs once when the player closes the screen (the screen is already leaving).
    std::function<void()> onFinish;

    LeaderboardTimeScope timeScope() const { return scope_; }
    // Shows another scope (reads the boards again).
    void setTimeScope(LeaderboardTimeScope scope);
    // The boards as last read; loaded() is false until the first read came back.
    const LeaderboardSnapshot& snapshot() const { return snapshot_; }
    bool loaded() const { return loaded_; }

    static constexpr double kWidth = 296;

protected:
    void layoutPanel(const Rect& area) override;

private:
    void load();
    void apply(const LeaderboardSnapshot& snapshot);
    void refreshScopeButtons();

    LeaderboardService& service_;
    LeaderboardTimeScope scope_;
    LeaderboardSnapshot snapshot_;
    bool loaded_ = false;
    std::vector<std::shared_ptr<PanelButton>> scopeButtons_;
    std::vector<std::shared_ptr<Label>> bestLabels_, lastLabels_, titleLabels_;
    std::shared_ptr<Label> message_;
};
