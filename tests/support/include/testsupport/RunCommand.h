#pragma once
// Runs a shell command for the tests of command-line programs: its standard output, and in
// *status its exit code (-1 when it did not exit normally). Header only, so test programs that
// link nothing of the engine can use it.

#include <sys/wait.h>

#include <cstdio>
#include <string>

inline std::string RunCommand(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int rc = pclose(p);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}
