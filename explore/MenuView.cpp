#include "explore/MenuView.h"

#include <cstdio>
#include <vector>

#include "explore/BalloonView.h"
#include "explore/NMCommon.h"
#include "model/DungeonManager.h"
#include "model/GameEvents.h"
#include "model/MonsterManager.h"
#include "model/SavedStateKeys.h"
#include "overlays/CollectionViewManager.h"
#include "overlays/HarborListViewManager.h"
#include "overlays/MangaViewController.h"
#include "overlays/MangaViewManager.h"
#include "overlays/NMAlertViewManager.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/Image.h"
#include "shop/EquipListViewManager.h"

namespace {

constexpr unsigned kShareDungeon = 2;     // sharing and the settings open with dungeon 2
constexpr unsigned kRankingDungeon = 3;   // the rankings with dungeon 3 (and a signed-in player)
constexpr unsigned kInfoDungeon = 4;      // the game list and the chat with dungeon 4
constexpr unsigned kFirstEndingDungeon = 6;
constexpr unsigned kSecondEndingDungeon = 10;
constexpr unsigned kCompleteDungeon = 7;  // a full collection counts once dungeon 7 is open

bool stored(const char* key) { return SavedStateStore::standardUserDefaults().boolForKey(key); }

std::string frameName(const std::string& pattern, unsigned frame) {
    char buf[96];
    std::snprintf(buf, sizeof buf, pattern.c_str(), frame);
    return buf;
}

template <class T>
void take(View& root, std::shared_ptr<T>& outlet, const char* name) {
    outlet = LayoutLoader::outlet<T>(root, name);
}

}  // namespace

MenuView::MenuView(const Rect& frame) : View(frame) {}

MenuView::~MenuView() { NMCommon::removeObserver(static_cast<Object*>(this)); }

void MenuView::awakeFromLayout() {
    take(*this, menuBtn1_, "menuBtn1");
    take(*this, menuBtn2_, "menuBtn2");
    take(*this, menuBtn3_, "menuBtn3");
    take(*this, balloonView_, "balloonView");
    take(*this, blandnewIcon_, "blandnewIcon");
    take(*this, rankingBtn_, "rankingBtn");
    take(*this, shareBtn_, "shareBtn");
    take(*this, infoBtn_, "infoBtn");
    take(*this, settingBtn_, "settingBtn");
    take(*this, chatBtn_, "chatBtn");
    menuBtn1_->setAction([this] { pressMenu1(); });
    menuBtn2_->setAction([this] { pressMenu2(); });
    menuBtn3_->setAction([this] { pressMenu3(); });
    blandnewIcon_->setUserInteractionEnabled(false);
    balloonView_->setUserInteractionEnabled(false);
    balloonView_->msgLabel()->setName("balloonMsgLabel");

    if (observing_) return;
    observing_ = true;
    auto observe = [this](const char* name, void (MenuView::*handler)(const Notification&)) { NMCommon::observe(this, handler, name); };
    observe(GameEvents::kShopUnlocked, &MenuView::shopUnlocked);
    observe(GameEvents::kMapUnlocked, &MenuView::mapUnlocked);
    observe(GameEvents::kCollectionUnlocked, &MenuView::collectionUnlocked);
    observe(GameEvents::kNewMap, &MenuView::newMapAdded);
    observe(GameEvents::kNewMonster, &MenuView::newMonsterAdded);
    observe(GameEvents::kGKStatusUpdated, &MenuView::gamecenterStatusUpdated);
}

std::shared_ptr<View> MenuView::hitTest(Point p) {
    auto hit = View::hitTest(p);
    return hit.get() == this ? nullptr : hit;
}

void MenuView::didMoveToWindow() {
    if (window()) drawRect();
}

// ---- Visibility

void MenuView::drawRect() {
    if (!menuBtn1_) return;  // not built from a layout
    balloonView_->setHidden(true);
    blandnewIcon_->setHidden(true);
    menuBtn1_->setHidden(!stored(SavedStateKeys::shopUnlocked));
    menuBtn2_->setHidden(!stored(SavedStateKeys::mapUnlocked));
    menuBtn3_->setHidden(!stored(SavedStateKeys::collectionUnlocked));
    updateShareBtn();
    updateRankingBtn();
    updateInfoBtn();
    updateSettingBtn();
}

void MenuView::updateShareBtn() { shareBtn_->setHidden(!DungeonManager::isUnlockedWithDungeonId(kShareDungeon)); }

void MenuView::updateRankingBtn() {
    rankingBtn_->setHidden(!(DungeonManager::isUnlockedWithDungeonId(kRankingDungeon) && stored(SavedStateKeys::gkLoginSucceeded)));
}

void MenuView::updateInfoBtn() {
    const bool open = DungeonManager::isUnlockedWithDungeonId(kInfoDungeon);
    infoBtn_->setHidden(!open);
    chatBtn_->setHidden(!open);
}

void MenuView::updateSettingBtn() { settingBtn_->setHidden(!DungeonManager::isUnlockedWithDungeonId(kShareDungeon)); }

// ---- The three menu buttons

void MenuView::pressMenu1() {
    SoundEngine::sharedEngine().stopBackgroundMusic();
    SoundEngine::sharedEngine().playEffect("menu_tap.mp3");
    if (balloonView_->tag() == BalloonView::kTagShop) balloonView_->hide();
    EquipListViewManager::getInstance()->showEquipView();
}

void MenuView::pressMenu2() {
    SoundEngine::sharedEngine().stopBackgroundMusic();
    SoundEngine::sharedEngine().playEffect("menu_tap.mp3");
    if (balloonView_->tag() == BalloonView::kTagMap) balloonView_->hide();
    HarborListViewManager::getInstance()->showHarborView();
}

void MenuView::pressMenu3() {
    SoundEngine::sharedEngine().stopBackgroundMusic();
    SoundEngine::sharedEngine().playEffect("menu_tap.mp3");
    blandnewIcon_->setHidden(true);
    CollectionViewManager::getInstance()->showCollectionView();
}

// ---- Events

void MenuView::announce(const std::string& textKey, const std::string& framePattern, int tag) {
    balloonView_->updateMsg(NSLocalizedString(textKey));
    std::vector<std::shared_ptr<Image>> frames{Image::named(frameName(framePattern, 1)), Image::named(frameName(framePattern, 2))};
    balloonView_->updateBalloonImage(frames.back());
    ImageView& picture = *balloonView_->balloonImgView();
    picture.setAnimationImages(std::move(frames));
    picture.setAnimationDuration(2 * kBalloonFrameTime);
    picture.setAnimationRepeatCount(0);
    picture.startAnimating();
    balloonView_->setTag(tag);
    balloonView_->show();
}

void MenuView::shopUnlocked(const Notification&) {
    menuBtn1_->setHidden(false);
    NMAlertViewManager::getInstance()->showAlertWithMessage(NSLocalizedString("FirstKanoke"), "talk4@2x.png", false, 0);
    announce("UnlockedShop", "quest-fukidashi_shop%u@2x.png", BalloonView::kTagShop);
}

void MenuView::mapUnlocked(const Notification&) {
    menuBtn2_->setHidden(false);
    updateShareBtn();
}

void MenuView::collectionUnlocked(const Notification&) { menuBtn3_->setHidden(false); }

void MenuView::newMapAdded(const Notification& n) {
    SoundEngine::sharedEngine().playEffect("levelup.mp3");
    updateRankingBtn();
    updateInfoBtn();
    updateSettingBtn();
    if (!n.object.isNumber()) return;
    const unsigned dungeonId = static_cast<unsigned>(n.object.unsignedValue());
    if (dungeonId < kSecondEndingDungeon) {
        announce("UnlockedNewMap", "quest-fukidashi_map%u@2x.png", BalloonView::kTagMap);
        if (dungeonId == kFirstEndingDungeon) {
            MangaViewManager::getInstance()->showMangaWithMode(MangaViewController::ending1, true);
            return;
        }
    }
    if (dungeonId == kSecondEndingDungeon) MangaViewManager::getInstance()->showMangaWithMode(MangaViewController::ending2, true);
    else MangaViewManager::getInstance()->showClearMangaWithDungeonId(dungeonId);
}

void MenuView::newMonsterAdded(const Notification&) {
    blandnewIcon_->setHidden(false);
    if (DungeonManager::isUnlockedWithDungeonId(kCompleteDungeon) &&
        MonsterManager::getInstance()->numHuntedMonsters() >= MonsterManager::numAllMonsters()) {
        SoundEngine::sharedEngine().playEffect("levelup.mp3");
        MangaViewManager::getInstance()->showMangaWithMode(MangaViewController::complete, true);
    }
}

void MenuView::gamecenterStatusUpdated(const Notification&) { updateRankingBtn(); }
