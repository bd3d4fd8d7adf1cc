#pragma once
// The game's receiver of the store's transactions, for the whole life of the application
// (registered at launch). A purchased or restored product grants the equipment whose
// "product_id" it names; the purchase panel hears of completed and failed payments at once
// (direct events) and of a failed restore on the next pass. Each transaction is finished only
// after its grant is on the disk, so the store hands an unfinished one over again at the next
// launch, and a grant already made is not made twice.
#include <memory>
#include <string>

#include "platform/payments/PaymentQueue.h"

class StoreObserver : public PaymentTransactionObserver {
public:
    static std::shared_ptr<StoreObserver> instance();

    void paymentQueueUpdatedTransactions(PaymentQueue& queue, const std::vector<PaymentTransaction>& transactions) override;
    void paymentQueueRestoreCompletedTransactionsFailedWithError(PaymentQueue& queue, const PaymentError& error) override;
    void paymentQueueRestoreCompletedTransactionsFinished(PaymentQueue& queue) override;

    // Grants the equipment of that product (nothing for an unknown product).
    static void savePurchasedProductWithId(const std::string& productId);
};
