#include "app/AppDelegate.h"

#include <filesystem>

#include "app/CommunityChat.h"
#include "app/GameRatingPrompt.h"
#include "app/StoreObserver.h"
#include "explore/NMCommon.h"
#include "explore/RankingManager.h"
#include "explore/ViewController.h"
#include "gamelink/GameLinkBanners.h"
#include "gamelink/TopPanelAdsViewController.h"
#include "model/GameEvents.h"
#include "model/GameTags.h"
#include "model/GoldManager.h"
#include "model/MonsterManager.h"
#include "model/SavePointHooks.h"
#include "model/SaveTransfer.h"
#include "model/SavedStateKeys.h"
#include "platform/payments/PaymentQueue.h"
#include "overlays/NMAlertViewManager.h"
#include "overlays/TitleViewController.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/services/AlertPresenter.h"
#include "platform/services/Analytics.h"
#include "platform/services/LeaderboardService.h"
#include "platform/services/LocalNotificationCenter.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SaveBackups.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "stage/EffectManager.h"

namespace {

const char* const kPreloadedEffects[] = {"tap.mp3",   "tap_fail.wav", "menu_tap.mp3",     "drop.mp3",   "coinget.mp3", "check.mp3",
                                         "se_charge.wav", "SE001.mp3", "levelup.mp3", "pochi_short.wav", "start.mp3"};

}  // namespace

AppDelegate::AppDelegate() = default;

AppDelegate::~AppDelegate() {
    if (auto queue = PaymentQueue::sharedDefaultQueue()) queue->removeTransactionObserver(StoreObserver::instance().get());
    SavePointHooks::setAfterSaveHandler({});
    GameLinkBanners::uninstall();
}

void AppDelegate::initializeClass() {
    // Asked only when the main screen decides to, never at launch.
    auto prompt = std::make_shared<GameRatingPrompt>();
    prompt->setDaysUntilPrompt(0);
    prompt->setPromptAtLaunch(false);
    ViewController::setRatingPrompt(prompt);
}

bool AppDelegate::didFinishLaunching(Window& window) {
    window_ = &window;
    SavedStateStore& store = SavedStateStore::standardUserDefaults();
    if (!store.foundDamagedFile()) {
        finishLaunching(window);
        if (SaveTransfer::importedAtStart()) tellAboutTheSave(NSLocalizedString("ImportLoaded"));
        return true;
    }
    // A save that could not be read was kept aside; the player hears where.
    const std::string kept = std::filesystem::path(store.damagedFilePath()).filename().string();
    auto backup = SaveBackups(SavedStateStore::dataDirectory()).newestGood();
    if (!backup) {
        store.acceptFreshStart();
        finishLaunching(window);
        tellAboutTheSave(stringWithFormat(NSLocalizedString("FormatDamagedSave"), {Value(kept)}));
        return true;
    }
    // Nothing of the game is built yet, so a restored backup is what every manager reads.
    window.makeKeyAndVisible();
    AlertView question;
    question.message = stringWithFormat(NSLocalizedString("FormatDamagedSaveBackup"), {Value(kept), Value(backup->first.day)});
    question.buttonTitles = {NSLocalizedString("StartAfresh"), NSLocalizedString("LoadBackup")};
    question.cancelButtonIndex = 0;
    question.tag = GameTags::kRestoreBackup;
    const Value values = backup->second;
    AlertPresenter::shared()->showAlert(question, [this, alive = lifetime(), values](const AlertView&, int button) {
        if (alive.expired()) return;
        SavedStateStore& store = SavedStateStore::standardUserDefaults();
        if (button == 1) store.restoreValues(values.dictionaryValue());
        else store.acceptFreshStart();
        finishLaunching(*window_);
        if (button == 1) tellAboutTheSave(NSLocalizedString("BackupLoaded"));
    });
    return true;
}

void AppDelegate::tellAboutTheSave(const std::string& message) {
    NMAlertViewManager::getInstance()->showAlertWithMessage(message, "talk2@2x.png", false, 0);
}

void AppDelegate::finishLaunching(Window& window) {
    CommunityChat::shared().setUp(CommunityChat::kClientId, CommunityChat::kAccountBase);
    ViewController::setChatOpener([](const std::string& group, const std::string& title) { CommunityChat::shared().openGroup(group, title); });

    // Every save point from here on reports the leaderboard scores when it may.
    SavePointHooks::setAfterSaveHandler([] { RankingManager::reportIfNeeded(); });

    EffectManager::getInstance();
    GoldManager::getInstance();
    MonsterManager::getInstance();

    viewController_ = std::make_shared<ViewController>();
    viewController_->addViewTo(window);
    window.makeKeyAndVisible();

    // The banners show the maker's other games.
    GameLinkBanners::install();
    // Only the 568-point screen has room for the top advertising panel; elsewhere the title
    // shows the banners.
    if (TopPanelAdsViewController::isWantedOnMainScreen()) {
        topPanelCtr_ = std::make_shared<TopPanelAdsViewController>();
        topPanelCtr_->addViewTo(*viewController_->view());
    }

    // The local leaderboards sign the desktop user in on a later pass; the menu hears of it.
    LeaderboardService::shared().authenticateLocalPlayer([](bool ok, const std::string&) {
        SavedStateStore::standardUserDefaults().setBool(ok, SavedStateKeys::gkLoginSucceeded);
        NMCommon::sendNotification(GameEvents::kGKStatusUpdated);
    });

    PaymentQueue::defaultQueue().addTransactionObserver(StoreObserver::instance());

    title_.setOnWillClose([this] { viewController_->appear(); });
    title_.present(&window);
}

void AppDelegate::saveGameData() {
    // Before the game is built (the player is still asked about a backup) nothing is loaded to save.
    if (!viewController_) return;
    GoldManager::getInstance()->saveGold();
    MonsterManager::getInstance()->saveMonsters();
}

void AppDelegate::applicationWillResignActive() { NMCommon::sendNotification(GameEvents::kWillResignActive); }

void AppDelegate::applicationDidEnterBackground() {
    saveGameData();
    const double fireTime = RunLoop::main().wallTime() + kReminderDelay;
    std::optional<std::string> sound;
    if (!SavedStateStore::standardUserDefaults().boolForKey(SavedStateKeys::pushSoundOff)) sound = "menu_tap.mp3";
    Value userInfo = Value::Dictionary{{"id", Value(int64_t(1))}};
    NMCommon::showLocalPushAtTime(fireTime, LocalizedStrings::shared().localizedString("NotificationLong"), "Default.png", userInfo, sound);
    SoundEngine::sharedEngine().stopBackgroundMusic();
    SoundEngine::sharedEngine().end();
}

void AppDelegate::applicationDidBecomeActive() {
    SoundEngine& sound = SoundEngine::sharedEngine();
    sound.setBackgroundMusicVolume(kMusicVolume);
    for (const char* effect : kPreloadedEffects) sound.preloadEffect(effect);
    NMCommon::cancelAllLocalPushWithUserInfo();
    LocalNotificationCenter::shared()->setApplicationIconBadgeNumber(0);
    if (!title_ && viewController_) viewController_->appear();
}

void AppDelegate::applicationWillTerminate() {
    saveGameData();
    // The page-view log writes each view as it comes; nothing is left to send.
}

bool AppDelegate::handleOpenURL(const std::string& url) {
    if (url.compare(0, 2, "fb") == 0) return false;
    return CommunityChat::shared().handleOpenURL(url, CommunityChat::kClientId);
}
