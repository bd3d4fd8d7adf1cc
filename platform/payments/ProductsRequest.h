#pragma once
// Asks the store for products by identifier (the phone's product request). The answer reaches
// the delegate on a later pass of the main run loop, PaymentQueue::kAnswerDelay seconds after
// start(), in the default queue's mode: the products found (with their prices in the player's
// currency) and the identifiers the store does not know. In `silent` mode no answer ever comes.
// Keep the request while it runs: a request that goes away, or is cancelled, answers nothing.
//
//   request_ = std::make_shared<ProductsRequest>(std::set<std::string>{productId});
//   request_->setDelegate(self);   // a std::weak_ptr<ProductsRequestDelegate>
//   request_->start();
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/payments/Product.h"

class ProductsRequest;

struct ProductsResponse {
    std::vector<Product> products;
    std::vector<std::string> invalidProductIdentifiers;
};

class ProductsRequestDelegate {
public:
    virtual ~ProductsRequestDelegate() = default;
    virtual void productsRequestDidReceiveResponse(ProductsRequest& request, const ProductsResponse& response) = 0;
};

class ProductsRequest : public Object, public std::enable_shared_from_this<ProductsRequest> {
public:
    explicit ProductsRequest(std::set<std::string> productIdentifiers);
    ~ProductsRequest() override;

    const std::set<std::string>& productIdentifiers() const { return identifiers_; }
    void setDelegate(std::weak_ptr<ProductsRequestDelegate> delegate) { delegate_ = std::move(delegate); }
    void start();
    void cancel();
    bool isRunning() const { return timer_.isValid(); }

private:
    std::set<std::string> identifiers_;
    std::weak_ptr<ProductsRequestDelegate> delegate_;
    TimerHandle timer_;
};
