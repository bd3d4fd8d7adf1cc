#include "platform/resources/ProductSettings.h"

#include <fstream>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "platform/resources/ResourceBundle.h"

namespace {
std::mutex settingsMutex;
std::shared_ptr<ProductSettings> current;
// Settings read before a reload stay alive: shared() hands out references.
std::vector<std::shared_ptr<ProductSettings>> retired;

ProductSettings builtIn() {
    ProductSettings s;
    s.storeId = "royal-expedition";
    s.makerName = "Moonkettle Games";
    s.storePageAddress = "https://example.com/store/apps/{id}";
    s.shareAddress = "https://twitter.com/intent/tweet?text={text}&url={url}";
    s.gameListFolder = "gamelink";
    return s;
}

void replaceAll(std::string& text, const std::string& what, const std::string& with) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) text.replace(at, what.size(), with);
}
}  // namespace

ProductSettings ProductSettings::fromJson(const std::string& text) {
    ProductSettings s = builtIn();
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (!json.is_object()) return s;
    auto field = [&](const char* key, std::string* out) {
        auto found = json.find(key);
        if (found != json.end() && found->is_string() && !found->get<std::string>().empty()) *out = found->get<std::string>();
    };
    field("storeId", &s.storeId);
    field("makerName", &s.makerName);
    field("storePageAddress", &s.storePageAddress);
    field("shareAddress", &s.shareAddress);
    field("gameListFolder", &s.gameListFolder);
    return s;
}

void ProductSettings::reload() {
    std::string text;
    const std::string path = ResourceBundle::mainBundle().pathForResource("product", "json");
    if (!path.empty()) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        text = all.str();
    }
    auto fresh = std::make_shared<ProductSettings>(fromJson(text));
    std::lock_guard lock(settingsMutex);
    if (current) retired.push_back(current);
    current = std::move(fresh);
}

const ProductSettings& ProductSettings::shared() {
    {
        std::lock_guard lock(settingsMutex);
        if (current) return *current;
    }
    reload();
    std::lock_guard lock(settingsMutex);
    return *current;
}

std::string ProductSettings::storePageAddressForId(const std::string& appId) const {
    if (storePageAddress.find("{id}") == std::string::npos) return "";
    std::string address = storePageAddress;
    replaceAll(address, "{id}", appId);
    return address;
}
