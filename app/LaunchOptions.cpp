#include "app/LaunchOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "platform/net/GameIndexAddress.h"
#include "platform/net/HttpClient.h"

bool LaunchOptions::parseNumber(const std::string& text, double* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const double d = std::strtod(text.c_str(), &end);
    if (*end || !std::isfinite(d)) return false;
    *out = d;
    return true;
}

const char* LaunchOptions::usage() {
    return "usage: royal-expedition [--screen 480|568] [--data-dir DIR]\n"
           "       royal-expedition --headless --data-dir DIR [--epoch SECONDS] [--seed N] [--lang CODE] [--screen 480|568] --script FILE|-\n"
           "       royal-expedition --headless [--screenshot FILE] [--time SECONDS]\n"
           "measuring: --exit-after-first-frame, --print-frames (not with --script)\n"
           "any of them: --store sheet|approve|fail|cancel|invalid|empty|silent|disabled (default: RE_STORE, else sheet)\n";
}

LaunchOptions LaunchOptions::parse(const std::vector<std::string>& args, std::string* error) {
    LaunchOptions o;
    auto fail = [&](const std::string& message) {
        if (error && error->empty()) *error = message;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) {
                fail(arg + " needs a value");
                return "";
            }
            return args[++i];
        };
        double d = 0;
        if (arg == "--headless") {
            o.headless = true;
        } else if (arg == "--data-dir" || arg == "--data") {
            o.dataDirectory = value();
        } else if (arg == "--epoch") {
            if (parseNumber(value(), &d) && d >= 0) o.epoch = d;
            else fail("--epoch needs a number of seconds since 1970");
        } else if (arg == "--seed") {
            const std::string v = value();
            char* end = nullptr;
            errno = 0;
            const unsigned long long s = std::strtoull(v.c_str(), &end, 10);
            // A seed too large to hold is refused rather than quietly cut to the largest one.
            if (v.empty() || *end || v[0] == '-' || errno == ERANGE) fail("--seed needs a whole number below 2^64");
            else o.seed = s;
        } else if (arg == "--lang") {
            o.language = value();
            if (o.language.empty()) fail("--lang needs a language code");
        } else if (arg == "--screen") {
            const std::string v = value();
            if (v == "480" || v == "568") o.screenHeight = std::atof(v.c_str());
            else fail("--screen takes 480 or 568");
        } else if (arg == "--script") {
            o.scriptPath = value();
            if (o.scriptPath.empty()) fail("--script needs a file name or -");
        } else if (arg == "--screenshot") {
            o.screenshotPath = value();
            o.headless = true;
        } else if (arg == "--time") {
            if (parseNumber(value(), &d) && d >= 0) o.headlessTime = d;
            else fail("--time needs a number of seconds");
        } else if (arg == "--exit-after-first-frame") {
            o.exitAfterFirstFrame = true;
        } else if (arg == "--store") {
            const std::string v = value();
            o.storeMode = StoreModes::fromName(v);
            if (!o.storeMode) fail("--store: " + StoreModes::unknownModeMessage(v));
        } else if (arg == "--print-frames") {
            o.printFrames = true;
        } else if (arg == "--index-url") {
            o.indexUrl = value();
            if (!HttpClient::isAllowedAddress(GameIndexAddress::indexAddress(o.indexUrl)))
                fail("--index-url takes an https address, an http address on this computer, or a folder of the game's resources");
        } else if (arg == "--sign-in") {
            const std::string v = value();
            if (v == "on" || v == "off") o.signIn = v == "on";
            else fail("--sign-in takes on or off");
        } else {
            fail("unknown option " + arg);
        }
    }
    if (!o.storeMode) {
        std::string environmentError;
        o.storeMode = StoreModes::fromEnvironment(&environmentError);
        if (!environmentError.empty()) fail(environmentError);
    }
    if (!o.scriptPath.empty() && !o.headless) fail("--script runs only with --headless");
    if (!o.scriptPath.empty() && o.dataDirectory.empty()) fail("--script needs --data-dir");
    if (!o.scriptPath.empty() && (o.exitAfterFirstFrame || o.printFrames)) fail("a script run draws no frames to measure");
    return o;
}
