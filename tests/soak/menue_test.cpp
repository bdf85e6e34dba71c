// The main menu's pointer under moves far beyond the view, in a process of its own.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "display/video.h"
#include "ui/menu.h"
#include "ui/mouse.h"

namespace {

namespace fs = std::filesystem;

// A relative move of the largest size pushes the pointer against the border, never round
// past the end of the number: a menu that added in too few bits wrapped it to the far side
// (and broke the rules of signed arithmetic on the way).
TEST(Menue, FarRelativeMoveStopsAtTheBorder)
{
    char muster[] = "/tmp/korvan-menue-XXXXXX";
    ASSERT_NE(mkdtemp(muster), nullptr);
    const fs::path ordner = muster;
    std::ofstream(ordner / "menue.ev") << "1 move 2147483647 2147483647\n"
                                          "2 move -5 -7\n"
                                          "3 keydown 27\n";
    int rohr[2];
    ASSERT_EQ(pipe(rohr), 0);
    fflush(stdout);
    const pid_t kind = fork();
    if (kind == 0) {
        const int still = open("/dev/null", O_WRONLY);
        if (chdir(ordner.c_str()) != 0 || still < 0 || dup2(still, 1) < 0)
            _exit(10);
        setenv("GGI_DISPLAY", "memory:-events=menue.ev", 1);
        if (init640x480() == 0)
            _exit(11);
        HauptMenu();
        const int16_t ort[2] = {mx, my};
        _exit(write(rohr[1], ort, sizeof ort) == sizeof ort ? 0 : 12);
    }
    close(rohr[1]);
    int16_t ort[2] = {-1, -1};
    const ssize_t n = read(rohr[0], ort, sizeof ort);
    close(rohr[0]);
    int status = 0;
    waitpid(kind, &status, 0);
    fs::remove_all(ordner);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    ASSERT_EQ(n, ssize_t(sizeof ort));
    EXPECT_EQ(ort[0], WIDTH - 1 - 5);
    EXPECT_EQ(ort[1], HEIGHT - 1 - 7);
}

}  // namespace
