// The store's transaction log ("store-transactions.plist") as a damaged disk or a hostile user
// leaves it: any bytes. Nothing crashes; a file that loads takes a new purchase, is written back
// and reads again the same, and a new transaction never reuses the id of one still pending.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "platform/foundation/DataFile.h"
#include "platform/payments/PurchaseLedger.h"

namespace {
const std::string& folder() {
    static const std::string made = DataFile::makeScratchFolder("re-fuzz-ledger");
    return made;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder(), ec)) std::filesystem::remove_all(entry.path(), ec);
    std::ofstream(folder() + "/" + PurchaseLedger::fileName, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    PurchaseLedger ledger(folder());
    if (ledger.foundDamagedFile()) {
        if (!ledger.pending().empty() || !ledger.purchasedProducts().empty()) __builtin_trap();  // a bad file starts empty
        return 0;
    }
    std::set<std::string> ids;
    for (const auto& e : ledger.pending()) ids.insert(e.transactionIdentifier);
    const std::string fresh = ledger.makeTransactionIdentifier();
    if (ids.count(fresh)) __builtin_trap();
    if (!ledger.addApproved({fresh, "fuzz.product", 1.8e9})) __builtin_trap();
    PurchaseLedger again(folder());
    if (again.foundDamagedFile() || again.pending().size() != ledger.pending().size() ||
        again.purchasedProducts() != ledger.purchasedProducts())
        __builtin_trap();
    for (size_t i = 0; i < again.pending().size(); ++i)
        if (again.pending()[i].transactionIdentifier != ledger.pending()[i].transactionIdentifier) __builtin_trap();
    if (again.makeTransactionIdentifier() == fresh) __builtin_trap();
    return 0;
}
