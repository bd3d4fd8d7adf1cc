#include "platform/payments/ProductsRequest.h"

#include "platform/payments/PaymentQueue.h"

ProductsRequest::ProductsRequest(std::set<std::string> productIdentifiers) : identifiers_(std::move(productIdentifiers)) {}

ProductsRequest::~ProductsRequest() { timer_.invalidate(); }

void ProductsRequest::start() {
    if (timer_.isValid()) return;
    PaymentQueue& queue = PaymentQueue::defaultQueue();
    if (queue.mode() == StoreMode::silent) return;
    // The answer is made when it is due, in the mode of that moment.
    timer_ = performBlock(
        [this] {
            timer_.invalidate();
            PaymentQueue& store = PaymentQueue::defaultQueue();
            ProductsResponse response;
            for (const auto& id : identifiers_) {
                auto product = store.catalog().productWithIdentifier(id);
                if (store.mode() == StoreMode::invalid || (!product && store.mode() != StoreMode::empty))
                    response.invalidProductIdentifiers.push_back(id);
                else if (product && store.mode() != StoreMode::empty)
                    response.products.push_back(*product);
            }
            if (store.mode() == StoreMode::silent) return;
            auto keep = weak_from_this().lock();  // a delegate that drops the request keeps it until the answer is out
            if (auto delegate = delegate_.lock()) delegate->productsRequestDidReceiveResponse(*this, response);
        },
        PaymentQueue::kAnswerDelay);
}

void ProductsRequest::cancel() {
    timer_.invalidate();
    delegate_.reset();
}
