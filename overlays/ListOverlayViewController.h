#pragma once
// The three list screens of the menu (the shop, the map list and the monster collection) slide
// in from below the screen to the list position and start their own music; closing stops it,
// taps, slides back out with touches off and brings the dungeon's music back.
//
//   class HarborListViewController : public ListOverlayViewController {
//   public:
//       HarborListViewController() : ListOverlayViewController("HarborListViewController", "bgm_11.aif") {}
//   };
#include <string>

#include "overlays/OverlayViewController.h"

class ListOverlayViewController : public OverlayViewController {
public:
    ListOverlayViewController(std::string layoutName, std::string music);

    // Centre first at (160, 695), then the slide-in to the list position; its end starts the
    // screen's music.
    void appearWithAnimationAllowInteraction(bool allowInteraction) override;
    // Music stopped, "tap.mp3", the slide-out to the list position with touches off; its end
    // plays the current dungeon's music and closes.
    void pressClose() override;

    // Where the list settles: (160, 303) on the 568-point screen, (160, 215) on any other.
    static Point listPosition();
    const std::string& music() const { return music_; }

private:
    std::string music_;
};
