#include "app/LaunchOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "platform/net/GameIndexAddress.h"
#include "platform/resources/ProductSettings.h"
#include "platform/net/HttpClient.h"

#ifndef RE_VERSION
#define RE_VERSION "unknown"
#endif

bool LaunchOptions::parseNumber(const std::string& text, double* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const double d = std::strtod(text.c_str(), &end);
    if (*end || !std::isfinite(d)) return false;
    *out = d;
    return true;
}

namespace {

// A number of seconds, 0 or more, into `out`; else the message.
std::string secondsInto(const std::string& text, double& out, const char* message) {
    double d = 0;
    if (!LaunchOptions::parseNumber(text, &d) || d < 0) return message;
    out = d;
    return "";
}

// A text that may not be empty, into `out`; else the message.
std::string textInto(const std::string& text, std::string& out, const char* message) {
    out = text;
    return text.empty() ? message : "";
}

std::string optionColumn(const LaunchOption& option) {
    return std::string(option.name) + (option.value ? std::string(" ") + option.value : "");
}

}  // namespace

const std::vector<LaunchOption>& LaunchOptions::table() {
    using O = LaunchOptions;
    static const std::vector<LaunchOption> options = {
        {"--help", nullptr, "print this help and stop",
         [](O& o, const std::string&) { o.showHelp = true; return std::string(); }},
        {"--version", nullptr, "print the version and the game's store identifier, and stop",
         [](O& o, const std::string&) { o.showVersion = true; return std::string(); }},
        {"--screen", "480|568", "the screen's height in points (default 480)",
         [](O& o, const std::string& v) {
             if (v != "480" && v != "568") return std::string("--screen takes 480 or 568");
             o.screenHeight = std::atof(v.c_str());
             return std::string();
         }},
        {"--data-dir", "DIR", "keep saves and settings in DIR instead of the data folder",
         [](O& o, const std::string& v) { o.dataDirectory = v; return std::string(); }, "--data"},
        {"--headless", nullptr, "run without a window, on a manual clock, with silent sound",
         [](O& o, const std::string&) { o.headless = true; return std::string(); }},
        {"--script", "FILE|-", "headless: play the commands of FILE (- reads standard input)",
         [](O& o, const std::string& v) { return textInto(v, o.scriptPath, "--script needs a file name or -"); }},
        {"--epoch", "SECONDS", "headless: the manual clock starts at SECONDS since 1970 (default now)",
         [](O& o, const std::string& v) {
             double d = 0;
             std::string error = secondsInto(v, d, "--epoch needs a number of seconds since 1970, before the year 10000");
             if (error.empty() && d > kLatestEpoch) error = "--epoch needs a number of seconds since 1970, before the year 10000";
             if (error.empty()) o.epoch = d;
             return error;
         }},
        {"--seed", "N", "seed the random draws with the whole number N",
         [](O& o, const std::string& v) {
             char* end = nullptr;
             errno = 0;
             const unsigned long long s = std::strtoull(v.c_str(), &end, 10);
             // A seed too large to hold is refused rather than quietly cut to the largest one.
             if (v.empty() || *end || v[0] == '-' || errno == ERANGE) return std::string("--seed needs a whole number below 2^64");
             o.seed = s;
             return std::string();
         }},
        {"--lang", "CODE", "play in this language (en, ja, zh-Hans) instead of the system's",
         [](O& o, const std::string& v) { return textInto(v, o.language, "--lang needs a language code"); }},
        {"--screenshot", "FILE", "headless: write the frame drawn after the launch to FILE as PNG",
         [](O& o, const std::string& v) {
             o.screenshotPath = v;
             o.headless = true;
             return v.empty() ? std::string("--screenshot needs a file name") : std::string();
         }},
        {"--time", "SECONDS", "headless: the seconds the game runs before that frame (default 0.5)",
         [](O& o, const std::string& v) {
             double d = 0;
             const std::string message = "--time needs a number of seconds up to " + std::to_string(int(kLongestHeadlessTime));
             if (!secondsInto(v, d, "x").empty() || d > kLongestHeadlessTime) return message;
             o.headlessTime = d;
             return std::string();
         }},
        {"--exit-after-first-frame", nullptr, "print FIRST_FRAME <ms> once the first frame is shown, then stop",
         [](O& o, const std::string&) { o.exitAfterFirstFrame = true; return std::string(); }},
        {"--store", "MODE", "how the sandbox store answers: sheet (default), approve, fail, cancel, invalid, empty, silent, disabled",
         [](O& o, const std::string& v) {
             o.storeMode = StoreModes::fromName(v);
             return o.storeMode ? std::string() : "--store: " + StoreModes::unknownModeMessage(v);
         }},
        {"--index-url", "URL", "the game list's base address: https, http to this computer, or a folder of the game (also RE_INDEX_URL)",
         [](O& o, const std::string& v) {
             o.indexUrl = v;
             if (!HttpClient::isAllowedAddress(GameIndexAddress::indexAddress(v)))
                 return std::string("--index-url takes an https address, an http address on this computer, or a folder of the game's resources");
             return std::string();
         }},
        {"--sign-in", "on|off", "off makes the leaderboard sign-in fail (also RE_SIGN_IN)",
         [](O& o, const std::string& v) {
             if (v != "on" && v != "off") return std::string("--sign-in takes on or off");
             o.signIn = v == "on";
             return std::string();
         }},
        {"--export-save", "FILE", "write the saved game to FILE as a readable property list, then stop",
         [](O& o, const std::string& v) { return textInto(v, o.exportSavePath, "--export-save needs a file name"); }},
        {"--import-save", "FILE", "check the saved game in FILE and load it at the next start, then stop",
         [](O& o, const std::string& v) { return textInto(v, o.importSavePath, "--import-save needs a file name"); }},
        {"--simulate", nullptr, "play the whole game headless as a bot and print its pacing table",
         [](O& o, const std::string&) { o.simulate = o.headless = true; return std::string(); }},
        {"--player", "KIND", "with --simulate: casual (3 visits a day, the default), hourly, or eager (at every return)",
         [](O& o, const std::string& v) {
             o.player = v;
             return v == "casual" || v == "eager" || v == "hourly" ? std::string() : std::string("--player takes casual, eager or hourly");
         }},
        {"--days", "N", "with --simulate: stop after N days of game time (default: at the end of the game)",
         [](O& o, const std::string& v) {
             const std::string message = "--days needs a number of days above 0, up to " + std::to_string(int(kLongestSimulationDays));
             if (!secondsInto(v, o.days, "x").empty() || o.days <= 0 || o.days > kLongestSimulationDays) return message;
             return std::string();
         }},
        {"--report", "FILE", "with --simulate: also write the pacing table to FILE as JSON",
         [](O& o, const std::string& v) { return textInto(v, o.reportPath, "--report needs a file name"); }},
        {"--print-frames", nullptr, "print FRAMES <frames drawn> <seconds> <slowest ms> <99th percentile ms> every 5 seconds",
         [](O& o, const std::string&) { o.printFrames = true; return std::string(); }},
    };
    return options;
}

std::string LaunchOptions::help() {
    std::string text =
        "usage: royal-expedition [--screen 480|568] [--data-dir DIR]\n"
        "       royal-expedition [--data-dir DIR] --export-save FILE | --import-save FILE\n"
        "       royal-expedition --headless --data-dir DIR [--epoch SECONDS] [--seed N] [--lang CODE] [--screen 480|568] --script FILE|-\n"
        "       royal-expedition --headless [--screenshot FILE] [--time SECONDS]\n"
        "       royal-expedition --simulate [--player casual|eager|hourly] [--days N] [--seed S] [--report FILE]\n"
        "An idle exploration game. Saves and settings are kept in $XDG_DATA_HOME/royal-expedition\n"
        "(~/.local/share/royal-expedition when it is not set). Measuring (not with --script):\n"
        "--exit-after-first-frame, --print-frames.\n\n";
    size_t width = 0;
    for (const LaunchOption& option : table()) width = std::max(width, optionColumn(option).size());
    for (const LaunchOption& option : table()) {
        const std::string column = optionColumn(option);
        text += "  " + column + std::string(width + 2 - column.size(), ' ') + option.help + "\n";
    }
    return text;
}

std::string LaunchOptions::version() {
    return std::string("royal-expedition ") + RE_VERSION + "\nstore id " + ProductSettings::shared().storeId;
}

LaunchOptions LaunchOptions::parse(const std::vector<std::string>& args, std::string* error) {
    LaunchOptions o;
    auto fail = [&](const std::string& message) {
        if (error && error->empty()) *error = message;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto& options = table();
        const auto option = std::find_if(options.begin(), options.end(), [&](const LaunchOption& candidate) {
            return arg == candidate.name || (candidate.alias && arg == candidate.alias);
        });
        if (option == options.end()) {
            fail("unknown option " + arg + " (see --help)");
            continue;
        }
        std::string value;
        if (option->value) {
            if (i + 1 >= args.size()) {
                fail(arg + " needs a value");
                continue;
            }
            value = args[++i];
        }
        if (std::string message = option->apply(o, value); !message.empty()) fail(message);
    }
    if (o.showHelp || o.showVersion) return o;
    if (!o.storeMode) {
        std::string environmentError;
        o.storeMode = StoreModes::fromEnvironment(&environmentError);
        if (!environmentError.empty()) fail(environmentError);
    }
    if (o.simulate && (!o.scriptPath.empty() || !o.screenshotPath.empty())) fail("--simulate plays by itself: no --script or --screenshot");
    if (!o.simulate && (o.days > 0 || !o.reportPath.empty())) fail("--days and --report go with --simulate");
    if (!o.scriptPath.empty() && !o.headless) fail("--script runs only with --headless");
    if (!o.scriptPath.empty() && o.dataDirectory.empty()) fail("--script needs --data-dir");
    if (!o.exportSavePath.empty() && !o.importSavePath.empty()) fail("--export-save and --import-save go one at a time");
    if ((!o.exportSavePath.empty() || !o.importSavePath.empty()) && o.headless)
        fail("--export-save and --import-save work on the saved game of the data folder, without --headless");
    if (!o.scriptPath.empty() && (o.exitAfterFirstFrame || o.printFrames)) fail("a script run draws no frames to measure");
    return o;
}
