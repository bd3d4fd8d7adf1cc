#pragma once
// The desktop's stand-in for the phone's store: payments, their transactions and the observer
// that completes them, answering in the mode of StoreMode.h. Main thread only; every answer comes
// on a later pass of the main run loop, never inside the call that asked.
//
//   class StoreObserver : public PaymentTransactionObserver { ... };
//   PaymentQueue::defaultQueue().addTransactionObserver(observer);   // at launch
//   if (PaymentQueue::canMakePayments()) PaymentQueue::defaultQueue().addPayment(Payment::paymentWithProduct(p));
//   // later: observer->paymentQueueUpdatedTransactions(queue, {transaction}) with state purchased,
//   // failed or restored; the observer grants, then queue.finishTransaction(transaction).
//
// Transactions are durable: an approved payment is written to the data folder (PurchaseLedger)
// before the observer hears of it and stays there until finishTransaction(); a queue made on the
// same folder (the next launch) delivers it again to the first observer added. Every product
// bought with the folder is remembered, and restoreCompletedTransactions() delivers each again
// as a restored transaction.
//
// In `sheet` mode each payment is confirmed by the player in StoreSheetView, laid over the key
// window above everything else: Buy approves it, Cancel fails it with code 2.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/payments/Product.h"
#include "platform/payments/PurchaseLedger.h"
#include "platform/payments/StoreMode.h"

class PaymentQueue;
class StoreSheetView;

// The store's error: a code and a text for the player, in the player's language.
struct PaymentError {
    // The phone's store codes.
    static constexpr int kUnknown = 0;
    static constexpr int kClientInvalid = 1;
    static constexpr int kPaymentCancelled = 2;
    static constexpr int kPaymentInvalid = 3;
    static constexpr int kPaymentNotAllowed = 4;

    int code = kUnknown;
    std::string localizedDescription;
};

struct Payment {
    std::string productIdentifier;
    int quantity = 1;
    static Payment paymentWithProduct(const Product& product) { return Payment{product.productIdentifier, 1}; }
};

enum class PaymentTransactionState { purchasing = 0, purchased = 1, failed = 2, restored = 3 };

struct PaymentTransaction {
    std::string transactionIdentifier;
    PaymentTransactionState transactionState = PaymentTransactionState::purchasing;
    Payment payment;
    std::optional<PaymentError> error;  // failed transactions only
    double transactionDate = 0;         // wall clock, seconds since 1970
};

// The receiver of the queue's news (held weakly: an observer that has gone is skipped).
class PaymentTransactionObserver {
public:
    virtual ~PaymentTransactionObserver() = default;
    // Transactions that changed state, in order (purchasing, purchased, failed, restored).
    virtual void paymentQueueUpdatedTransactions(PaymentQueue& queue, const std::vector<PaymentTransaction>& transactions) = 0;
    // Transactions that finishTransaction() took off the queue.
    virtual void paymentQueueRemovedTransactions(PaymentQueue&, const std::vector<PaymentTransaction>&) {}
    virtual void paymentQueueRestoreCompletedTransactionsFailedWithError(PaymentQueue&, const PaymentError&) {}
    virtual void paymentQueueRestoreCompletedTransactionsFinished(PaymentQueue&) {}
};

class PaymentQueue : public Object {
public:
    // Seconds the store takes to answer a request, a payment or a restore.
    static constexpr double kAnswerDelay = 0.5;

    // A queue whose ledger lives in the data folder (loaded at once).
    explicit PaymentQueue(const std::string& dataDirectory, StoreMode mode = StoreMode::sheet);
    ~PaymentQueue() override;

    // The queue of the process: the one set, else one made on first use in the saved-state
    // store's data folder.
    static PaymentQueue& defaultQueue();
    static std::shared_ptr<PaymentQueue> sharedDefaultQueue();
    // nullptr drops it (the next defaultQueue() makes a fresh one).
    static void setDefaultQueue(std::shared_ptr<PaymentQueue> queue);
    // Whether the player may pay: false in `disabled` mode.
    static bool canMakePayments();

    StoreMode mode() const { return mode_; }
    void setMode(StoreMode mode) { mode_ = mode; }
    // The products on sale, in the player's language (read once, on first use).
    const ProductCatalog& catalog();

    // Observers are held weakly. A new observer is handed every transaction not finished yet
    // (those waiting from an earlier launch included) on a later pass.
    void addTransactionObserver(const std::shared_ptr<PaymentTransactionObserver>& observer);
    void removeTransactionObserver(const PaymentTransactionObserver* observer);
    void addPayment(const Payment& payment);
    // Takes a purchased, failed or restored transaction off the queue (and out of the ledger).
    void finishTransaction(const PaymentTransaction& transaction);
    void restoreCompletedTransactions();

    // The transactions not finished yet, oldest first.
    std::vector<PaymentTransaction> transactions() const;
    const PurchaseLedger& ledger() const { return ledger_; }
    // The confirmation sheet on screen, or nullptr.
    std::shared_ptr<StoreSheetView> visibleSheet() const { return sheet_; }

private:
    struct Entry {
        PaymentTransaction transaction;
        bool awaitingDelivery = false;
    };
    void update(const std::string& transactionIdentifier, PaymentTransactionState state, std::optional<PaymentError> error);
    void approve(const std::string& transactionIdentifier);
    void fail(const std::string& transactionIdentifier, int code);
    void scheduleDelivery();
    void deliver();
    void showNextSheet();
    Entry* find(const std::string& transactionIdentifier);
    template <class Fn>
    void forEachObserver(Fn fn);

    StoreMode mode_;
    PurchaseLedger ledger_;
    std::optional<ProductCatalog> catalog_;
    std::vector<std::weak_ptr<PaymentTransactionObserver>> observers_;
    std::vector<Entry> entries_;
    bool deliveryScheduled_ = false;
    std::vector<std::string> awaitingSheet_;  // payments the player still has to confirm
    std::shared_ptr<StoreSheetView> sheet_;
};

// The error texts of the store in the player's language.
PaymentError makePaymentError(int code);
