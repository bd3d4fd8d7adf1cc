#include "shop/BuyViewController.h"

#include <cstdio>

#include "explore/NMCommon.h"
#include "model/EquipManager.h"
#include "model/GameEvents.h"
#include "model/GoldManager.h"
#include "overlays/HUDManager.h"
#include "platform/payments/PaymentQueue.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/services/Analytics.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace {
void recordPage(const std::string& name) {
    if (auto analytics = Analytics::shared()) analytics->trackPageView("/" + name);
}
}  // namespace

BuyViewController::BuyViewController() : OverlayViewController("BuyViewController"), receiver_(std::make_shared<RequestReceiver>()) {
    receiver_->owner = this;
}

BuyViewController::~BuyViewController() {
    NMCommon::removeObserver(static_cast<Object*>(this));
    receiver_->owner = nullptr;
    pollingTimer_.invalidate();
    if (request_) request_->cancel();
}

void BuyViewController::bindOutlets() {
    OverlayViewController::bindOutlets();
    bind(itemImgView_, "itemImgView");
    bind(nameLabel_, "nameLabel");
    bind(priceLabel_, "priceLabel");
    bind(detailLabel_, "detailLabel");
    bindAction("pressOK", [this] { pressOK(); });
    bindAction("pressCancel", [this] { pressCancel(); });
    // Enter buys, Esc cancels.
    if (auto ok = viewNamed<Button>("okBtn")) ok->setPressesOnEnter(true);
    if (auto cancel = viewNamed<Button>("cancelBtn")) cancel->setClosesOnEscape(true);
}

void BuyViewController::viewDidLoad() {
    auto observe = [this](const char* name, void (BuyViewController::*handler)(const Notification&)) {
        NMCommon::observe(this, handler, name);
    };
    observe(GameEvents::kStoreCompletedPurchase, &BuyViewController::onCompletedPurchase);
    observe(GameEvents::kStoreFailedPurchase, &BuyViewController::onFailedPurchase);
    observe(GameEvents::kStoreRestoreCompleted, &BuyViewController::onCompletedStoreRestore);
    observe(GameEvents::kStoreRestoreFailed, &BuyViewController::onFailedStoreRestore);
    nameLabel_->setAdjustsFontSizeToFitWidth(true);
    priceLabel_->setAdjustsFontSizeToFitWidth(true);
}

// ---- Opening

void BuyViewController::appearWithAnimationAllowInteraction(bool allowInteraction) {
    if (buyingItemInfo_.id == 0) return;  // nothing chosen
    if (!allowInteraction) NMCommon::disableUserInteraction();
    const unsigned equipId = buyingItemInfo_.id;
    if (EquipManager::haveEquipmentWithId(equipId)) {
        NMCommon::enableUserInteraction();
        return;
    }
    char page[48];
    std::snprintf(page, sizeof page, "EQUIP_DETAIL_%u", equipId);
    recordPage(page);
    view();
    nameLabel_->setText(buyingItemInfo_.name);
    const std::string picture = NMCommon::filenameOfEquipWithEquipId(equipId);
    if (Image::exists(picture)) itemImgView_->setImage(Image::named(picture));
    detailLabel_->setText(buyingItemInfo_.description);

    if (!isStoreItem()) {
        priceLabel_->setText(stringWithFormat("%d %@", {Value(buyingItemInfo_.gold), Value("G")}));
        OverlayViewController::appearWithAnimationAllowInteraction(allowInteraction);
        return;
    }
    priceLabel_->setText("");
    buyingProduct_.reset();
    const std::string productId = buyingItemInfo_.productId;
    if (!productId.empty() && PaymentQueue::canMakePayments()) {
        request_ = std::make_shared<ProductsRequest>(std::set<std::string>{productId});
        request_->setDelegate(receiver_);
        request_->start();
        startTimer();
        HUDManager::getInstance()->showHUDOnWindow();
        OverlayViewController::appearWithAnimationAllowInteraction(allowInteraction);
    } else {
        showError(NSLocalizedString("PurchaseErrorTitle"), NSLocalizedString("PurchaseErrorBody"));
        NMCommon::enableUserInteraction();
    }
}

void BuyViewController::productsRequestDidReceiveResponse(ProductsRequest&, const ProductsResponse& response) {
    HUDManager::getInstance()->hideHUD();
    stopTimer();
    dropRequest();
    if (!response.invalidProductIdentifiers.empty()) {
        showError(NSLocalizedString("PurchaseErrorTitle"), NSLocalizedString("PurchaseErrorInvalid"));
    } else if (!response.products.empty()) {
        buyingProduct_ = response.products.front();
        priceLabel()->setText(buyingProduct_->localizedPrice());
    } else {
        showError(NSLocalizedString("PurchaseErrorTitle"), NSLocalizedString("PurchaseErrorRequest"));
    }
}

// ---- The time-out

void BuyViewController::startTimer() {
    if (pollingTimer_.isValid()) return;
    std::weak_ptr<void> alive = lifetime();
    pollingTimer_ = RunLoop::main().scheduleTimer(kRequestTimeOut, false, [this, alive] {
        if (!alive.expired()) polling();
    });
}

void BuyViewController::stopTimer() {
    pollingTimer_.invalidate();
    pollingTimer_ = TimerHandle();
}

void BuyViewController::polling() {
    stopTimer();
    if (request_) request_->cancel();
    dropRequest();
    HUDManager::getInstance()->hideHUD();
    showError("ERROR", NSLocalizedString("AlertMsgTimeOut"));
}

void BuyViewController::dropRequest() {
    if (!request_) return;
    request_->setDelegate({});
    request_.reset();
}

// ---- The player

void BuyViewController::pressOK() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    if (!isStoreItem()) {
        GoldManager& gold = *GoldManager::getInstance();
        const uint32_t price = static_cast<uint32_t>(buyingItemInfo_.gold);
        // The shop has checked the gold; a price above it is never taken below zero.
        gold.setCurrentGold(gold.currentGold() >= price ? gold.currentGold() - price : 0);
        // The payment is on the disk before the item (addEquipWithId writes it), so a game
        // closed right after never keeps the item without having paid.
        gold.saveGold();
        EquipManager::addEquipWithId(buyingItemInfo_.id);
        buyDidEnd();
        return;
    }
    if (buyingProduct_ && PaymentQueue::canMakePayments()) {
        HUDManager::getInstance()->showHUDOnWindow();
        PaymentQueue::defaultQueue().addPayment(Payment::paymentWithProduct(*buyingProduct_));
    }
}

void BuyViewController::pressCancel() {
    SoundEngine::sharedEngine().playEffect("tap_fail.wav");
    pressClose();
}

void BuyViewController::pressClose() {
    stopTimer();
    dropRequest();
    OverlayViewController::pressClose();
}

void BuyViewController::buyDidEnd() {
    const std::string name = buyingItemInfo_.name;
    const std::string title = stringWithFormat(NSLocalizedString("FormatBuyTitle"), {Value(name)});
    recordPage("BUY_" + name);
    const double goldRate = buyingItemInfo_.goldRate;
    const double speedRate = buyingItemInfo_.speedRate;
    std::string body;
    if (goldRate > 1.0) body = stringWithFormat(NSLocalizedString("FormatBuyGoldItem"), {Value(goldRate)});
    else if (speedRate > 1.0) body = stringWithFormat(NSLocalizedString("FormatBuySpeedItem"), {Value(speedRate)});
    else body = NSLocalizedString("BuyEquip");
    showError(title, body);
    SoundEngine::sharedEngine().playEffect("levelup.mp3");
}

// ---- The store's answers

void BuyViewController::onCompletedPurchase(const Notification&) {
    HUDManager::getInstance()->hideHUD();
    buyDidEnd();
}

void BuyViewController::onFailedPurchase(const Notification& n) {
    HUDManager::getInstance()->hideHUD();
    const Value& error = n.userInfo["error"];
    if (error["code"].integerValue() == kCancelledCode) return;
    showError(NSLocalizedString("PurchaseErrorTitle"), error["localizedDescription"].stringValue());
}

void BuyViewController::onCompletedStoreRestore(const Notification&) {
    if (!EquipManager::haveEquipmentWithId(buyingItemInfo_.id)) return;
    HUDManager::getInstance()->hideHUD();
    showError(NSLocalizedString("PurchaseRestoreTitle"), NSLocalizedString("PurchaseRestoreBody"));
}

void BuyViewController::onFailedStoreRestore(const Notification&) { HUDManager::getInstance()->hideHUD(); }

// ---- Alerts: every one closes the panel

void BuyViewController::showError(const std::string& title, const std::string& body) { NMCommon::showAlertWithTitle(title, body, this, 0); }

void BuyViewController::alertViewClickedButtonAtIndex(const AlertView&, int) {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    pressClose();
}
