#include "gamelink/GameLinkBanners.h"

#include <algorithm>

#include "gamelink/GameLinkCommon.h"
#include "platform/net/GameIndexAddress.h"
#include "platform/net/HttpClient.h"
#include "platform/net/ImageLoader.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/ui/AdvertisingKit.h"
#include "platform/ui/Button.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

namespace {

enum class IndexState { none, loading, arrived };

// Main thread only, like every view.
struct BannerState {
    IndexState state = IndexState::none;
    std::vector<Value> games;
    std::string base;
    std::vector<std::weak_ptr<View>> waiting;
    std::shared_ptr<char> owner = std::make_shared<char>(0);
};

BannerState& banners() {
    static BannerState s;
    return s;
}

std::string textOf(const Value& game, const char* key) { return game[key].isString() ? game[key].stringValue() : std::string(); }

std::shared_ptr<Label> addLine(View& banner, const Rect& frame, const std::string& text) {
    auto line = std::make_shared<Label>(frame);
    line->setFont("GD-DOTFONT-DQ-TTF", 7);
    line->setTextColor(GamePalette::goldLight);
    line->setAdjustsFontSizeToFitWidth(true);
    line->setMinimumFontSize(5);
    line->setNumberOfLines(2);
    line->setText(text);
    line->setName("promoName");
    banner.addSubview(line);
    return line;
}

void clearBanner(View& banner) {
    for (const auto& sub : std::vector<std::shared_ptr<View>>(banner.subviews())) sub->removeFromSuperview();
}

void showGame(View& banner, int tag) {
    BannerState& s = banners();
    clearBanner(banner);
    const Rect b = banner.bounds();
    if (s.games.empty()) {
        auto line = addLine(banner, b.insetBy(3, 2), NSLocalizedString("GameListBannerWaiting"));
        line->setTextAlignment(TextAlignment::center);
        banner.setUserInteractionEnabled(false);
        return;
    }
    const Value game = s.games[GameLinkBanners::gameIndexForTag(tag, s.games.size())];
    const double side = std::max(0.0, b.height() - 6);
    auto icon = std::make_shared<ImageView>(Rect(3, 3, side, side));
    icon->setName("promoIcon");
    banner.addSubview(icon);
    addLine(banner, Rect(side + 5, 2, std::max(0.0, b.width() - side - 8), b.height() - 4),
            GameLinkCommon::localizedStringWithDictionary(game["fullname"]));
    const std::string url = GameLinkCommon::iconAddressForAppId(s.base, textOf(game, "id"));
    if (!url.empty()) {
        std::weak_ptr<ImageView> weakIcon = icon;
        ImageLoader::shared().load(url, Screen::mainScreen().scale(), banner.lifetime(), [weakIcon](std::shared_ptr<Image> image) {
            if (auto i = weakIcon.lock()) i->setImage(std::move(image));
        });
    }
    // The whole banner is the button; the game's fields are checked again when it is touched.
    auto button = std::make_shared<Button>(b);
    button->setName("promoBtn" + std::to_string(tag));
    const std::string scheme = textOf(game, "scheme"), appId = textOf(game, "id");
    button->setAction([scheme, appId] { GameLinkCommon::processUserInteractionWithScheme(scheme, appId); });
    banner.addSubview(button);
    banner.setUserInteractionEnabled(true);
}

void indexArrived(std::vector<Value> games) {
    BannerState& s = banners();
    s.games = std::move(games);
    // A failed fetch is asked again by the next row of banners.
    s.state = s.games.empty() ? IndexState::none : IndexState::arrived;
    auto waiting = std::move(s.waiting);
    s.waiting.clear();
    for (const auto& weak : waiting)
        if (auto banner = weak.lock()) showGame(*banner, banner->tag());
}

void startLoad() {
    BannerState& s = banners();
    s.state = IndexState::loading;
    s.base = GameIndexAddress::current();
    HttpClient::shared().getJson(
        GameIndexAddress::indexAddress(s.base), s.owner,
        [](const Value& parsed) { indexArrived(GameLinkCommon::gamesFromIndex(parsed, GameLinkCommon::thisAppId())); },
        [](const HttpError&) { indexArrived({}); });
}

}  // namespace

size_t GameLinkBanners::gameIndexForTag(int tag, size_t count) {
    if (count == 0) return 0;
    return static_cast<size_t>(tag > 0 ? tag - 1 : 0) % count;
}

std::vector<Value> GameLinkBanners::games() { return banners().games; }

void GameLinkBanners::fillBanner(View& banner, int tag) {
    BannerState& s = banners();
    if (s.state == IndexState::arrived) {
        showGame(banner, tag);
        return;
    }
    showGame(banner, tag);  // the waiting line for now
    s.waiting.push_back(std::static_pointer_cast<View>(banner.shared_from_this()));
    if (s.state == IndexState::none) startLoad();
}

void GameLinkBanners::install() { AdvertisingKit::setBannerFiller([](View& banner, int tag) { fillBanner(banner, tag); }); }

void GameLinkBanners::uninstall() {
    AdvertisingKit::setBannerFiller({});
    BannerState& s = banners();
    s.owner = std::make_shared<char>(0);  // a fetch in flight delivers nothing
    s.state = IndexState::none;
    s.games.clear();
    s.waiting.clear();
}
