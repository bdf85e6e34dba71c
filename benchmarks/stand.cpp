// A scene's whole state kept and put back, for the frame benchmarks.
#include "stand.h"

#include <algorithm>
#include <cstring>

#include "control/control.h"
#include "display/video.h"
#include "effects/explose.h"
#include "effects/laser.h"
#include "effects/rauch.h"
#include "effects/rocket.h"
#include "map/scroll.h"
#include "startup/file.h"
#include "ui/edit.h"
#include "ui/intfc.h"
#include "ui/mouse.h"
#include "units/leute.h"

namespace szenen {

namespace {

constexpr int ZELLE = 20;  // edge of a map cell in pixels

}  // namespace

void Sichern(Stand &s)
{
    std::memcpy(s.leute, Leute, sizeof Leute);
    s.mAnz = MAnz;
    s.fAnz = FAnz;
    s.nextFree = NextFree;
    std::memcpy(s.laser, Laser, sizeof Laser);
    std::memcpy(s.rocket, Rocket, sizeof Rocket);
    std::memcpy(s.explose, Explose, sizeof Explose);
    std::memcpy(s.rauch, Rauch, sizeof Rauch);
    s.laserAnz = LaserAnz, s.laserNext = LaserNextFree;
    s.rocketAnz = RocketAnz, s.rocketNext = RocketNextFree;
    s.eAnz = EAnz, s.eNext = ExploseNextFree;
    s.rauchAnz = RauchAnz, s.rauchNext = RauchNextFree;
    s.scrollX = ScrollX, s.scrollY = ScrollY;
    s.rightScroll = RightScroll, s.rightScrollX = RightScrollX, s.rightScrollY = RightScrollY;
    s.rightScrolled = RightScrolled;
    s.nachScroll = NachScroll, s.scrollDir = ScrollDir;
    s.gameSpeed = GameSpeed, s.gameDel = GameDel;
    s.rahmen = Rahmen, s.rahmenX = RahmenX, s.rahmenY = RahmenY;
    s.phase = r, s.edit = edit;
    s.mx = mx, s.my = my, s.mx1 = mx1, s.my1 = my1;
    s.mouseImage = MouseImage, s.imageStart = m_image_start, s.imageEnd = m_image_end;
    s.showImage = m_show_image;
    // The pointer keeps the background it covers in its first frame.
    const long hintergrund = m_images != nullptr ? std::min<long>(256, m_imagesLaenge) : 0;
    s.mausHintergrund.assign(m_images, m_images + hintergrund);
    std::memcpy(s.animated, Animated, sizeof Animated);
    s.aniAnz = AniAnz;
    s.zellen.resize(size_t(AniAnz) * ZELLE * ZELLE);
    for (int i = 0; i < AniAnz; ++i)
        for (int j = 0; j < ZELLE; ++j)
            std::memcpy(&s.zellen[(size_t(i) * ZELLE + j) * ZELLE],
                        Terrain + (Animated[i].y + j) * KARTE_PIXEL + Animated[i].x, ZELLE);
}

void Zuruecksetzen(const Stand &s)
{
    std::memcpy(Leute, s.leute, sizeof Leute);
    MAnz = s.mAnz;
    FAnz = s.fAnz;
    NextFree = s.nextFree;
    std::memcpy(Laser, s.laser, sizeof Laser);
    std::memcpy(Rocket, s.rocket, sizeof Rocket);
    std::memcpy(Explose, s.explose, sizeof Explose);
    std::memcpy(Rauch, s.rauch, sizeof Rauch);
    LaserAnz = s.laserAnz, LaserNextFree = s.laserNext;
    RocketAnz = s.rocketAnz, RocketNextFree = s.rocketNext;
    EAnz = s.eAnz, ExploseNextFree = s.eNext;
    RauchAnz = s.rauchAnz, RauchNextFree = s.rauchNext;
    ScrollX = s.scrollX, ScrollY = s.scrollY;
    RightScroll = s.rightScroll, RightScrollX = s.rightScrollX, RightScrollY = s.rightScrollY;
    RightScrolled = s.rightScrolled;
    NachScroll = s.nachScroll, ScrollDir = s.scrollDir;
    GameSpeed = s.gameSpeed, GameDel = s.gameDel;
    Rahmen = s.rahmen, RahmenX = s.rahmenX, RahmenY = s.rahmenY;
    r = s.phase, edit = s.edit;
    mx = s.mx, my = s.my, mx1 = s.mx1, my1 = s.my1;
    MouseImage = s.mouseImage, m_image_start = s.imageStart, m_image_end = s.imageEnd;
    m_show_image = s.showImage;
    if (!s.mausHintergrund.empty())
        std::memcpy(m_images, s.mausHintergrund.data(), s.mausHintergrund.size());
    std::memcpy(Animated, s.animated, sizeof Animated);
    AniAnz = s.aniAnz;
    for (int i = 0; i < AniAnz; ++i)
        for (int j = 0; j < ZELLE; ++j)
            std::memcpy(Terrain + (Animated[i].y + j) * KARTE_PIXEL + Animated[i].x,
                        &s.zellen[(size_t(i) * ZELLE + j) * ZELLE], ZELLE);
}

}  // namespace szenen
