#include "model/StaticTable.h"

#include "platform/foundation/PropertyList.h"
#include "platform/resources/ResourceBundle.h"

Value loadStaticTable(const std::string& name) {
    const std::string path = ResourceBundle::mainBundle().pathForResource(name, "plist");
    if (path.empty()) return Value();
    std::string error;
    std::optional<Value> root = PropertyList::readFile(path, &error);
    if (!root || !root->isArray()) return Value();
    return *root;
}
