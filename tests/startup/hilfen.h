// Test helpers: a scratch working folder, files written into it, literal messages as patterns.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

// Each test runs in a fresh folder of its own, removed afterwards.
class ImOrdner : public ::testing::Test {
protected:
    void SetUp() override {
        alt = std::filesystem::current_path();
        char muster[] = "/tmp/korvan-test-XXXXXX";
        ASSERT_NE(mkdtemp(muster), nullptr);
        ordner = muster;
        std::filesystem::current_path(ordner);
    }
    void TearDown() override {
        std::filesystem::current_path(alt);
        std::filesystem::remove_all(ordner);
    }
    std::filesystem::path alt, ordner;
};

inline void Schreibe(const std::string &name, const std::string &inhalt) {
    std::filesystem::path p(name);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << inhalt;
}

inline std::string Lies(const std::string &name) {
    std::ifstream f(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// A death-test pattern that matches exactly this text, optionally followed by a line end.
inline std::string Genau(const std::string &text) {
    std::string r = "^";
    for (char c : text) {
        if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) r += '\\';
        r += c;
    }
    return r + "\n?$";
}

// In a death test's child: standard output joins standard error, unbuffered, so that both
// reach the pattern in the order they were written.
inline void AusgabeNachStderr() {
    fflush(stdout);
    dup2(2, 1);
    setvbuf(stdout, nullptr, _IONBF, 0);
}

// The pixels of a 640 x 400 P6 picture as red, green, blue bytes; false for anything else.
inline bool LiesPPM(const std::string &name, std::vector<unsigned char> &rgb) {
    const std::string ppm = Lies(name);
    int w = 0, h = 0, max = 0, kopf = 0;
    if (sscanf(ppm.c_str(), "P6 %d %d %d%n", &w, &h, &max, &kopf) != 3 || w != 640 || h != 400 ||
        max != 255)
        return false;
    kopf++;  // the one blank after the largest value
    if (ppm.size() != (size_t)kopf + 3 * 640 * 400) return false;
    rgb.assign(ppm.begin() + kopf, ppm.end());
    return true;
}
