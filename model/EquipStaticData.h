#pragma once
// The equipment table ("equipments.plist"): items monsters require (type 0) and bonus items
// (type 1). Read once into typed rows; read-only afterwards.
#include <cstdint>
#include <string>
#include <vector>

#include "model/StaticRows.h"
#include "platform/core/Singleton.h"

class EquipStaticData : public Singleton<EquipStaticData> {
public:
    void initFile();

    const std::vector<EquipRow>& equipments() const { return equipments_; }

    // The first row whose id equals the id, or null; its name ("" when none).
    const EquipRow* equipStaticInfoWithEquipId(int64_t equipId) const;
    std::string equipNameWithEquipId(int64_t equipId) const;
    // The first row whose product id is non-empty and equal to the argument, or null.
    const EquipRow* equipStaticInfoWithProductId(const std::string& productId) const;
    // The rows of that type, in table order (empty when none).
    std::vector<EquipRow> equipmentsOfType(int64_t type) const;

private:
    friend class Singleton<EquipStaticData>;
    EquipStaticData() = default;
    std::vector<EquipRow> equipments_;
};
