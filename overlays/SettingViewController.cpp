#include "overlays/SettingViewController.h"

#include <filesystem>
#include <iterator>
#include <utility>

#include "explore/NMCommon.h"
#include "model/GameTags.h"
#include "model/GoldManager.h"
#include "model/MonsterManager.h"
#include "model/SaveTransfer.h"
#include "model/SavedStateKeys.h"
#include "overlays/NMAlertViewManager.h"
#include "platform/core/RunLoop.h"
#include "platform/payments/PaymentQueue.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/PlayerSettings.h"
#include "platform/ui/ActionSheetView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"

namespace {
constexpr uint32_t kPageCount = 2;

// The texts of the screen by view name, set again when the language changes.
constexpr std::pair<const char*, const char*> kLabelTexts[] = {
    {"titleLabel", "SettingTitle"},           {"pushTitleLabel", "NotifyLabel"},     {"musicLabel", "MusicVolume"},
    {"effectLabel", "EffectVolume"},          {"muteLabel", "MuteWhenUnfocused"},    {"languageLabel", "LanguageLabel"},
    {"languageNote", "LanguageNote"},
};
constexpr std::pair<const char*, const char*> kButtonTitles[] = {
    {"restoreBtn", "RestorePurchases"}, {"exportBtn", "ExportSave"}, {"importBtn", "ImportSave"}, {"closeBtn", "CloseButton"}, {"nextBtn", "NextPage"}, {"prevBtn", "PrevPage"},
};
constexpr const char* kLanguageNames[] = {"LanguageSystem", "LanguageEnglish", "LanguageJapanese", "LanguageChinese"};

PlayerSettings playerSettings() { return PlayerSettings::loadFromDataDirectory(SavedStateStore::dataDirectory()); }

std::string fileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

void tell(const std::string& text) { NMCommon::showAlertWithTitle("", text, nullptr, 0); }

std::shared_ptr<Image> switchImage(bool on) { return Image::named(on ? "switch_on@2x.png" : "switch_off@2x.png"); }
}  // namespace

// Hears the store while a restore the player asked for runs, and tells the screen how it ended.
class RestoreWatcher : public PaymentTransactionObserver {
public:
    explicit RestoreWatcher(std::function<void(bool, unsigned)> ended) : ended_(std::move(ended)) {}
    void paymentQueueUpdatedTransactions(PaymentQueue&, const std::vector<PaymentTransaction>& transactions) override {
        for (const auto& t : transactions)
            if (t.transactionState == PaymentTransactionState::restored) ++restored_;
    }
    void paymentQueueRestoreCompletedTransactionsFailedWithError(PaymentQueue&, const PaymentError&) override { end(false); }
    void paymentQueueRestoreCompletedTransactionsFinished(PaymentQueue&) override { end(true); }

private:
    void end(bool ok) {
        if (auto ended = std::exchange(ended_, nullptr)) ended(ok, restored_);
    }
    std::function<void(bool, unsigned)> ended_;
    unsigned restored_ = 0;
};

SettingViewController::SettingViewController() : OverlayViewController("SettingView") {}

SettingViewController::~SettingViewController() {
    if (restoreWatcher_) PaymentQueue::defaultQueue().removeTransactionObserver(restoreWatcher_.get());
}

void SettingViewController::bindOutlets() {
    OverlayViewController::bindOutlets();
    bind(pushSoundBtn_, "pushSoundBtn");
    bind(pushTitleLabel_, "pushTitleLabel");
    bind(page1View_, "page1View");
    bind(page2View_, "page2View");
    bind(musicSlider_, "musicSlider");
    bind(effectSlider_, "effectSlider");
    bind(muteUnfocusedBtn_, "muteUnfocusedBtn");
    bind(languageBtn_, "languageBtn");
    bind(restoreBtn_, "restoreBtn");
    bind(languageNote_, "languageNote");
    bindAction("pressPushSound", [this] { pressPushSound(); });
    bindAction("pressNext", [this] { pressNext(); });
    bindAction("pressPrev", [this] { pressPrev(); });
    bindAction("pressClose", [this] { pressClose(); });
    bindAction("pressMuteUnfocused", [this] { pressMuteUnfocused(); });
    bindAction("pressLanguage", [this] { pressLanguage(); });
    bindAction("pressRestore", [this] { pressRestore(); });
    bindAction("pressExport", [this] { pressExport(); });
    bindAction("pressImport", [this] { pressImport(); });
}

void SettingViewController::viewDidLoad() {
    currentPageIndex_ = 0;
    pushTitleLabel_->setAdjustsFontSizeToFitWidth(true);
    pushTitleLabel_->setMinimumFontSize(6);
    musicSlider_->onValueChanged = [this](double v) { musicVolumeChanged(v); };
    effectSlider_->onValueChanged = [this](double v) { effectVolumeChanged(v); };
    languageNote_->setHidden(true);
    updatePushSoundBtn();
    updatePage2();
    applyTexts();
    showPage(0);
}

void SettingViewController::applyTexts() {
    for (const auto& [name, key] : kLabelTexts)
        if (auto label = viewNamed<Label>(name)) label->setText(NSLocalizedString(key));
    for (const auto& [name, key] : kButtonTitles)
        if (auto button = viewNamed<Button>(name)) button->setTitle(NSLocalizedString(key));
    const std::string chosen = savedLanguage();
    for (size_t i = 0; i < std::size(kLanguages); ++i)
        if (chosen == kLanguages[i]) languageBtn_->setTitle(NSLocalizedString(kLanguageNames[i]));
}

void SettingViewController::showPage(uint32_t page) {
    currentPageIndex_ = page % kPageCount;
    page1View_->setHidden(currentPageIndex_ != 0);
    page2View_->setHidden(currentPageIndex_ != 1);
}

// ---- Page 1: the notification sound

void SettingViewController::updatePushSoundBtn() {
    pushSoundBtn_->setImage(switchImage(!SavedStateStore::standardUserDefaults().boolForKey(SavedStateKeys::pushSoundOff)));
}

void SettingViewController::pressPushSound() {
    SoundEngine::sharedEngine().playEffect("swichi_edit.wav");
    auto& store = SavedStateStore::standardUserDefaults();
    store.setBool(!store.boolForKey(SavedStateKeys::pushSoundOff), SavedStateKeys::pushSoundOff);
    store.synchronize();
    NMCommon::showAlertWithTitle("", NSLocalizedString("PushSoundSetting"), nullptr, 0);
    updatePushSoundBtn();
}

void SettingViewController::pressNext() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    showPage(currentPageIndex_ + 1);
}

void SettingViewController::pressPrev() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    showPage(currentPageIndex_ + kPageCount - 1);
}

void SettingViewController::pressClose() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    OverlayViewController::pressClose();
}

// ---- Page 2: the player's own choices

void SettingViewController::updatePage2() {
    const SoundSettings& sound = SoundEngine::sharedEngine().settings();
    musicSlider_->setValue(sound.musicVolume);
    effectSlider_->setValue(sound.effectVolume);
    muteUnfocusedBtn_->setImage(switchImage(savedMuteWhenUnfocused()));
}

void SettingViewController::musicVolumeChanged(double value) { SoundEngine::sharedEngine().setUserMusicVolume(static_cast<float>(value)); }

void SettingViewController::effectVolumeChanged(double value) {
    SoundEngine::sharedEngine().setUserEffectVolume(static_cast<float>(value));
    SoundEngine::sharedEngine().playEffect("tap.mp3");  // the new loudness, heard at once
}

void SettingViewController::pressMuteUnfocused() {
    SoundEngine::sharedEngine().playEffect("swichi_edit.wav");
    PlayerSettings settings = playerSettings();
    settings.setBool(kMuteWhenUnfocusedKey, !settings.boolForKey(kMuteWhenUnfocusedKey, false));
    if (!settings.save()) NMCommon::showAlertWithTitle("", NSLocalizedString("SettingsNotSaved"), nullptr, 0);
    updatePage2();
}

void SettingViewController::pressLanguage() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    const std::string chosen = savedLanguage();
    size_t next = 0;
    for (size_t i = 0; i < std::size(kLanguages); ++i)
        if (chosen == kLanguages[i]) next = (i + 1) % std::size(kLanguages);
    PlayerSettings settings = playerSettings();
    if (next == 0) settings.removeKey(kLanguageKey);
    else settings.setString(kLanguageKey, kLanguages[next]);
    if (!settings.save()) {
        NMCommon::showAlertWithTitle("", NSLocalizedString("SettingsNotSaved"), nullptr, 0);
        return;
    }
    // Texts looked up from now on follow the new language; this screen changes at once, texts
    // already on other screens at the next start (the note says so).
    LocalizedStrings::setPreferredLanguages(next == 0 ? std::vector<std::string>() : std::vector<std::string>{kLanguages[next]});
    applyTexts();
    languageNote_->setHidden(false);
}

void SettingViewController::pressRestore() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    if (restoreWatcher_) return;  // one restore at a time
    std::weak_ptr<void> alive = lifetime();
    restoreWatcher_ = std::make_shared<RestoreWatcher>([this, alive](bool ok, unsigned restored) {
        if (!alive.expired()) restoreEnded(ok, restored);
    });
    restoreBtn_->setEnabled(false);
    PaymentQueue& queue = PaymentQueue::defaultQueue();
    queue.addTransactionObserver(restoreWatcher_);
    queue.restoreCompletedTransactions();
}

void SettingViewController::restoreEnded(bool ok, unsigned restored) {
    PaymentQueue::defaultQueue().removeTransactionObserver(restoreWatcher_.get());
    restoreWatcher_.reset();
    restoreBtn_->setEnabled(true);
    const std::string text = !ok          ? NSLocalizedString("RestoreFailed")
                             : restored > 0 ? stringWithFormat(NSLocalizedString("FormatRestored"), {Value(restored)})
                                            : NSLocalizedString("RestoreNothing");
    NMCommon::showAlertWithTitle("", text, nullptr, 0);
}

// ---- Carrying the saved game

void SettingViewController::pressExport() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    // Gold and the monster records are held by their managers between save points.
    GoldManager::getInstance()->saveGold();
    MonsterManager::getInstance()->saveMonsters();
    const std::string folder = SaveTransfer::exportFolder(SavedStateStore::dataDirectory());
    const double now = RunLoop::main().wallTime();
    const std::string path = SaveTransfer::newExportPath(SavedStateStore::dataDirectory(), now);
    const SaveTransfer::Result result = SaveTransfer::exportTo(path, SavedStateStore::standardUserDefaults().dictionaryRepresentation(), now);
    tell(result.ok() ? stringWithFormat(NSLocalizedString("FormatExportDone"), {Value(fileNameOf(path)), Value(folder)})
                     : SaveTransfer::message(result));
}

void SettingViewController::pressImport() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    const std::string dataDirectory = SavedStateStore::dataDirectory();
    const std::vector<std::string> files = SaveTransfer::listExports(dataDirectory, kImportChoices);
    if (files.empty()) {
        tell(stringWithFormat(NSLocalizedString("FormatImportNoFiles"), {Value(SaveTransfer::exportFolder(dataDirectory))}));
        return;
    }
    std::vector<std::string> names;
    for (const std::string& file : files) names.push_back(fileNameOf(file));
    auto sheet = std::make_shared<ActionSheetView>(NSLocalizedString("ImportChoose"), NSLocalizedString("Cancel"), names);
    sheet->setAlertTag(GameTags::kImportChoice);
    sheet->onButton = [this, alive = lifetime(), files](int index) {
        if (alive.expired() || index < 0 || static_cast<size_t>(index) >= files.size()) return;
        const std::string path = files[static_cast<size_t>(index)];
        // Checked before the player is asked: a file that cannot be loaded is refused at once.
        if (SaveTransfer::Result result = SaveTransfer::check(path, nullptr); !result.ok()) {
            tell(SaveTransfer::message(result));
            return;
        }
        NMAlertViewManager::getInstance()->showAlertWithMessage(
            stringWithFormat(NSLocalizedString("FormatImportConfirm"), {Value(fileNameOf(path))}), "talk1@2x.png", true,
            GameTags::kImportConfirm, [this, alive, path] {
                if (!alive.expired()) importChosen(path);
            });
    };
    sheet->show();
}

void SettingViewController::importChosen(const std::string& path) {
    const SaveTransfer::Result result = SaveTransfer::scheduleImport(path, SavedStateStore::dataDirectory());
    tell(result.ok() ? stringWithFormat(NSLocalizedString("FormatImportNextStart"), {Value(fileNameOf(path))}) : SaveTransfer::message(result));
}

// ---- The player's settings file

std::string SettingViewController::savedLanguage() { return playerSettings().stringForKey(kLanguageKey, ""); }

bool SettingViewController::savedMuteWhenUnfocused() { return playerSettings().boolForKey(kMuteWhenUnfocusedKey, false); }

void SettingViewController::applySavedLanguage() {
    const std::string language = savedLanguage();
    for (const char* known : kLanguages)
        if (language == known && !language.empty()) LocalizedStrings::setPreferredLanguages({language});
}
