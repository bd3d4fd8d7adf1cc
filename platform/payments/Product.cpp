#include "platform/payments/Product.h"

#include <cmath>
#include <cstdio>

#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Value.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"

std::string PriceLocale::formatPrice(double price) const {
    if (!std::isfinite(price)) price = 0;
    const int digits = fractionDigits < 0 ? 0 : fractionDigits > 4 ? 4 : fractionDigits;
    const bool negative = price < 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", digits, std::fabs(price));
    std::string text = buffer;
    const auto dot = text.find('.');
    std::string whole = text.substr(0, dot), fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    std::string grouped;
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) grouped += groupingSeparator;
        grouped += whole[i];
    }
    std::string number = grouped + (fraction.empty() ? "" : decimalSeparator + fraction);
    std::string shown = symbolAfter ? number + " " + currencySymbol : currencySymbol + number;
    return negative ? "-" + shown : shown;
}

ProductCatalog ProductCatalog::forCurrentLanguage() {
    const std::string path = ResourceBundle::mainBundle().pathForResource("store_products", "plist");
    std::optional<Value> table = path.empty() ? std::nullopt : PropertyList::readFile(path, nullptr, Value::Type::Dictionary);
    return fromTable(table ? *table : Value(), LocalizedStrings::shared().currentLanguage());
}

ProductCatalog ProductCatalog::fromTable(const Value& table, const std::string& language) {
    ProductCatalog catalog;
    const Value& entry = table[language].isDictionary() ? table[language] : table["en"];
    if (!entry.isDictionary()) return catalog;
    auto text = [&](const char* key, std::string* out) {
        if (entry[key].isString()) *out = entry[key].stringValue();
    };
    text("locale", &catalog.locale_.identifier);
    text("currency", &catalog.locale_.currencyCode);
    text("symbol", &catalog.locale_.currencySymbol);
    text("grouping", &catalog.locale_.groupingSeparator);
    text("decimal", &catalog.locale_.decimalSeparator);
    if (entry["fraction_digits"].isInteger()) catalog.locale_.fractionDigits = entry["fraction_digits"].intValue();
    if (entry["symbol_after"].isBoolean()) catalog.locale_.symbolAfter = entry["symbol_after"].boolValue();
    for (const auto& [identifier, fields] : entry["products"].dictionaryValue()) {
        if (!fields.isDictionary() || !fields["price"].isNumber()) continue;
        Product product;
        product.productIdentifier = identifier;
        product.localizedTitle = fields["title"].stringValue();
        product.localizedDescription = fields["description"].stringValue();
        product.price = fields["price"].doubleValue();
        product.priceLocale = catalog.locale_;
        catalog.products_[identifier] = std::move(product);
    }
    return catalog;
}

std::optional<Product> ProductCatalog::productWithIdentifier(const std::string& identifier) const {
    auto it = products_.find(identifier);
    if (it == products_.end()) return std::nullopt;
    return it->second;
}

std::vector<std::string> ProductCatalog::productIdentifiers() const {
    std::vector<std::string> ids;
    for (const auto& [id, product] : products_) ids.push_back(id);
    return ids;
}
