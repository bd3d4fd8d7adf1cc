#pragma once
// The progress indicator over the window: one spinner with an optional one-line text over a
// dimmed background, faded in and out. Shown over the key window (or a given view); when its
// fade-out has ended it leaves its parent, so the next showing chooses its parent anew.
//
//   HUDManager::getInstance()->showHUDOnWindowWithText("Loading...");
//   ...
//   HUDManager::getInstance()->hideHUD();
#include <memory>
#include <string>

#include "platform/core/RunLoop.h"
#include "platform/core/Singleton.h"

class ProgressIndicator;
class View;

class HUDManager : public Object, public Singleton<HUDManager> {
public:
    ~HUDManager() override;

    // Makes the indicator, sized to the key window (the screen when there is none), dimmed.
    void initFile();

    void showHUDOnWindowWithText(const std::string& text);
    // Sets the indicator's tag first; the tag stays until the next call of this one.
    void showHUDOnWindowWithText(const std::string& text, int tag);
    // Sets the dimming (it stays for later showings), then shows without text.
    void showHUDOnWindowWithDim(bool dim);
    void showHUDOnWindow();
    void showHUDAddedTo(View& view, const std::string& text, bool dim);
    void hideHUD();
    // Hides only when the indicator carries this tag.
    void hideHUDWithTag(int tag);
    // The indicator is on screen (it has a parent).
    bool isShowing() const;
    // The indicator's fade-out has ended: it leaves its parent.
    void hudWasHidden(ProgressIndicator& hud);

    const std::shared_ptr<ProgressIndicator>& HUD() const { return hud_; }

private:
    friend class Singleton<HUDManager>;
    HUDManager() = default;
    void showWithText(const std::string& text);
    std::shared_ptr<ProgressIndicator> hud_;
};
