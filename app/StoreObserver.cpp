#include "app/StoreObserver.h"

#include "explore/NMCommon.h"
#include "model/EquipManager.h"
#include "model/EquipStaticData.h"
#include "model/GameEvents.h"

namespace {
Value errorValue(const PaymentError& error) {
    return Value::Dictionary{{"code", Value(int64_t(error.code))}, {"localizedDescription", Value(error.localizedDescription)}};
}
}  // namespace

std::shared_ptr<StoreObserver> StoreObserver::instance() {
    static const std::shared_ptr<StoreObserver> observer = std::make_shared<StoreObserver>();
    return observer;
}

void StoreObserver::savePurchasedProductWithId(const std::string& productId) {
    const EquipRow* entry = EquipStaticData::getInstance()->equipStaticInfoWithProductId(productId);
    if (!entry) return;
    // A purchase handed over again (the game was closed before finishing it) grants nothing more.
    if (EquipManager::haveEquipmentWithId(entry->id)) return;
    EquipManager::addEquipWithId(entry->id);
}

void StoreObserver::paymentQueueUpdatedTransactions(PaymentQueue& queue, const std::vector<PaymentTransaction>& transactions) {
    for (const PaymentTransaction& transaction : transactions) {
        switch (transaction.transactionState) {
            case PaymentTransactionState::purchased:
                savePurchasedProductWithId(transaction.payment.productIdentifier);
                NMCommon::sendDirectNotification(GameEvents::kStoreCompletedPurchase);
                queue.finishTransaction(transaction);
                break;
            case PaymentTransactionState::failed:
                NMCommon::sendDirectNotification(GameEvents::kStoreFailedPurchase, Value(),
                                                 transaction.error ? Value(Value::Dictionary{{"error", errorValue(*transaction.error)}}) : Value());
                queue.finishTransaction(transaction);
                break;
            case PaymentTransactionState::restored:
                savePurchasedProductWithId(transaction.payment.productIdentifier);
                queue.finishTransaction(transaction);
                break;
            case PaymentTransactionState::purchasing:
                break;
        }
    }
}

void StoreObserver::paymentQueueRestoreCompletedTransactionsFailedWithError(PaymentQueue&, const PaymentError& error) {
    NMCommon::sendNotification(GameEvents::kStoreRestoreFailed, Value(), Value::Dictionary{{"error", errorValue(error)}});
}

void StoreObserver::paymentQueueRestoreCompletedTransactionsFinished(PaymentQueue&) {
    NMCommon::sendDirectNotification(GameEvents::kStoreRestoreCompleted);
}
