#include "overlays/CollectionDetailViewController.h"

#include <cstdio>

#include "explore/NMCommon.h"
#include "model/MonsterManager.h"
#include "overlays/CollectionCellView.h"
#include "overlays/HUDManager.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/services/Analytics.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/PhotoAlbum.h"

namespace {
constexpr double kDetailShare = 0.5;
}

CollectionDetailViewController::CollectionDetailViewController() : OverlayViewController("CollectionDetailView") {}

void CollectionDetailViewController::bindOutlets() {
    OverlayViewController::bindOutlets();
    bind(itemImgView, "itemImgView");
    bind(idLabel, "idLabel");
    bind(nameLabel, "nameLabel");
    bind(detailLabel, "detailLabel");
    bind(numLabel, "numLabel");
    bindAction("pressSave", [this] { pressSave(); });
    bindAction("pressClose", [this] { pressClose(); });
}

void CollectionDetailViewController::showCollectionWithMonsterInfo(const MonsterRow& monster) {
    monsterId_ = monster.id;
    if (auto analytics = Analytics::shared()) analytics->trackPageView(stringWithFormat("/ZUKAN_DETAIL_%d", {Value(monsterId_)}));
    CollectionCellView::placeImage(*itemImgView, CollectionCellView::reducedMonsterImage(monsterId_, kDetailShare));
    nameLabel->setText(monster.name);
    idLabel->setText("No." + NMCommon::stringFromTimer(monsterId_));
    detailLabel->setText(monster.description);
    auto* monsters = MonsterManager::getInstance();
    numLabel->setText(stringWithFormat("x%u", {Value(monsters->numHuntedMonsterWithId(monsterId_))}));
    if (!monsters->viewedWithId(monsterId_)) monsters->updateMonsterInfoViewedWithId(monsterId_);
}

void CollectionDetailViewController::pressSave() {
    HUDManager::getInstance()->showHUDAddedTo(*view(), NSLocalizedString("SavingPicture"), true);
    lastSavedPath_.clear();
    const auto image = itemImgView->image();
    PhotoAlbum::Result result;
    if (image) result = PhotoAlbum::saveImage(*image, stringWithFormat("%u", {Value(monsterId_)}));
    if (result.saved) lastSavedPath_ = result.path;
    else if (!result.error.empty()) std::fprintf(stderr, "picture not saved: %s\n", result.error.c_str());
    // The phone answers the save on a later pass; so does the desktop.
    std::weak_ptr<void> alive = lifetime();
    const bool saved = result.saved;
    performBlock([this, alive, saved] {
        if (!alive.expired()) savingImageIsFinished(saved);
    }, 0);
}

void CollectionDetailViewController::savingImageIsFinished(bool saved) {
    HUDManager::getInstance()->hideHUD();
    NMCommon::showAlertWithTitle("", NSLocalizedString(saved ? "SavedPicture" : "SavePictureFailed"), nullptr, 0);
}

void CollectionDetailViewController::pressClose() {
    SoundEngine::sharedEngine().playEffect("tap_fail.wav");
    OverlayViewController::pressClose();
}
