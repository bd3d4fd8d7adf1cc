#pragma once
// The rating prompt: asks in the game's own alert, with the texts the main screen gives it, and
// opens the game's page when the player agrees. It asks at most once per significant event and
// never again after the player rated or declined.
#include <string>

#include "explore/ViewController.h"

class GameRatingPrompt : public RatingPrompt {
public:
    // The game's store identifier and its store page, both product settings.
    static std::string storeId();
    static std::string pageAddress();
    static constexpr const char* kAnsweredKey = "ratingPromptAnswered";

    void setDaysUntilPrompt(int days) { daysUntilPrompt_ = days; }
    void setPromptAtLaunch(bool atLaunch) { promptAtLaunch_ = atLaunch; }

    bool shouldPromptForRating() override;
    void setButtonTitles(const std::string& cancel, const std::string& remind, const std::string& rate) override;
    void setTitleAndMessage(const std::string& title, const std::string& message) override;
    void promptIfNetworkAvailable() override;
    void logSignificantEventWithoutPrompt() override { ++events_; }

private:
    int daysUntilPrompt_ = 0;
    bool promptAtLaunch_ = false;
    int events_ = 0;
    std::string cancel_, remind_, rate_, title_, message_;
};
