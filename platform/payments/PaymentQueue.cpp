#include "platform/payments/PaymentQueue.h"

#include <algorithm>
#include <cstdio>

#include "platform/payments/StoreSheetView.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/store/DurableFile.h"
#include "platform/store/SavedStateStore.h"

namespace {
std::shared_ptr<PaymentQueue>& defaultSlot() {
    static std::shared_ptr<PaymentQueue> queue;
    return queue;
}
}  // namespace

PaymentError makePaymentError(int code) {
    const char* key = code == PaymentError::kPaymentCancelled     ? "StoreErrorCancelled"
                      : code == PaymentError::kPaymentNotAllowed  ? "StoreErrorNotAllowed"
                      : code == PaymentError::kPaymentInvalid     ? "StoreErrorInvalid"
                                                                  : "StoreErrorFailed";
    return PaymentError{code, NSLocalizedString(key)};
}

PaymentQueue::PaymentQueue(const std::string& dataDirectory, StoreMode mode) : mode_(mode), ledger_(dataDirectory) {
    if (ledger_.foundDamagedFile())
        std::fprintf(stderr, "Royal Expedition: the store's file could not be read; kept aside as %s\n", ledger_.damagedFilePath().c_str());
    // Approved payments the game never finished wait for the first observer.
    for (const auto& e : ledger_.pending()) {
        PaymentTransaction t;
        t.transactionIdentifier = e.transactionIdentifier;
        t.transactionState = PaymentTransactionState::purchased;
        t.payment.productIdentifier = e.productIdentifier;
        t.transactionDate = e.date;
        entries_.push_back(Entry{t, false});
    }
}

PaymentQueue::~PaymentQueue() {
    if (!sheet_) return;
    sheet_->onButton = nullptr;
    sheet_->removeFromSuperview();
}

PaymentQueue& PaymentQueue::defaultQueue() { return *sharedDefaultQueue(); }

std::shared_ptr<PaymentQueue> PaymentQueue::sharedDefaultQueue() {
    auto& slot = defaultSlot();
    if (!slot) slot = std::make_shared<PaymentQueue>(DurableFile::folderOf(SavedStateStore::standardUserDefaults().filePath()));
    return slot;
}

void PaymentQueue::setDefaultQueue(std::shared_ptr<PaymentQueue> queue) { defaultSlot() = std::move(queue); }

bool PaymentQueue::canMakePayments() { return defaultQueue().mode() != StoreMode::disabled; }

const ProductCatalog& PaymentQueue::catalog() {
    if (!catalog_) catalog_ = ProductCatalog::forCurrentLanguage();
    return *catalog_;
}

template <class Fn>
void PaymentQueue::forEachObserver(Fn fn) {
    // Copied first: an observer may add or remove observers while it is told.
    auto observers = observers_;
    for (auto& weak : observers)
        if (auto observer = weak.lock()) fn(*observer);
}

void PaymentQueue::addTransactionObserver(const std::shared_ptr<PaymentTransactionObserver>& observer) {
    if (!observer) return;
    for (auto& weak : observers_)
        if (weak.lock() == observer) return;
    observers_.push_back(observer);
    // Whatever is still open is handed to the newcomer; what already waits for delivery goes
    // to everyone with that delivery.
    std::weak_ptr<PaymentTransactionObserver> weak = observer;
    performBlock(
        [this, weak] {
            std::vector<PaymentTransaction> open;
            for (const auto& e : entries_)
                if (!e.awaitingDelivery) open.push_back(e.transaction);
            auto target = weak.lock();
            if (target && !open.empty()) target->paymentQueueUpdatedTransactions(*this, open);
        },
        0);
}

void PaymentQueue::removeTransactionObserver(const PaymentTransactionObserver* observer) {
    observers_.erase(std::remove_if(observers_.begin(), observers_.end(),
                                    [&](const std::weak_ptr<PaymentTransactionObserver>& w) {
                                        auto o = w.lock();
                                        return !o || o.get() == observer;
                                    }),
                     observers_.end());
}

PaymentQueue::Entry* PaymentQueue::find(const std::string& transactionIdentifier) {
    for (auto& e : entries_)
        if (e.transaction.transactionIdentifier == transactionIdentifier) return &e;
    return nullptr;
}

void PaymentQueue::scheduleDelivery() {
    if (deliveryScheduled_) return;
    deliveryScheduled_ = true;
    performBlock([this] { deliver(); }, 0);
}

void PaymentQueue::deliver() {
    deliveryScheduled_ = false;
    bool anyone = false;
    for (auto& weak : observers_) anyone = anyone || !weak.expired();
    // Without an observer the news waits; the first observer added gets it.
    if (!anyone) {
        for (auto& e : entries_) e.awaitingDelivery = false;
        return;
    }
    std::vector<PaymentTransaction> changed;
    for (auto& e : entries_)
        if (e.awaitingDelivery) {
            e.awaitingDelivery = false;
            changed.push_back(e.transaction);
        }
    if (!changed.empty()) forEachObserver([&](PaymentTransactionObserver& o) { o.paymentQueueUpdatedTransactions(*this, changed); });
}

void PaymentQueue::update(const std::string& transactionIdentifier, PaymentTransactionState state, std::optional<PaymentError> error) {
    Entry* e = find(transactionIdentifier);
    if (!e) return;
    e->transaction.transactionState = state;
    e->transaction.error = std::move(error);
    e->transaction.transactionDate = RunLoop::main().wallTime();
    e->awaitingDelivery = true;
    scheduleDelivery();
}

void PaymentQueue::approve(const std::string& transactionIdentifier) {
    Entry* e = find(transactionIdentifier);
    if (!e || e->transaction.transactionState != PaymentTransactionState::purchasing) return;
    // On disk before the game hears of it: a kill from here on delivers it again next launch.
    if (!ledger_.addApproved({transactionIdentifier, e->transaction.payment.productIdentifier, RunLoop::main().wallTime()}))
        std::fprintf(stderr, "Royal Expedition: the store could not write its file: %s\n", ledger_.lastError().c_str());
    update(transactionIdentifier, PaymentTransactionState::purchased, std::nullopt);
}

void PaymentQueue::fail(const std::string& transactionIdentifier, int code) {
    Entry* e = find(transactionIdentifier);
    if (!e || e->transaction.transactionState != PaymentTransactionState::purchasing) return;
    update(transactionIdentifier, PaymentTransactionState::failed, makePaymentError(code));
}

void PaymentQueue::addPayment(const Payment& payment) {
    PaymentTransaction t;
    t.transactionIdentifier = ledger_.makeTransactionIdentifier();
    t.payment = payment;
    t.transactionDate = RunLoop::main().wallTime();
    entries_.push_back(Entry{t, true});
    scheduleDelivery();
    const std::string id = t.transactionIdentifier;
    const bool known = catalog().productWithIdentifier(payment.productIdentifier).has_value();
    switch (mode_) {
        case StoreMode::silent:
            return;
        case StoreMode::sheet:
            if (known) {
                awaitingSheet_.push_back(id);
                performBlock([this] { showNextSheet(); }, 0);
                return;
            }
            break;
        default:
            break;
    }
    int code = -1;  // -1: approved
    if (mode_ == StoreMode::disabled) code = PaymentError::kPaymentNotAllowed;
    else if (!known || mode_ == StoreMode::invalid || mode_ == StoreMode::empty) code = PaymentError::kPaymentInvalid;
    else if (mode_ == StoreMode::fail) code = PaymentError::kUnknown;
    else if (mode_ == StoreMode::cancel) code = PaymentError::kPaymentCancelled;
    performBlock([this, id, code] { code < 0 ? approve(id) : fail(id, code); }, kAnswerDelay);
}

void PaymentQueue::showNextSheet() {
    if (sheet_ || awaitingSheet_.empty()) return;
    const std::string id = awaitingSheet_.front();
    awaitingSheet_.erase(awaitingSheet_.begin());
    Entry* e = find(id);
    if (!e) return showNextSheet();
    auto product = catalog().productWithIdentifier(e->transaction.payment.productIdentifier);
    sheet_ = std::make_shared<StoreSheetView>(*product);
    sheet_->onButton = [this, id](int index) {
        sheet_.reset();
        if (index == StoreSheetView::kBuyButtonIndex) performBlock([this, id] { approve(id); }, kAnswerDelay);
        else fail(id, PaymentError::kPaymentCancelled);
        performBlock([this] { showNextSheet(); }, 0);
    };
    // Without a window there is no one to ask: the payment is cancelled.
    if (!sheet_->show()) {
        auto answer = std::move(sheet_->onButton);  // it lets go of the sheet
        answer(StoreSheetView::kCancelButtonIndex);
    }
}

void PaymentQueue::finishTransaction(const PaymentTransaction& transaction) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return e.transaction.transactionIdentifier == transaction.transactionIdentifier; });
    if (it == entries_.end() || it->transaction.transactionState == PaymentTransactionState::purchasing) return;
    PaymentTransaction removed = it->transaction;
    entries_.erase(it);
    if (!ledger_.removePending(removed.transactionIdentifier))
        std::fprintf(stderr, "Royal Expedition: the store could not write its file: %s\n", ledger_.lastError().c_str());
    performBlock([this, removed] { forEachObserver([&](PaymentTransactionObserver& o) { o.paymentQueueRemovedTransactions(*this, {removed}); }); }, 0);
}

void PaymentQueue::restoreCompletedTransactions() {
    if (mode_ == StoreMode::silent) return;
    performBlock(
        [this] {
            if (mode_ == StoreMode::fail || mode_ == StoreMode::disabled || mode_ == StoreMode::cancel) {
                const PaymentError error = makePaymentError(mode_ == StoreMode::cancel ? PaymentError::kPaymentCancelled : PaymentError::kUnknown);
                forEachObserver([&](PaymentTransactionObserver& o) { o.paymentQueueRestoreCompletedTransactionsFailedWithError(*this, error); });
                return;
            }
            for (const auto& product : ledger_.purchasedProducts()) {
                PaymentTransaction t;
                t.transactionIdentifier = ledger_.makeTransactionIdentifier();
                t.transactionState = PaymentTransactionState::restored;
                t.payment.productIdentifier = product;
                t.transactionDate = RunLoop::main().wallTime();
                entries_.push_back(Entry{t, true});
            }
            // The restored transactions first, then word that the restore is through.
            deliver();
            forEachObserver([&](PaymentTransactionObserver& o) { o.paymentQueueRestoreCompletedTransactionsFinished(*this); });
        },
        kAnswerDelay);
}

std::vector<PaymentTransaction> PaymentQueue::transactions() const {
    std::vector<PaymentTransaction> list;
    for (const auto& e : entries_) list.push_back(e.transaction);
    return list;
}
