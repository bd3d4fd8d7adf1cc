#pragma once
// ProductSettings: the product-specific values of the game, kept in one resource file,
// "product.json" (resources/config/). Read once from the main bundle; a missing or broken file
// leaves the built-in values below. Thread-safe.
//
//   "storeId"           this game's store identifier ("royal-expedition")
//   "makerName"         the (fictional) maker of the game and of the games in its list
//   "storePageAddress"  the store's product page, "{id}" standing for a store identifier
//   "shareAddress"      the social network's web share page, "{text}" and "{url}" standing for
//                       the percent-encoded post text and link
//   "gameListFolder"    the resource folder holding the bundled game list ("gamelink")
#include <string>

class ProductSettings {
public:
    static const ProductSettings& shared();
    // Reads the file of the main bundle again (tests, after the bundle moved).
    static void reload();

    std::string storeId;
    std::string makerName;
    std::string storePageAddress;
    std::string shareAddress;
    std::string gameListFolder;

    // The store page of an identifier (which the caller has checked), "" when there is no form.
    std::string storePageAddressForId(const std::string& appId) const;

    // The values of a product file's text (what reload() applies); fields it lacks keep the
    // built-in values.
    static ProductSettings fromJson(const std::string& text);
};
