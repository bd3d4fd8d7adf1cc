#pragma once
// The store's memory in the data folder ("store-transactions.plist", a binary property list):
// the approved payments the game has not finished yet, so that a game killed between the
// approval and its grant gets them again at the next launch, and every product bought with this
// data folder, which a restore delivers again. Written durably (temporary file, fsync, rename)
// before the game hears of an approval. A file that cannot be read, or whose contents are not
// what the store writes, is kept aside ("...damaged-<time>") and the ledger starts empty.
//
//   root: {"pending": [{"id": "1000000003", "product": "...", "date": 1800000000.0}, ...],
//          "purchased": ["product id", ...], "nextId": 1000000004}
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class StoreFileSystem;

class PurchaseLedger {
public:
    static constexpr const char* fileName = "store-transactions.plist";
    static constexpr uint64_t kFirstTransactionId = 1000000001;

    struct Entry {
        std::string transactionIdentifier;
        std::string productIdentifier;
        double date = 0;
    };

    // Loads "<dataDirectory>/store-transactions.plist" at once.
    explicit PurchaseLedger(const std::string& dataDirectory, std::shared_ptr<StoreFileSystem> fileSystem = nullptr);

    const std::vector<Entry>& pending() const { return pending_; }
    const std::vector<std::string>& purchasedProducts() const { return purchased_; }
    // A fresh transaction identifier (kept in the file with the next write).
    std::string makeTransactionIdentifier();

    // Each writes the file durably before returning; false (the change kept in memory) when the
    // write failed.
    bool addApproved(const Entry& entry);
    bool removePending(const std::string& transactionIdentifier);

    const std::string& filePath() const { return path_; }
    bool foundDamagedFile() const { return !damagedPath_.empty() || damaged_; }
    const std::string& damagedFilePath() const { return damagedPath_; }
    const std::string& lastError() const { return lastError_; }

private:
    void load();
    bool save();

    std::shared_ptr<StoreFileSystem> fs_;
    std::string path_;
    std::vector<Entry> pending_;
    std::vector<std::string> purchased_;
    uint64_t nextId_ = kFirstTransactionId;
    bool damaged_ = false;
    std::string damagedPath_;
    std::string lastError_;
};
