#include "model/EquipStaticData.h"

#include "model/StaticTable.h"

void EquipStaticData::initFile() { equipments_ = loadStaticRows<EquipRow>("equipments"); }

const EquipRow* EquipStaticData::equipStaticInfoWithEquipId(int64_t equipId) const {
    for (const EquipRow& row : equipments_)
        if (static_cast<int64_t>(row.id) == equipId) return &row;
    return nullptr;
}

std::string EquipStaticData::equipNameWithEquipId(int64_t equipId) const {
    const EquipRow* row = equipStaticInfoWithEquipId(equipId);
    return row ? row->name : std::string();
}

const EquipRow* EquipStaticData::equipStaticInfoWithProductId(const std::string& productId) const {
    if (productId.empty()) return nullptr;
    for (const EquipRow& row : equipments_)
        if (row.productId == productId) return &row;
    return nullptr;
}

std::vector<EquipRow> EquipStaticData::equipmentsOfType(int64_t type) const {
    std::vector<EquipRow> result;
    for (const EquipRow& row : equipments_)
        if (row.type == type) result.push_back(row);
    return result;
}
