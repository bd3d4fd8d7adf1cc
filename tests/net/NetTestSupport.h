#pragma once
// The test server (index_server.py) on a free loopback port, started for a test program and
// stopped by closing its input; and the wait for background work on a real clock.
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/core/RunLoop.h"

extern char** environ;

class IndexServer {
public:
    explicit IndexServer(const std::string& iconFile) {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string script = std::string(RE_TEST_SOURCE_DIR) + "/tests/net/index_server.py";
        std::vector<char*> argv = {const_cast<char*>("python3"), script.data(), const_cast<char*>(iconFile.c_str()), nullptr};
        if (posix_spawnp(&pid_, "python3", &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        input_ = in[1];
        std::string line;
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
        close(out[0]);
        port_ = line.empty() ? 0 : std::stoi(line);
    }
    ~IndexServer() {
        if (input_ >= 0) close(input_);
        if (pid_ > 0) {
            int status;
            waitpid(pid_, &status, 0);
        }
    }
    int port() const { return port_; }
    std::string base(const std::string& folder) const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/" + folder + "/";
    }

private:
    pid_t pid_ = 0;
    int input_ = -1;
    int port_ = 0;
};

// Seconds since an instant.
inline double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Peak resident memory of this process, in KiB.
inline long peakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
