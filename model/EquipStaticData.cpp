#include "model/EquipStaticData.h"

#include <mutex>

#include "model/StaticTable.h"

void EquipStaticData::initFile() { equipments_ = loadStaticTable("equipments"); }

Value EquipStaticData::equipStaticInfoWithEquipId(int64_t equipId) const {
    for (const Value& entry : equipments_.arrayValue())
        if (entry["id"].integerValue() == equipId) return entry;
    return Value();
}

std::string EquipStaticData::equipNameWithEquipId(int64_t equipId) const {
    return equipStaticInfoWithEquipId(equipId)["name"].stringValue();
}

Value EquipStaticData::equipStaticInfoWithProductId(const std::string& productId) const {
    for (const Value& entry : equipments_.arrayValue()) {
        const std::string candidate = entry["product_id"].isString() ? entry["product_id"].stringValue() : std::string();
        if (!candidate.empty() && candidate == productId) return entry;
    }
    return Value();
}

Value EquipStaticData::equipmentsOfType(int64_t type) const {
    Value::Array result;
    for (const Value& entry : equipments_.arrayValue())
        if (entry["type"].integerValue() == type) result.push_back(entry);
    return Value(std::move(result));
}
