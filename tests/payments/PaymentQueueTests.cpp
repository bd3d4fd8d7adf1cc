// The store stand-in on a real data folder and the manual clock: product requests, payments in
// every mode, the player's sheet, approved payments that survive a kill, restores, a damaged file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/TempFolder.h"
#include "platform/payments/PaymentQueue.h"
#include "platform/payments/ProductsRequest.h"
#include "platform/payments/StoreSheetView.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/ui/Label.h"
#include "ui/UiTestSupport.h"

namespace {

const std::string kCrown = "com.example.royalexpedition.goldcrown";
const std::string kBanner = "com.example.royalexpedition.royalbanner";

// Records what the queue tells it; finishes nothing unless asked.
struct Observer : PaymentTransactionObserver {
    std::vector<PaymentTransaction> updates;
    std::vector<std::string> log;  // "restoreFinished", "restoreFailed <code>"
    void paymentQueueUpdatedTransactions(PaymentQueue&, const std::vector<PaymentTransaction>& ts) override {
        updates.insert(updates.end(), ts.begin(), ts.end());
    }
    void paymentQueueRestoreCompletedTransactionsFailedWithError(PaymentQueue&, const PaymentError& e) override {
        log.push_back("restoreFailed " + std::to_string(e.code));
    }
    void paymentQueueRestoreCompletedTransactionsFinished(PaymentQueue&) override { log.push_back("restoreFinished"); }
    std::vector<PaymentTransaction> inState(PaymentTransactionState s) const {
        std::vector<PaymentTransaction> out;
        for (const auto& t : updates)
            if (t.transactionState == s) out.push_back(t);
        return out;
    }
};

struct Delegate : ProductsRequestDelegate {
    std::vector<ProductsResponse> responses;
    void productsRequestDidReceiveResponse(ProductsRequest&, const ProductsResponse& r) override { responses.push_back(r); }
};

class StoreTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        LocalizedStrings::setPreferredLanguages({"en"});
        open();
    }
    void TearDown() override {
        PaymentQueue::setDefaultQueue(nullptr);
        LocalizedStrings::setPreferredLanguages({});
        WindowTest::TearDown();
    }
    // A fresh queue on the same folder, as at the next launch.
    void open(StoreMode mode = StoreMode::sheet) {
        PaymentQueue::setDefaultQueue(nullptr);
        queue = std::make_shared<PaymentQueue>(folder.str(), mode);
        PaymentQueue::setDefaultQueue(queue);
        observer = std::make_shared<Observer>();
        queue->addTransactionObserver(observer);
    }
    ProductsResponse request(const std::set<std::string>& ids, double wait = PaymentQueue::kAnswerDelay) {
        auto delegate = std::make_shared<Delegate>();
        auto r = std::make_shared<ProductsRequest>(ids);
        r->setDelegate(delegate);
        r->start();
        pass();
        EXPECT_TRUE(delegate->responses.empty()) << "answered before the store had time";
        advance(wait);
        return delegate->responses.empty() ? ProductsResponse{{}, {"<no answer>"}} : delegate->responses[0];
    }
    // Pays for a product in the queue's mode and lets the store answer.
    PaymentTransaction pay(const std::string& id) {
        const size_t before = observer->updates.size();
        queue->addPayment(Payment{id, 1});
        EXPECT_EQ(observer->updates.size(), before) << "told inside addPayment";
        advance(PaymentQueue::kAnswerDelay);
        return observer->updates.back();
    }
    std::string ledgerPath() const { return folder.str() + "/" + PurchaseLedger::fileName; }

    TempFolder folder;
    std::shared_ptr<PaymentQueue> queue;
    std::shared_ptr<Observer> observer;
};

}  // namespace

TEST_F(StoreTest, ProductsComeLaterWithThePriceInThePlayersCurrency) {
    for (auto [lang, price] : {std::pair{"en", "$4.99"}, {"ja", "¥600"}, {"zh-Hans", "¥30.00"}}) {
        LocalizedStrings::setPreferredLanguages({lang});
        open();
        auto r = request({kBanner, "no.such.product"});
        ASSERT_EQ(r.products.size(), 1u) << lang;
        EXPECT_EQ(r.products[0].localizedPrice(), price);
        EXPECT_FALSE(r.products[0].localizedTitle.empty());
        EXPECT_EQ(r.invalidProductIdentifiers, std::vector<std::string>{"no.such.product"});
    }
    EXPECT_EQ((PriceLocale{"x", "EUR", "€", 2, true, ".", ","}.formatPrice(1234567.5)), "1.234.567,50 €");

    queue->setMode(StoreMode::invalid);
    EXPECT_EQ(request({kCrown}).invalidProductIdentifiers, std::vector<std::string>{kCrown});
    queue->setMode(StoreMode::empty);
    auto empty = request({kCrown});
    EXPECT_TRUE(empty.products.empty() && empty.invalidProductIdentifiers.empty());
    queue->setMode(StoreMode::silent);
    EXPECT_EQ(request({kCrown}, 60).invalidProductIdentifiers, std::vector<std::string>{"<no answer>"});

    // A cancelled request never answers.
    queue->setMode(StoreMode::sheet);
    auto delegate = std::make_shared<Delegate>();
    auto r = std::make_shared<ProductsRequest>(std::set<std::string>{kCrown});
    r->setDelegate(delegate);
    r->start();
    r->cancel();
    advance(5);
    EXPECT_TRUE(delegate->responses.empty());
}

TEST_F(StoreTest, EveryModeAnswersAPaymentOnALaterPass) {
    struct Case {
        StoreMode mode;
        PaymentTransactionState state;
        int code;
        const char* key;
    };
    for (const Case& c : {Case{StoreMode::approve, PaymentTransactionState::purchased, -1, ""},
                          Case{StoreMode::fail, PaymentTransactionState::failed, PaymentError::kUnknown, "StoreErrorFailed"},
                          Case{StoreMode::cancel, PaymentTransactionState::failed, PaymentError::kPaymentCancelled, "StoreErrorCancelled"},
                          Case{StoreMode::invalid, PaymentTransactionState::failed, PaymentError::kPaymentInvalid, "StoreErrorInvalid"},
                          Case{StoreMode::disabled, PaymentTransactionState::failed, PaymentError::kPaymentNotAllowed, "StoreErrorNotAllowed"}}) {
        open(c.mode);
        EXPECT_EQ(PaymentQueue::canMakePayments(), c.mode != StoreMode::disabled);
        const PaymentTransaction t = pay(kCrown);
        SCOPED_TRACE(StoreModes::name(c.mode));
        EXPECT_EQ(observer->updates.front().transactionState, PaymentTransactionState::purchasing);
        EXPECT_EQ(t.transactionState, c.state);
        EXPECT_EQ(t.payment.productIdentifier, kCrown);
        EXPECT_EQ(t.error.has_value(), c.code >= 0);
        if (t.error) {
            EXPECT_EQ(t.error->code, c.code);
            EXPECT_EQ(t.error->localizedDescription, NSLocalizedString(c.key));
        }
        queue->finishTransaction(t);
        EXPECT_TRUE(queue->transactions().empty());
        EXPECT_TRUE(queue->ledger().pending().empty());
    }
    // Silent: the payment stays purchasing for ever.
    open(StoreMode::silent);
    queue->addPayment(Payment{kCrown, 1});
    advance(120);
    ASSERT_EQ(observer->updates.size(), 1u);
    EXPECT_EQ(observer->updates[0].transactionState, PaymentTransactionState::purchasing);
    // Only the crown bought in approve mode is remembered.
    EXPECT_EQ(queue->ledger().purchasedProducts(), std::vector<std::string>{kCrown});
}

TEST_F(StoreTest, TheSheetAsksThePlayerAboveEverythingAndCancelIsCode2) {
    window->addSubview(std::make_shared<View>(Rect(0, 0, 320, 480)));  // the game's screens
    queue->addPayment(Payment{kCrown, 1});
    EXPECT_FALSE(queue->visibleSheet());
    advance(1);
    auto sheet = queue->visibleSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(window->subviews().back(), sheet);
    EXPECT_EQ(sheet->name(), "storeSheet");
    EXPECT_EQ(sheet->priceLabel()->text(), "$2.99");
    EXPECT_EQ(sheet->nameLabel()->text(), "Golden Crown");
    EXPECT_EQ(sheet->noteLabel()->text(), "Sandbox: no money is charged");
    ASSERT_TRUE(window->viewWithName("storeCancelBtn"));
    tap(*window->viewWithName("storeBuyBtn"));
    advance(PaymentQueue::kAnswerDelay + 0.3);
    EXPECT_FALSE(window->viewWithName("storeSheet"));
    ASSERT_EQ(observer->inState(PaymentTransactionState::purchased).size(), 1u);
    EXPECT_EQ(queue->ledger().pending().size(), 1u);

    queue->addPayment(Payment{kCrown, 1});
    advance(1);
    tap(*window->viewWithName("storeCancelBtn"));
    advance(1);
    auto failed = observer->inState(PaymentTransactionState::failed);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].error->code, PaymentError::kPaymentCancelled);
}

TEST_F(StoreTest, AnApprovedPaymentNotFinishedIsDeliveredAgainAtTheNextLaunchUntilFinished) {
    queue->setMode(StoreMode::approve);
    const PaymentTransaction t = pay(kCrown);
    ASSERT_EQ(t.transactionState, PaymentTransactionState::purchased);
    // Killed before the game finished it: the next launch holds it and hands it over once.
    auto before = observer;
    open(StoreMode::approve);
    pass();
    ASSERT_EQ(observer->updates.size(), 1u);
    EXPECT_EQ(observer->updates[0].transactionIdentifier, t.transactionIdentifier);
    EXPECT_EQ(observer->updates[0].transactionState, PaymentTransactionState::purchased);
    advance(5);
    EXPECT_EQ(observer->updates.size(), 1u);
    EXPECT_EQ(before->updates.size(), 2u);  // the old observer heard nothing from the new queue
    queue->finishTransaction(observer->updates[0]);
    open();
    advance(5);
    EXPECT_TRUE(observer->updates.empty());

    // Approved while no observer was registered, and killed before one was.
    queue->setMode(StoreMode::approve);
    queue->removeTransactionObserver(observer.get());
    queue->addPayment(Payment{kBanner, 1});
    advance(PaymentQueue::kAnswerDelay);
    EXPECT_TRUE(observer->updates.empty());
    PaymentQueue::setDefaultQueue(nullptr);
    queue = std::make_shared<PaymentQueue>(folder.str());
    advance(5);
    auto late = std::make_shared<Observer>();
    queue->addTransactionObserver(late);
    EXPECT_TRUE(late->updates.empty());
    pass();
    ASSERT_EQ(late->updates.size(), 1u);
    EXPECT_EQ(late->updates[0].payment.productIdentifier, kBanner);
    // Identifiers keep counting across launches.
    EXPECT_NE(late->updates[0].transactionIdentifier, t.transactionIdentifier);
}

TEST_F(StoreTest, ARestoreDeliversEveryPurchaseOfTheFolderThenSaysItIsThrough) {
    queue->setMode(StoreMode::approve);
    queue->finishTransaction(pay(kCrown));
    queue->finishTransaction(pay(kBanner));
    open(StoreMode::approve);
    observer->updates.clear();
    queue->restoreCompletedTransactions();
    pass();
    EXPECT_TRUE(observer->log.empty());
    advance(PaymentQueue::kAnswerDelay);
    auto restored = observer->inState(PaymentTransactionState::restored);
    ASSERT_EQ(restored.size(), 2u);
    EXPECT_EQ(restored[0].payment.productIdentifier, kCrown);
    EXPECT_EQ(restored[1].payment.productIdentifier, kBanner);
    EXPECT_EQ(observer->log, std::vector<std::string>{"restoreFinished"});
    for (const auto& t : restored) queue->finishTransaction(t);
    EXPECT_TRUE(queue->transactions().empty());

    queue->setMode(StoreMode::fail);
    queue->restoreCompletedTransactions();
    advance(1);
    EXPECT_EQ(observer->log.back(), "restoreFailed 0");
    queue->setMode(StoreMode::silent);
    queue->restoreCompletedTransactions();
    advance(60);
    EXPECT_EQ(observer->log.size(), 2u);
}

TEST_F(StoreTest, ADamagedFileIsKeptAsideAndTheStoreStartsEmpty) {
    for (const std::string& contents : {std::string("not a property list"),
                                       std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>pending</key>"
                                                   "<string>oops</string><key>purchased</key><array/><key>nextId</key>"
                                                   "<integer>5</integer></dict></plist>")}) {
        std::ofstream(ledgerPath(), std::ios::trunc) << contents;
        open(StoreMode::approve);
        EXPECT_TRUE(queue->ledger().foundDamagedFile());
        EXPECT_TRUE(queue->transactions().empty());
        EXPECT_FALSE(std::filesystem::exists(ledgerPath()));
        const std::string aside = queue->ledger().damagedFilePath();
        ASSERT_FALSE(aside.empty());
        std::ifstream kept(aside);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), contents);
        // The store carries on and writes a good file again.
        EXPECT_EQ(pay(kCrown).transactionState, PaymentTransactionState::purchased);
        open();
        EXPECT_FALSE(queue->ledger().foundDamagedFile());
        EXPECT_EQ(queue->ledger().pending().size(), 1u);
        std::filesystem::remove(aside);
    }
}

TEST_F(StoreTest, ANewTransactionNeverTakesTheIdOfOneStillPending) {
    // A file whose counter lags behind its pending ids, and one at the very top of the range.
    const char* lagging = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>pending</key><array>"
                          "<dict><key>id</key><string>1000000001</string><key>product</key><string>a</string><key>date</key><real>1</real></dict>"
                          "<dict><key>id</key><string>1000000002</string><key>product</key><string>b</string><key>date</key><real>1</real></dict>"
                          "</array><key>purchased</key><array><string>a</string><string>b</string></array>"
                          "<key>nextId</key><integer>1000000001</integer></dict></plist>";
    std::ofstream(ledgerPath(), std::ios::trunc) << lagging;
    {
        PurchaseLedger ledger(folder.str());
        ASSERT_FALSE(ledger.foundDamagedFile());
        EXPECT_EQ(ledger.makeTransactionIdentifier(), "1000000003");
    }
    std::string top = lagging;
    top.replace(top.find("<integer>1000000001"), 19, "<integer>9223372036854775807");
    std::ofstream(ledgerPath(), std::ios::trunc) << top;
    {
        PurchaseLedger ledger(folder.str());
        ASSERT_FALSE(ledger.foundDamagedFile());
        EXPECT_EQ(ledger.makeTransactionIdentifier(), "9223372036854775807");
        const std::string next = ledger.makeTransactionIdentifier();
        EXPECT_EQ(next, "1000000003") << "past the largest the count starts again, around the pending ones";
        EXPECT_TRUE(ledger.addApproved({next, "c", 2}));
    }
    PurchaseLedger again(folder.str());
    EXPECT_FALSE(again.foundDamagedFile()) << "the counter the ledger wrote reads again";
    EXPECT_EQ(again.pending().size(), 3u);
}
