#pragma once
// The advertising banners of the title and the tall screen's top panel, made the game's own
// cross-promotion: banner k shows game k of the list (icon and name in the player's language,
// this game left out, the list repeated when it is shorter than the row) and a touch opens that
// game as its row in the list would. The index is fetched once, when the first banner is made;
// banners made meanwhile are filled when it arrives. Until then, and when it cannot be had, a
// banner reads "GameListBannerWaiting" and does nothing; the next banner row asks again.
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class View;

class GameLinkBanners {
public:
    GameLinkBanners() = delete;

    // Makes the advertising kit's banners these (at launch); uninstall() gives the kit's own back
    // and forgets the games fetched.
    static void install();
    static void uninstall();

    // Fills one banner (the kit calls this for every banner it makes). Main thread.
    static void fillBanner(View& banner, int tag);
    // The games the banners show, once the index has arrived (empty before, or when it failed).
    static std::vector<Value> games();
    // The game a banner with this tag shows among `count` games (from 0).
    static size_t gameIndexForTag(int tag, size_t count);
};
