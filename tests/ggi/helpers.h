// Helpers of the display layer's tests: temporary files, environment, a game-like event step.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <ggi/ggi.h>
#include <ggi/layer.h>

// A folder of its own for each test, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "ggi-test-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string &name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void write_file(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Sets or clears environment variables for one test and puts them back afterwards.
class EnvGuard {
public:
    void set(const char *name, const char *value)
    {
        remember(name);
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvGuard()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }

private:
    void remember(const char *name)
    {
        const char *v = std::getenv(name);
        saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// One delivered event with the frame it came in, reduced to what a script can say.
struct Seen {
    int64_t frame;
    int type;
    int64_t a, b;  // symbol or button or x; y
    bool operator==(const Seen &) const = default;
};

inline Seen seen(int64_t frame, const gii_event &ev)
{
    switch (ev.any.type) {
    case evKeyPress:
    case evKeyRelease:
    case evKeyRepeat:
        return {frame, ev.any.type, ev.key.sym, 0};
    case evPtrRelative:
    case evPtrAbsolute:
        return {frame, ev.any.type, ev.pmove.x, ev.pmove.y};
    case evPtrButtonPress:
    case evPtrButtonRelease:
        return {frame, ev.any.type, ev.pbutton.button, 0};
    default:
        return {frame, ev.any.type, 0, 0};
    }
}

inline std::ostream &operator<<(std::ostream &o, const Seen &s)
{
    return o << "{frame " << s.frame << ", type " << s.type << ", " << s.a << ", " << s.b << "}";
}

// The game's event step: read while a zero-timeout poll reports something; the final empty
// poll ends the frame.
inline std::vector<Seen> drain(ggi_visual_t vis, gii_event_mask mask = emAll)
{
    std::vector<Seen> out;
    struct timeval t = {0, 0};
    while (ggiEventPoll(vis, mask, &t)) {
        gii_event ev;
        int64_t frame = ggiLayerFrame(vis);
        EXPECT_GT(ggiEventRead(vis, &ev, mask), 0);
        out.push_back(seen(frame, ev));
    }
    return out;
}

// `frames` event steps in a row, everything they delivered.
inline std::vector<Seen> run_frames(ggi_visual_t vis, int frames)
{
    std::vector<Seen> out;
    for (int i = 0; i < frames; i++) {
        std::vector<Seen> f = drain(vis);
        out.insert(out.end(), f.begin(), f.end());
    }
    return out;
}

// ggiOpen with stderr captured; the text written goes to `err`.
inline ggi_visual_t open_capturing(const char *display, std::string &err)
{
    testing::internal::CaptureStderr();
    ggi_visual_t v = ggiOpen(display, nullptr);
    err = testing::internal::GetCapturedStderr();
    return v;
}

// The pixels of a PPM (P6) file after checking its header.
inline std::string ppm_pixels(const std::string &ppm, int w, int h)
{
    std::string header = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    EXPECT_EQ(ppm.substr(0, header.size()), header);
    EXPECT_EQ(ppm.size(), header.size() + size_t(w) * h * 3);
    return ppm.size() > header.size() ? ppm.substr(header.size()) : std::string();
}
