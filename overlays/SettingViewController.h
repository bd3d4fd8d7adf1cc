#pragma once
// The settings (layout "SettingView"), two pages turned by the next and previous buttons.
//   page 1: the notification sound switch ("pushSoundOff" in the saved game, written and flushed
//           at once, confirmed by an alert; it counts from the next notification planned)
//   page 2: the player's own choices, kept in the data folder beside the window size and never
//           in the saved game: music and effect volumes, silence while the window is out of
//           focus, the language (the system's, English, Japanese, Simplified Chinese), and
//           restoring the purchases made in the store.
#include <cstdint>
#include <memory>
#include <string>

#include "overlays/OverlayViewController.h"

class Button;
class Label;
class RestoreWatcher;
class Slider;
class View;

class SettingViewController : public OverlayViewController {
public:
    // The language choices in the order the language button steps through them ("": the system's).
    static constexpr const char* kLanguages[] = {"", "en", "ja", "zh-Hans"};
    // The player's settings file keys.
    static constexpr const char* kLanguageKey = "language";
    static constexpr const char* kMuteWhenUnfocusedKey = "muteWhenUnfocused";

    SettingViewController();
    ~SettingViewController() override;

    void updatePushSoundBtn();
    void pressPushSound();
    void pressNext();
    void pressPrev();
    void pressClose() override;

    // Page 2.
    void pressMuteUnfocused();
    void pressLanguage();
    void pressRestore();
    void pressExport();
    void pressImport();
    // At most this many files are offered to import, the newest first.
    static constexpr size_t kImportChoices = 5;
    void musicVolumeChanged(double value);
    void effectVolumeChanged(double value);

    uint32_t currentPageIndex() const { return currentPageIndex_; }
    const std::shared_ptr<Button>& pushSoundBtn() { return (void)view(), pushSoundBtn_; }

    // The language chosen in the player's settings ("" for the system's), and its setting up at
    // start (nothing when the command line chose one).
    static std::string savedLanguage();
    static void applySavedLanguage();
    static bool savedMuteWhenUnfocused();

protected:
    void bindOutlets() override;
    void viewDidLoad() override;

private:
    void showPage(uint32_t page);
    void applyTexts();
    void updatePage2();
    void restoreEnded(bool ok, unsigned restored);
    void importChosen(const std::string& path);

    uint32_t currentPageIndex_ = 0;
    std::shared_ptr<Button> pushSoundBtn_;
    std::shared_ptr<Label> pushTitleLabel_;
    std::shared_ptr<View> page1View_, page2View_;
    std::shared_ptr<Slider> musicSlider_, effectSlider_;
    std::shared_ptr<Button> muteUnfocusedBtn_, languageBtn_, restoreBtn_;
    std::shared_ptr<Label> languageNote_;
    std::shared_ptr<RestoreWatcher> restoreWatcher_;
};
