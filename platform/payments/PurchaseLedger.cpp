#include "platform/payments/PurchaseLedger.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Value.h"
#include "platform/store/DurableFile.h"
#include "platform/store/StoreFileSystem.h"

namespace {

// The file's contents when they are exactly what the store writes, else nothing.
bool readLedger(const Value& root, std::vector<PurchaseLedger::Entry>* pending, std::vector<std::string>* purchased, uint64_t* nextId) {
    if (!root.isDictionary()) return false;
    const Value& list = root["pending"];
    const Value& bought = root["purchased"];
    const Value& next = root["nextId"];
    if (!list.isArray() || !bought.isArray() || !next.isInteger() || next.integerValue() < 0) return false;
    for (const Value& e : list.arrayValue()) {
        if (!e.isDictionary() || !e["id"].isString() || !e["product"].isString() || e["id"].stringValue().empty() ||
            e["product"].stringValue().empty() || !e["date"].isNumber())
            return false;
        pending->push_back({e["id"].stringValue(), e["product"].stringValue(), e["date"].doubleValue()});
    }
    for (const Value& p : bought.arrayValue()) {
        if (!p.isString() || p.stringValue().empty()) return false;
        purchased->push_back(p.stringValue());
    }
    // A new transaction never takes the id of one still pending, whatever "nextId" says.
    uint64_t after = std::max<uint64_t>(next.unsignedValue(), PurchaseLedger::kFirstTransactionId);
    for (const auto& e : *pending) {
        const std::string& id = e.transactionIdentifier;
        if (id.size() > 19 || id.find_first_not_of("0123456789") != std::string::npos) continue;
        const uint64_t n = std::stoull(id);
        if (n >= after) after = n + 1;
    }
    *nextId = after > static_cast<uint64_t>(INT64_MAX) ? PurchaseLedger::kFirstTransactionId : after;
    return true;
}

}  // namespace

PurchaseLedger::PurchaseLedger(const std::string& dataDirectory, std::shared_ptr<StoreFileSystem> fileSystem)
    : fs_(fileSystem ? std::move(fileSystem) : StoreFileSystem::posix()), path_(dataDirectory + "/" + fileName) {
    load();
}

void PurchaseLedger::load() {
    DurableFile::removeTemporaryFiles(path_);
    struct stat st {};
    if (::lstat(path_.c_str(), &st) != 0 && errno == ENOENT) return;
    std::optional<Value> root = PropertyList::readFile(path_, nullptr, Value::Type::Dictionary);
    std::vector<Entry> pending;
    std::vector<std::string> purchased;
    uint64_t next = kFirstTransactionId;
    if (root && readLedger(*root, &pending, &purchased, &next)) {
        pending_ = std::move(pending);
        purchased_ = std::move(purchased);
        nextId_ = next;
        return;
    }
    damaged_ = true;
    damagedPath_ = DurableFile::moveAside(*fs_, path_);
}

std::string PurchaseLedger::makeTransactionIdentifier() {
    for (;;) {
        const std::string id = std::to_string(nextId_);
        // The file holds the counter as a signed integer: past the largest one it starts again.
        nextId_ = nextId_ >= static_cast<uint64_t>(INT64_MAX) ? kFirstTransactionId : nextId_ + 1;
        const bool taken = std::any_of(pending_.begin(), pending_.end(), [&](const Entry& e) { return e.transactionIdentifier == id; });
        if (!taken) return id;
    }
}

bool PurchaseLedger::addApproved(const Entry& entry) {
    pending_.push_back(entry);
    if (std::find(purchased_.begin(), purchased_.end(), entry.productIdentifier) == purchased_.end())
        purchased_.push_back(entry.productIdentifier);
    return save();
}

bool PurchaseLedger::removePending(const std::string& transactionIdentifier) {
    auto it = std::find_if(pending_.begin(), pending_.end(), [&](const Entry& e) { return e.transactionIdentifier == transactionIdentifier; });
    if (it == pending_.end()) return true;
    pending_.erase(it);
    return save();
}

bool PurchaseLedger::save() {
    Value::Array pending, purchased;
    for (const auto& e : pending_) pending.push_back(Value{{"id", e.transactionIdentifier}, {"product", e.productIdentifier}, {"date", e.date}});
    for (const auto& p : purchased_) purchased.push_back(p);
    const Value root{{"pending", Value(std::move(pending))}, {"purchased", Value(std::move(purchased))},
                     {"nextId", Value(static_cast<unsigned long long>(nextId_))}};
    std::string error;
    const std::vector<uint8_t> bytes = PropertyList::writeBinary(root, &error);
    if (bytes.empty() || !DurableFile::write(*fs_, path_, bytes, &error)) {
        lastError_ = error;
        return false;
    }
    lastError_.clear();
    return true;
}
