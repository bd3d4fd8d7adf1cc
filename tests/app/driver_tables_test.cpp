// The script driver on a small screen of its own: table rows and their outlets by name, `select`
// with its scrolling and refusals, alerts and action sheets by button index, the store's sheet
// and `store MODE`.
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/AppDelegate.h"
#include "app/AppTestSupport.h"
#include "app/ScriptDriver.h"
#include "platform/payments/PaymentQueue.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/ui/ActionSheetView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ModalAlertView.h"
#include "platform/ui/TableView.h"

namespace {

class DriverTablesTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        LocalizedStrings::setPreferredLanguages({"en"});
        // Twenty rows of 73 points in a 300-point table: rows 0 to 3 show, a part of row 4.
        table = std::make_shared<TableView>(Rect(10, 40, 300, 300));
        table->setName("myTableView");
        table->setRowHeight(73);
        table->numberOfRows = [](TableView&) { return 20; };
        table->cellForRow = [this](TableView& t, int row) {
            auto cell = t.dequeueReusableCell("Row");
            if (!cell) {
                cell = std::make_shared<TableViewCell>("Row", Rect(0, 0, 300, 73));
                auto buy = std::make_shared<Button>(Rect(230, 20, 60, 26));
                buy->setName("buyBtn");
                cell->addSubview(buy);
            }
            auto buy = cell->viewWithName<Button>("buyBtn");
            buy->setAction([this, row] { bought.push_back(row); });
            return cell;
        };
        table->didSelectRow = [this](TableView&, int row) { selected.push_back(row); };
        window->addSubview(table);
        table->reloadData();
        driver = std::make_unique<ScriptDriver>(app, *window, clock, out, err);
    }
    void TearDown() override {
        driver.reset();
        table.reset();
        AppTest::TearDown();
        LocalizedStrings::setPreferredLanguages({});
    }
    bool run(const std::string& line) {
        reason.clear();
        return driver->runLine(line, &reason);
    }
    nlohmann::json view(const std::string& name) {
        for (auto& v : nlohmann::json::parse(driver->viewsJson()))
            if (v["name"] == name) return v;
        return nullptr;
    }

    AppDelegate app;
    std::shared_ptr<TableView> table;
    std::ostringstream out, err;
    std::unique_ptr<ScriptDriver> driver;
    std::string reason;
    std::vector<int> selected, bought;
};

}  // namespace

TEST_F(DriverTablesTest, RowsAndTheirOutletsGoByTheTableAndSelectScrollsThemIntoView) {
    EXPECT_EQ(view("myTableView.row2")["frame"], nlohmann::json({10, 186, 300, 73}));
    EXPECT_FALSE(view("myTableView.row2.buyBtn").is_null());
    EXPECT_TRUE(view("myTableView.row9").is_null());
    EXPECT_TRUE(view("buyBtn").is_null());

    ASSERT_TRUE(run("press myTableView.row2.buyBtn")) << reason;
    EXPECT_EQ(bought, std::vector<int>{2});
    EXPECT_TRUE(selected.empty());

    ASSERT_TRUE(run("select myTableView 1")) << reason;
    ASSERT_TRUE(run("select myTableView 19")) << reason;  // scrolled to the end first
    EXPECT_EQ(selected, (std::vector<int>{1, 19}));
    EXPECT_FALSE(view("myTableView.row19.buyBtn").is_null());
    EXPECT_TRUE(view("myTableView.row1").is_null());
    EXPECT_EQ(bought, std::vector<int>{2});

    EXPECT_FALSE(run("select myTableView 20"));
    EXPECT_EQ(reason, "table \"myTableView\" has 20 rows (0 to 19), no row 20");
    EXPECT_FALSE(run("select myTableView -1"));
    EXPECT_FALSE(run("select nothingHere 0"));
    EXPECT_EQ(reason, "no table \"nothingHere\" on screen");
    EXPECT_FALSE(run("select myTableView"));

    // In the script's own words: a bad row stops the run with its line number.
    std::istringstream script("select myTableView 3\n\nselect myTableView 99\n");
    std::ostringstream o, e;
    EXPECT_EQ(ScriptDriver(app, *window, clock, o, e).run(script), ScriptDriver::kErrorStatus);
    EXPECT_EQ(e.str(), "line 3: table \"myTableView\" has 20 rows (0 to 19), no row 99\n");
}

TEST_F(DriverTablesTest, AlertsAndSheetsListTheirTextsAndButtonsByTheIndexTheGameReceives) {
    int answered = -1;
    auto alert = std::make_shared<ModalAlertView>("NoGold", "Not enough gold.", "Cancel", std::vector<std::string>{"OK"});
    alert->onButton = [&](int i) { answered = i; };
    alert->show();
    advance(1);
    auto listed = view("alertView");
    EXPECT_EQ(listed["title"], "NoGold");
    EXPECT_EQ(listed["message"], "Not enough gold.");
    EXPECT_EQ(view("alertBtn0")["text"], "Cancel");
    EXPECT_FALSE(run("select myTableView 0"));  // the alert covers the table
    EXPECT_EQ(reason, "row 0 of \"myTableView\" is covered by alertView");
    ASSERT_TRUE(run("press alertBtn1")) << reason;
    EXPECT_EQ(answered, 1);

    // An action sheet counts its other buttons from 0 and puts the cancel button last.
    auto sheet = std::make_shared<ActionSheetView>("Share", "Cancel", std::vector<std::string>{"Post"});
    sheet->onButton = [&](int i) { answered = i; };
    sheet->show();
    advance(1);
    EXPECT_EQ(view("alertBtn1")["text"], "Cancel");
    ASSERT_TRUE(run("press alertBtn1")) << reason;
    EXPECT_EQ(answered, 1);
}

TEST_F(DriverTablesTest, TheStoreModeIsSetByTheDriverAndItsSheetIsPressedByName) {
    EXPECT_FALSE(run("store generous"));
    EXPECT_EQ(reason, "unknown store mode \"generous\" (sheet, approve, fail, cancel, invalid, empty, silent, disabled)");
    ASSERT_TRUE(run("store disabled"));
    EXPECT_FALSE(PaymentQueue::canMakePayments());
    ASSERT_TRUE(run("store sheet"));
    PaymentQueue::defaultQueue().addPayment(Payment{"com.example.royalexpedition.royalcarriage", 1});
    ASSERT_TRUE(run("wait 1"));
    auto listed = view("storeSheet");
    EXPECT_EQ(listed["price"], "$2.99");
    EXPECT_EQ(listed["product"], "Royal Carriage");
    ASSERT_TRUE(run("press storeBuyBtn")) << reason;
    ASSERT_TRUE(run("wait 1"));
    EXPECT_TRUE(view("storeSheet").is_null());
    ASSERT_EQ(PaymentQueue::defaultQueue().transactions().size(), 1u);
    EXPECT_EQ(PaymentQueue::defaultQueue().transactions()[0].transactionState, PaymentTransactionState::purchased);
}
