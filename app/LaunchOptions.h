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
//   --print-frames             prints "FRAMES <frames drawn> <monotonic seconds>" every 5 s
//
// With any of the above:
//   --index-url URL            the base address of the game list (https, http to this computer,
//                              or a folder of the game's resources); also RE_INDEX_URL
//   --sign-in on|off           off makes the leaderboard sign-in fail (tests); also RE_SIGN_IN
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/payments/StoreMode.h"

struct LaunchOptions {
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
    std::string indexUrl;          // "" when not given
    std::optional<bool> signIn;    // nothing when not given

    // An empty error when the line is good.
    static LaunchOptions parse(const std::vector<std::string>& arguments, std::string* error);
    static const char* usage();
    // The whole text as one finite number (strtod's forms), else false; the script's numbers too.
    static bool parseNumber(const std::string& text, double* out);
};
