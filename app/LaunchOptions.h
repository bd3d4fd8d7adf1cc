#pragma once
// The command line of the game:
//
//   royal-expedition [--screen 480|568] [--data-dir DIR]
//   royal-expedition --headless --data-dir DIR [--epoch SECONDS] [--seed N] [--lang CODE]
//                    [--screen 480|568] --script FILE|-
//   royal-expedition --headless [--screenshot FILE] [--time SECONDS]   (one frame after the launch)
//
// With any of them, --store MODE sets how the store answers (sheet, approve, fail, cancel,
// invalid, empty, silent, disabled; platform/payments/StoreMode.h); without it the environment
// variable RE_STORE does, else the store asks the player in its sheet.
//
// For measurements, with any of the above but a script:
//   --exit-after-first-frame   prints "FIRST_FRAME <ms since main>" once the first frame is
//                              shown, then ends as the window's close does
//   --print-frames             prints "FRAMES <frames drawn> <monotonic seconds> <slowest ms>
//                              <99th percentile ms>" every 5 s (the frames' times since the last)
//
// Every option is one row of `LaunchOptions::table()`: the parser reads it and --help prints it,
// so a new option is one new row.
// With any of the above:
//   --index-url URL            the base address of the game list (https, http to this computer,
//                              or a folder of the game's resources); also RE_INDEX_URL
//   --sign-in on|off           off makes the leaderboard sign-in fail (tests); also RE_SIGN_IN
//
//   royal-expedition [--data-dir DIR] --export-save FILE | --import-save FILE
// copies the saved game out to FILE, or checks FILE and leaves it to be loaded at the next start,
// then stops.
//   royal-expedition --simulate [--player casual|eager|hourly] [--days N] [--seed S] [--report FILE]
//                    [--data-dir DIR] [--epoch SECONDS]
// plays the whole game headless as a player of that kind (app/GameBot) and prints its pace.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/payments/StoreMode.h"

struct LaunchOptions;

struct LaunchOption {
    const char* name;   // "--seed"
    const char* value;  // the value's placeholder in the help ("N"), nullptr for a switch
    const char* help;   // one line
    // Takes the value (empty for a switch) into the options; a non-empty return is the error.
    std::string (*apply)(LaunchOptions& options, const std::string& value);
    const char* alias = nullptr;  // an older spelling that still works, not shown
};

struct LaunchOptions {
    // The last second of the year 9999: later clocks are refused.
    static constexpr double kLatestEpoch = 253402300799.0;
    // A headless picture is taken at most this long after the launch.
    static constexpr double kLongestHeadlessTime = 3600.0;

    bool headless = false;
    std::string dataDirectory;
    std::optional<double> epoch;
    std::optional<uint64_t> seed;
    std::string language;
    double screenHeight = 480;
    std::string scriptPath;  // "-": standard input
    std::string screenshotPath;
    double headlessTime = 0.5;
    bool exitAfterFirstFrame = false;
    bool printFrames = false;
    std::optional<StoreMode> storeMode;  // --store, else RE_STORE
    bool showHelp = false;     // print help() and stop
    bool showVersion = false;  // print version() and stop
    std::string indexUrl;          // "" when not given
    std::optional<bool> signIn;    // nothing when not given
    std::string exportSavePath;    // --export-save
    std::string importSavePath;    // --import-save
    bool simulate = false;
    std::string player = "casual";  // --player: casual, eager or hourly
    double days = 0;                 // --days: 0 plays to the end
    std::string reportPath;          // --report
    // The simulation's clock starts here unless --epoch says otherwise (a morning, 08:00 UTC).
    static constexpr double kSimulationEpoch = 1800000000.0;
    static constexpr double kLongestSimulationDays = 120;

    // An empty error when the line is good.
    static LaunchOptions parse(const std::vector<std::string>& arguments, std::string* error);
    static const std::vector<LaunchOption>& table();
    // The usage lines, then every option of the table on one line each.
    static std::string help();
    // "royal-expedition <version>", the version set once in the build.
    static std::string version();
    // The whole text as one finite number (strtod's forms), else false; the script's numbers too.
    static bool parseNumber(const std::string& text, double* out);
};
