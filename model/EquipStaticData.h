#pragma once
// The equipment table ("equipments.plist"): items monsters require (type 0) and bonus items
// (type 1). Loaded once; read-only afterwards.
#include <cstdint>
#include <string>

#include "platform/core/Singleton.h"
#include "platform/foundation/Value.h"

class EquipStaticData : public Singleton<EquipStaticData> {
public:
    void initFile();

    const Value& equipments() const { return equipments_; }

    // The first entry whose "id" equals the id, or nil; its "name" ("" when none).
    Value equipStaticInfoWithEquipId(int64_t equipId) const;
    std::string equipNameWithEquipId(int64_t equipId) const;
    // The first entry whose "product_id" is non-empty and equal to the argument, or nil.
    Value equipStaticInfoWithProductId(const std::string& productId) const;
    // A new array of the entries of that "type", in table order (empty when none).
    Value equipmentsOfType(int64_t type) const;

private:
    friend class Singleton<EquipStaticData>;
    EquipStaticData() = default;
    Value equipments_;
};
