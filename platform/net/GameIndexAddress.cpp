#include "platform/net/GameIndexAddress.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "platform/net/HttpClient.h"
#include "platform/resources/ProductSettings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/store/PlayerSettings.h"

namespace {
std::mutex currentMutex;
std::string currentBase;

std::string withSlash(std::string base) {
    if (!base.empty() && base.back() != '/') base += '/';
    return base;
}
}  // namespace

std::string GameIndexAddress::bundledAddress() {
    const std::string root = ResourceBundle::mainBundle().rootDirectory();
    if (root.empty()) return "";
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::weakly_canonical(std::filesystem::path(root) / ProductSettings::shared().gameListFolder, ec);
    if (ec) return "";
    return withSlash("file://" + folder.string());
}

std::string GameIndexAddress::resolve(const std::string& commandLineValue, const std::string& dataDirectory,
                                      std::vector<std::string>* warnings) {
    auto usable = [&](const std::string& candidate, const std::string& from) {
        if (candidate.empty()) return false;
        if (HttpClient::isAllowedAddress(withSlash(candidate) + kIndexFileName)) return true;
        if (warnings)
            warnings->push_back("the game list address from " + from + " is not allowed (https, http to this computer, or a file among the game's resources): " +
                                candidate.substr(0, 200));
        return false;
    };
    if (usable(commandLineValue, "--index-url")) return withSlash(commandLineValue);
    const char* env = std::getenv(kEnvironmentVariable);
    if (env && usable(env, kEnvironmentVariable)) return withSlash(env);
    const PlayerSettings settings = PlayerSettings::loadFromDataDirectory(dataDirectory);
    if (!settings.problem().empty() && warnings) warnings->push_back(settings.problem());
    const std::string fromFile = settings.stringForKey(kSettingsKey);
    if (usable(fromFile, settings.path())) return withSlash(fromFile);
    return bundledAddress();
}

std::string GameIndexAddress::current() {
    {
        std::lock_guard lock(currentMutex);
        if (!currentBase.empty()) return currentBase;
    }
    return bundledAddress();
}

void GameIndexAddress::setCurrent(std::string base) {
    std::lock_guard lock(currentMutex);
    currentBase = withSlash(std::move(base));
}

std::string GameIndexAddress::indexAddress(const std::string& base) { return withSlash(base) + kIndexFileName; }

std::string GameIndexAddress::iconAddress(const std::string& base, const std::string& appId) {
    return withSlash(base) + "icon_ios/" + appId + ".png";
}
