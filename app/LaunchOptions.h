#pragma once
// The command line of the game:
//
//   royal-expedition [--screen 480|568] [--data-dir DIR]
//   royal-expedition --headless --data-dir DIR [--epoch SECONDS] [--seed N] [--lang CODE]
//                    [--screen 480|568] --script FILE|-
//   royal-expedition --headless [--screenshot FILE] [--time SECONDS]   (one frame after the launch)
//
// For measurements, with any of the above but a script:
//   --exit-after-first-frame   prints "FIRST_FRAME <ms since main>" once the first frame is
//                              shown, then ends as the window's close does
//   --print-frames             prints "FRAMES <frames drawn> <monotonic seconds>" every 5 s
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

    // An empty error when the line is good.
    static LaunchOptions parse(const std::vector<std::string>& arguments, std::string* error);
    static const char* usage();
};
