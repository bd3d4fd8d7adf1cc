#pragma once
// The purchase panel over the shop, for one piece of equipment. A gold item is paid from the
// gold at once; a store item is asked of the store first (its price shown in the player's
// currency, the request given up after 20 s) and paid through the store, whose observer
// (StoreObserver) grants it and tells this panel through the store events. Every alert this
// panel shows closes it when dismissed; a payment the player cancels leaves it open.
// Layout "BuyViewController": okBtn (pressOK), cancelBtn (pressCancel).
#include <memory>
#include <optional>

#include "overlays/OverlayViewController.h"
#include "platform/core/RunLoop.h"
#include "platform/events/Notification.h"
#include "model/StaticRows.h"
#include "platform/foundation/Value.h"
#include "platform/payments/ProductsRequest.h"
#include "platform/services/AlertPresenter.h"

class ImageView;
class Label;

class BuyViewController : public OverlayViewController, public AlertViewDelegate {
public:
    static constexpr double kRequestTimeOut = 20.0;
    static constexpr int kCancelledCode = 2;  // the player cancelled the store's payment

    BuyViewController();
    ~BuyViewController() override;

    const EquipRow& buyingItemInfo() const { return buyingItemInfo_; }
    void setBuyingItemInfo(EquipRow info) { buyingItemInfo_ = std::move(info); }
    bool isStoreItem() const { return buyingItemInfo_.gold < 1; }

    void appearWithAnimationAllowInteraction(bool allowInteraction) override;
    void productsRequestDidReceiveResponse(ProductsRequest& request, const ProductsResponse& response);
    void pressOK();
    void pressCancel();
    void pressClose() override;
    // The success alert: the title, one of three bodies, "levelup.mp3".
    void buyDidEnd();
    void polling();
    void startTimer();
    void stopTimer();

    // Store events.
    void onCompletedPurchase(const Notification& n);
    void onFailedPurchase(const Notification& n);
    void onCompletedStoreRestore(const Notification& n);
    void onFailedStoreRestore(const Notification& n);

    void alertViewClickedButtonAtIndex(const AlertView& alertView, int buttonIndex) override;

    const std::shared_ptr<ProductsRequest>& request() const { return request_; }
    const std::optional<Product>& buyingProduct() const { return buyingProduct_; }
    bool isTimerRunning() const { return pollingTimer_.isValid(); }
    const std::shared_ptr<Label>& priceLabel() { return (void)view(), priceLabel_; }

protected:
    void bindOutlets() override;
    void viewDidLoad() override;

private:
    void showError(const std::string& title, const std::string& body);
    void dropRequest();

    // The request's answer reaches the panel through this (a weak delegate that dies with it).
    struct RequestReceiver : ProductsRequestDelegate {
        BuyViewController* owner = nullptr;
        void productsRequestDidReceiveResponse(ProductsRequest& r, const ProductsResponse& response) override {
            if (owner) owner->productsRequestDidReceiveResponse(r, response);
        }
    };

    std::shared_ptr<ProductsRequest> request_;
    EquipRow buyingItemInfo_;
    std::shared_ptr<ImageView> itemImgView_;
    std::shared_ptr<Label> nameLabel_;
    std::shared_ptr<Label> priceLabel_;
    std::shared_ptr<Label> detailLabel_;
    std::optional<Product> buyingProduct_;
    TimerHandle pollingTimer_;
    std::shared_ptr<RequestReceiver> receiver_;
};
