// The store's observer: what each transaction grants and tells, and when the purchase panel hears it.
#include <vector>

#include "AppTestSupport.h"
#include "app/StoreObserver.h"
#include "explore/NMCommon.h"
#include "model/EquipManager.h"
#include "model/GameEvents.h"
#include "platform/payments/PaymentQueue.h"

namespace {

constexpr const char* kCrown = "com.example.royalexpedition.goldcrown";
constexpr unsigned kCrownId = 34;

class StoreObserverTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        queue = std::make_shared<PaymentQueue>(gametest::makeTempFolder("re-store-observer").string(), StoreMode::approve);
        for (const char* name : {GameEvents::kStoreCompletedPurchase, GameEvents::kStoreFailedPurchase, GameEvents::kStoreRestoreCompleted,
                                 GameEvents::kStoreRestoreFailed, GameEvents::kEquipUpdated})
            NMCommon::addObserver(this, [this](const Notification& n) { heard.push_back(n); }, name);
    }
    void TearDown() override {
        NMCommon::removeObserver(this);
        AppTest::TearDown();
    }
    void deliver(PaymentTransactionState state, const std::string& product, std::optional<PaymentError> error = {}) {
        PaymentTransaction t;
        t.transactionIdentifier = "1";
        t.transactionState = state;
        t.payment.productIdentifier = product;
        t.error = std::move(error);
        StoreObserver::instance()->paymentQueueUpdatedTransactions(*queue, {t});
    }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& n : heard) result.push_back(n.name);
        return result;
    }

    std::shared_ptr<PaymentQueue> queue;
    std::vector<Notification> heard;
};

TEST_F(StoreObserverTest, APurchaseGrantsByProductAndTellsThePanelAtOnce) {
    deliver(PaymentTransactionState::purchased, kCrown);
    EXPECT_EQ(names(), std::vector<std::string>{GameEvents::kStoreCompletedPurchase}) << "direct, inside the store's call";
    EXPECT_TRUE(EquipManager::haveEquipmentWithId(kCrownId));
    RunLoop::main().drain();
    EXPECT_EQ(names().back(), GameEvents::kEquipUpdated);

    // Handed over again (a game closed before finishing it): no second grant.
    heard.clear();
    deliver(PaymentTransactionState::purchased, kCrown);
    RunLoop::main().drain();
    EXPECT_EQ(names(), std::vector<std::string>{GameEvents::kStoreCompletedPurchase});
}

TEST_F(StoreObserverTest, AnUnknownProductGrantsNothingButCompletes) {
    deliver(PaymentTransactionState::purchased, "com.example.nothing");
    RunLoop::main().drain();
    EXPECT_EQ(names(), std::vector<std::string>{GameEvents::kStoreCompletedPurchase});
}

TEST_F(StoreObserverTest, AFailureCarriesTheStoreErrorAndARestoreIsSilent) {
    deliver(PaymentTransactionState::failed, kCrown, PaymentError{PaymentError::kPaymentCancelled, "Cancelled."});
    ASSERT_EQ(names(), std::vector<std::string>{GameEvents::kStoreFailedPurchase});
    EXPECT_EQ(heard[0].userInfo["error"]["code"].integerValue(), PaymentError::kPaymentCancelled);
    EXPECT_EQ(heard[0].userInfo["error"]["localizedDescription"].stringValue(), "Cancelled.");
    deliver(PaymentTransactionState::failed, kCrown);
    EXPECT_TRUE(heard.back().userInfo.isNil()) << "no error, no payload";
    EXPECT_FALSE(EquipManager::haveEquipmentWithId(kCrownId));

    heard.clear();
    deliver(PaymentTransactionState::restored, kCrown);
    EXPECT_TRUE(EquipManager::haveEquipmentWithId(kCrownId));
    RunLoop::main().drain();
    EXPECT_EQ(names(), std::vector<std::string>{GameEvents::kEquipUpdated}) << "only the grant's own event";
}

TEST_F(StoreObserverTest, TheRestoreFailureIsQueuedItsCompletionIsNot) {
    StoreObserver::instance()->paymentQueueRestoreCompletedTransactionsFailedWithError(*queue, PaymentError{0, "Offline."});
    EXPECT_TRUE(heard.empty());
    StoreObserver::instance()->paymentQueueRestoreCompletedTransactionsFinished(*queue);
    EXPECT_EQ(names(), std::vector<std::string>{GameEvents::kStoreRestoreCompleted});
    RunLoop::main().drain();
    ASSERT_EQ(names().back(), GameEvents::kStoreRestoreFailed);
    EXPECT_EQ(heard.back().userInfo["error"]["localizedDescription"].stringValue(), "Offline.");
}

}  // namespace
