#pragma once
// Starts a program with an argument list through posix_spawnp (no shell), searched on PATH, and
// reaps it on a detached thread. False when the program could not be started.
#include <string>
#include <vector>

bool spawnDetached(const std::vector<std::string>& arguments);
// The program is found on PATH.
bool programOnPath(const std::string& program);
// Runs a program with an argument list (no shell) and waits for it, at most `timeoutSeconds`
// (then it is killed). Its standard output, up to `maxOutput` bytes, lands in `output`. True
// when it ran and ended with status 0 in time.
bool runAndCapture(const std::vector<std::string>& arguments, std::string* output, size_t maxOutput = 4096,
                   double timeoutSeconds = 2.0);
