#pragma once
// Loads one of the game's fixed tables: the property list "name.plist" of the resource bundle,
// read whole. Gives nil when the file is missing or unreadable or its root is not an array;
// loadStaticRows turns each dictionary of it into a typed row (anything else is skipped).
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

Value loadStaticTable(const std::string& name);

template <class Row>
std::vector<Row> loadStaticRows(const std::string& name) {
    std::vector<Row> rows;
    const Value table = loadStaticTable(name);
    rows.reserve(table.arrayValue().size());
    for (const Value& entry : table.arrayValue())
        if (entry.isDictionary()) rows.push_back(Row::fromValue(entry));
    return rows;
}
