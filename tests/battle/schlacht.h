// Shared set-up of the battle tests: a cleared battlefield, known frame numbers, placing
// units by hand and looking ahead in the C library's random sequence.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "control/control.h"
#include "display/video.h"
#include "effects/explose.h"
#include "effects/laser.h"
#include "effects/rauch.h"
#include "effects/rocket.h"
#include "map/maps.h"
#include "startup/file.h"
#include "units/data.h"
#include "units/leute.h"

namespace schlacht {

// Frame numbers chosen so that every range is told apart by its numbers alone.
inline void SetzeBildnummern()
{
    MANN_DIV = 120;
    R_ANFANG = 0, R_LANG = 5;
    L_ANFANG = 10, L_LANG = 5;
    O_ANFANG = 20, O_LANG = 5;
    U_ANFANG = 30, U_LANG = 5;
    LO_ANFANG = 40, LO_LANG = 3;
    LU_ANFANG = 45, LU_LANG = 3;
    RO_ANFANG = 50, RO_LANG = 3;
    RU_ANFANG = 55, RU_LANG = 3;
    ANGRIF_L = 60, ANGRIF_LL = 3;
    ANGRIF_R = 65, ANGRIF_RL = 3;
    ANGRIF_O = 70, ANGRIF_OL = 2;
    ANGRIF_U = 74, ANGRIF_UL = 2;
    ANGRIF_LO = 78, ANGRIF_LOL = 4;
    ANGRIF_LU = 84, ANGRIF_LUL = 4;
    ANGRIF_RO = 90, ANGRIF_ROL = 4;
    ANGRIF_RU = 96, ANGRIF_RUL = 4;
}

// The view buffer the drawing tests look at.
inline std::vector<unsigned char> &Bild()
{
    static std::vector<unsigned char> puffer(WIDTH * HEIGHT);
    return puffer;
}

inline unsigned char Pixel(int x, int y)
{
    return VScreen[y * WIDTH + x];
}

// Every table of the battle back to its start: open ground everywhere, no units, no
// effects, the view at the map's corner, a tick on every frame.
inline void Raeumen()
{
    std::memset(Karte, 0, sizeof Karte);
    std::memset(XKarte, 0, sizeof XKarte);
    std::memset(YKarte, 0, sizeof YKarte);
    FeldX = FeldY = 90;
    std::memset(Leute, 0, sizeof Leute);
    MAnz = FAnz = NextFree = 0;
    std::memset(Laser, 0, sizeof Laser);
    LaserAnz = LaserNextFree = 0;
    std::memset(Rocket, 0, sizeof Rocket);
    RocketAnz = RocketNextFree = 0;
    std::memset(Rauch, 0, sizeof Rauch);
    RauchAnz = RauchNextFree = 0;
    std::memset(Explose, 0, sizeof Explose);
    EAnz = ExploseNextFree = 0;
    ScrollX = ScrollY = 0;
    GameSpeed = 1;
    GameDel = 0;
    SetUpData();
    SetzeBildnummern();
    std::fill(Bild().begin(), Bild().end(), 0);
    VScreen = Bild().data();
}

// A unit placed straight into slot `s`, standing at (ax, ay), as the inserts leave it.
inline MANN &Setze(int s, uint8_t feind, uint8_t type, int16_t ax, int16_t ay)
{
    MANN &m = Leute[s];
    std::memset(&m, 0, sizeof m);
    m.feind = feind;
    m.free = 1;
    m.type = type;
    m.who = 255;
    m.ax = m.dx = ax;
    m.ay = m.dy = ay;
    m.x = static_cast<int16_t>(ax - ScrollX);
    m.y = static_cast<int16_t>(ay - ScrollY);
    m.energie = Data[type].energie;
    m.shape = static_cast<int16_t>(type == 8 || type == 9 ? 0 : type * MANN_DIV);
    m.shapeX = type == 8 ? 53 : type == 9 ? 43 : 20;
    m.shapeY = type == 8 || type == 9 ? 30 : 20;
    if (feind)
        ++FAnz;
    else
        ++MAnz;
    if (s == NextFree) {
        while (NextFree < MAX_LEUTE && Leute[NextFree].free)
            ++NextFree;
    }
    return m;
}

// The next n numbers rand() will give, without taking them: a child process inherits the
// generator's state and draws them.
inline std::vector<int> Vorschau(int n)
{
    int rohr[2];
    if (pipe(rohr) != 0)
        std::abort();
    const pid_t kind = fork();
    if (kind == 0) {
        for (int i = 0; i < n; ++i) {
            const int r = rand();
            if (write(rohr[1], &r, sizeof r) != static_cast<ssize_t>(sizeof r))
                _exit(1);
        }
        _exit(0);
    }
    close(rohr[1]);
    std::vector<int> werte(n);
    size_t gelesen = 0;
    while (gelesen < werte.size() * sizeof(int)) {
        const ssize_t k = read(rohr[0], reinterpret_cast<char *>(werte.data()) + gelesen,
                               werte.size() * sizeof(int) - gelesen);
        if (k <= 0)
            std::abort();
        gelesen += static_cast<size_t>(k);
    }
    close(rohr[0]);
    waitpid(kind, nullptr, 0);
    return werte;
}

class Schlacht : public ::testing::Test {
protected:
    void SetUp() override { Raeumen(); }
};

}  // namespace schlacht
