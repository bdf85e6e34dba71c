// What every test folder shares: files and folders, the environment, runs of the built
// programs and work done in a child process; and the headers every test file uses, so that
// each names only its own.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace test {

namespace fs = std::filesystem;

inline std::string Read(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void Write(const fs::path &file, const std::string &text)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

// A folder of its own below /tmp, removed with this object unless the test failed, so that
// a failure can be replayed by hand.
class Folder {
public:
    Folder()
    {
        std::string name = "/tmp/korvan-test-XXXXXX";
        if (mkdtemp(name.data()) != nullptr)
            path_ = name;
    }
    ~Folder()
    {
        if (!path_.empty() && !::testing::Test::HasFailure())
            fs::remove_all(path_);
    }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;

    const fs::path &path() const { return path_; }
    fs::path operator/(const std::string &name) const { return path_ / name; }

private:
    fs::path path_;
};

// Makes `folder` a place to play in: copies of the generated resources (a test may damage
// them) and links to both programs.
inline void Furnish(const fs::path &folder)
{
    const fs::path run = KORVAN_RUN_DIR;
    fs::create_directories(folder);
    for (const char *part : {"resource", "data", "mission"})
        fs::copy(run / part, folder / part, fs::copy_options::recursive);
    for (const char *program : {"korvan", "lumora"})
        fs::create_symlink(run / program, folder / program);
}

class GameFolder : public Folder {
public:
    GameFolder() { Furnish(path()); }
};

// Sets or clears environment variables and puts them back when it goes.
class Env {
public:
    void Set(const char *name, const char *value)
    {
        const char *old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~Env()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            it->second ? setenv(it->first.c_str(), it->second->c_str(), 1) : unsetenv(it->first.c_str());
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// What a program run left: exit status (-1 when a signal ended it), standard output and error.
struct Result {
    int status = -1;
    std::string out, err;
};

// Runs a shell command in `folder` with no desktop in reach, standard input empty.
inline Result Shell(const fs::path &folder, const std::string &command)
{
    const std::string line =
        "cd '" + folder.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY " + command + " >.out 2>.err </dev/null";
    const int s = std::system(line.c_str());
    const Result r{WIFEXITED(s) ? WEXITSTATUS(s) : -1, Read(folder / ".out"), Read(folder / ".err")};
    fs::remove(folder / ".out");
    fs::remove(folder / ".err");
    return r;
}

// Runs the game in `folder` on the headless display with these options; a game that hangs is
// ended after a minute.
inline Result Korvan(const fs::path &folder, const std::string &display)
{
    return Shell(folder, "GGI_DISPLAY='" + display + "' timeout 60 ./korvan");
}

// A terminal of 80 x 25 cells in a tmux server of its own, its shell in `folder`: what a test types there and
// what the screen shows. The server ends with this object.
class Tmux {
public:
    explicit Tmux(const fs::path &folder) : folder_(folder), socket_((folder / ".tmux").string())
    {
        Do("new-session -d -x 80 -y 25 -c '" + folder.string() +
           "' 'env -u DISPLAY -u WAYLAND_DISPLAY -u GGI_DISPLAY TERM=screen bash --norc --noprofile'");
    }
    ~Tmux() { Do("kill-server"); }
    Tmux(const Tmux &) = delete;
    Tmux &operator=(const Tmux &) = delete;

    std::string Do(const std::string &args) const { return Shell(folder_, "tmux -S '" + socket_ + "' " + args).out; }
    std::string Screen() const { return Do("capture-pane -p"); }
    // Whether a picture fills the screen: 20 rows or more of 70 characters or more.
    static bool Filled(const std::string &screen)
    {
        std::istringstream in(screen);
        int rows = 0;
        for (std::string l; std::getline(in, l);)
            rows += std::count_if(l.begin(), l.end(), [](char c) { return c != ' '; }) >= 70;
        return rows >= 20;
    }
    // Waits up to 30 seconds for the screen to pass `ok`; the screen last seen.
    std::string Await(const std::function<bool(const std::string &)> &ok) const
    {
        std::string s;
        for (int i = 0; i < 300 && !ok(s = Screen()); i++)
            usleep(100000);
        return s;
    }
    // Types a command line; its status lands in the file `status`, the terminal's modes before and after it in
    // `before` and `after`.
    void Start(std::string command) const
    {
        for (const char *file : {"status", "after"})
            fs::remove(folder_ / file);
        command = "stty -g >before; " + command + "; echo $? >status; stty -g >after";
        for (size_t i = 0; (i = command.find('\'', i)) != std::string::npos; i += 4)
            command.replace(i, 1, "'\\''");
        Do("send-keys -l '" + command + "'");
        Do("send-keys Enter");
    }
    // The status of the command line started last, once it has ended (30 seconds at most).
    std::string Status() const
    {
        for (int i = 0; i < 300 && !fs::exists(folder_ / "after"); i++)
            usleep(100000);
        return Read(folder_ / "status");
    }
    // Whether the terminal is as a shell leaves it: the normal screen, no mouse reports, the cursor shown, the same
    // modes as before the command.
    bool Restored() const
    {
        return Do("display -p '#{alternate_on}#{mouse_any_flag}#{mouse_standard_flag}#{cursor_flag}'") == "0001\n" &&
               Read(folder_ / "before") == Read(folder_ / "after") && !Read(folder_ / "after").empty();
    }

private:
    fs::path folder_;
    std::string socket_;
};

// Runs `work` in a child process and hands back the numbers it returned; empty when the
// child failed. The child ends with _exit, so a game's one-time start-up never reaches the
// test process.
inline std::vector<uint64_t> InChild(const std::function<std::vector<uint64_t>()> &work)
{
    int pipefd[2];
    if (pipe(pipefd) != 0)
        return {};
    fflush(stdout);
    fflush(stderr);
    const pid_t child = fork();
    if (child == 0) {
        close(pipefd[0]);
        const std::vector<uint64_t> values = work();
        for (uint64_t v : values)
            if (write(pipefd[1], &v, sizeof v) != static_cast<ssize_t>(sizeof v))
                _exit(3);
        _exit(values.empty() ? 4 : 0);
    }
    close(pipefd[1]);
    std::vector<uint64_t> values;
    for (uint64_t v; read(pipefd[0], &v, sizeof v) == static_cast<ssize_t>(sizeof v);)
        values.push_back(v);
    close(pipefd[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? values : std::vector<uint64_t>{};
}

// Digests as the tables of expected values spell them, one a line.
inline std::string Hex(const std::vector<uint64_t> &values)
{
    std::string s;
    for (uint64_t v : values) {
        char t[32];
        std::snprintf(t, sizeof t, "0x%016llxull,\n", static_cast<unsigned long long>(v));
        s += t;
    }
    return s;
}

}  // namespace test
