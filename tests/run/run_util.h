// Starting the real program headless and reading what it wrote.
#pragma once
#include <string>
#include <vector>

struct RunResult {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs KRX_BIN_DIR/<program> (or <program> when it is a full path) with `args` in `cwd`, with the environment
// entries `env` ("NAME=value") added to a headless environment.
RunResult run_Program(const std::string& program, const std::vector<std::string>& args, const std::string& cwd,
                      const std::vector<std::string>& env);

// A fresh copy of the sample data set in a temporary folder.
std::string run_FreshDataDir(const std::string& name);
