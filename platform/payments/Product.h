#pragma once
// The store's products: what a product request returns, with the price in the player's own
// currency. The products, their prices and the currency of each language are the store's table
// "store_products.plist" (resources/store/): a dictionary from language ("en", "ja", "zh-Hans")
// to {locale, currency, symbol, fraction_digits, symbol_after, grouping, decimal, products},
// products mapping each product identifier to {price, title, description}.
#include <map>
#include <optional>
#include <string>
#include <vector>

class Value;

// The currency a price is shown in (the phone's price locale).
struct PriceLocale {
    std::string identifier = "en_US";
    std::string currencyCode = "USD";
    std::string currencySymbol = "$";
    int fractionDigits = 2;
    bool symbolAfter = false;        // "18,00 €" rather than "$18.00"
    std::string groupingSeparator = ",";
    std::string decimalSeparator = ".";

    // The price as currency: "$2.99", "¥360", "¥18.00". Rounded to the currency's digits, grouped
    // by thousands; a negative price keeps its sign before the symbol.
    std::string formatPrice(double price) const;
};

struct Product {
    std::string productIdentifier;
    std::string localizedTitle;
    std::string localizedDescription;
    double price = 0;
    PriceLocale priceLocale;

    // price formatted in priceLocale.
    std::string localizedPrice() const { return priceLocale.formatPrice(price); }
};

class ProductCatalog {
public:
    // The table of the main bundle, in the player's language (English when the table lacks it).
    static ProductCatalog forCurrentLanguage();
    // From a table already read (tests); an unreadable entry is left out.
    static ProductCatalog fromTable(const Value& table, const std::string& language);

    const PriceLocale& priceLocale() const { return locale_; }
    std::optional<Product> productWithIdentifier(const std::string& identifier) const;
    std::vector<std::string> productIdentifiers() const;

private:
    PriceLocale locale_;
    std::map<std::string, Product> products_;
};
