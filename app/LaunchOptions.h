#pragma once
// The command line of the game:
//
//   royal-expedition [--screen 480|568] [--data-dir DIR]
//   royal-expedition --headless --data-dir DIR [--epoch SECONDS] [--seed N] [--lang CODE]
//                    [--screen 480|568] --script FILE|-
//   royal-expedition --headless [--screenshot FILE] [--time SECONDS]   (one frame after the launch)
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

    // An empty error when the line is good.
    static LaunchOptions parse(const std::vector<std::string>& arguments, std::string* error);
    static const char* usage();
};
