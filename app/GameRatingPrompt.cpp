#include "app/GameRatingPrompt.h"

#include "platform/resources/ProductSettings.h"
#include "platform/services/AlertPresenter.h"
#include "platform/services/UrlOpener.h"
#include "platform/store/SavedStateStore.h"

std::string GameRatingPrompt::storeId() { return ProductSettings::shared().storeId; }

std::string GameRatingPrompt::pageAddress() { return ProductSettings::shared().storePageAddressForId(storeId()); }

bool GameRatingPrompt::shouldPromptForRating() { return !SavedStateStore::standardUserDefaults().boolForKey(kAnsweredKey); }

void GameRatingPrompt::setButtonTitles(const std::string& cancel, const std::string& remind, const std::string& rate) {
    cancel_ = cancel;
    remind_ = remind;
    rate_ = rate;
}

void GameRatingPrompt::setTitleAndMessage(const std::string& title, const std::string& message) {
    title_ = title;
    message_ = message;
}

void GameRatingPrompt::promptIfNetworkAvailable() {
    if (!shouldPromptForRating()) return;
    AlertView alert;
    alert.title = title_;
    alert.message = message_;
    alert.buttonTitles = {cancel_, remind_, rate_};
    alert.cancelButtonIndex = 0;
    AlertPresenter::shared()->showAlert(alert, [](const AlertView&, int index) {
        // 0: no thanks, 1: later, 2: rate now.
        if (index == 1) return;
        SavedStateStore::standardUserDefaults().setBool(true, kAnsweredKey);
        if (index == 2) UrlOpener::shared().openUrl(pageAddress());
    });
}
