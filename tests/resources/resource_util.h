// Reading the generated resources and running the resource tools, for the resource tests.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace restest {

inline std::string RunPath(const std::string &name) { return std::string(KORVAN_RUN_DIR) + "/" + name; }
inline std::string ToolPath(const std::string &name) { return std::string(KORVAN_BINARY_DIR) + "/tools/" + name; }
inline std::string SourcePath(const std::string &name) { return std::string(KORVAN_SOURCE_DIR) + "/" + name; }

inline std::vector<unsigned char> ReadAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Exit status and standard error of a shell command.
struct Result {
    int status;
    std::string err;
};

inline Result RunTool(const std::string &command) {
    std::string errFile = std::filesystem::temp_directory_path() / ("restest_err_" + std::to_string(::getpid()));
    int rc = std::system((command + " 2>" + errFile).c_str());
    auto bytes = ReadAll(errFile);
    std::filesystem::remove(errFile);
    return {WEXITSTATUS(rc), std::string(bytes.begin(), bytes.end())};
}

// A fresh folder below the system's temporary folder, removed with the object.
struct TempDir {
    std::filesystem::path path;
    explicit TempDir(const std::string &tag) {
        path = std::filesystem::temp_directory_path() / ("korvan_" + tag + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string operator/(const std::string &name) const { return (path / name).string(); }
};

}  // namespace restest
