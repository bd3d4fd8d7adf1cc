#pragma once
// Starts a program with an argument list through posix_spawnp (no shell), searched on PATH, and
// reaps it on a detached thread. False when the program could not be started.
#include <string>
#include <vector>

bool spawnDetached(const std::vector<std::string>& arguments);
// The program is found on PATH.
bool programOnPath(const std::string& program);
