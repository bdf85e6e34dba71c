// Start-up where the games do not look: the display's set-up messages and palette routines, long
// display rows, the loaders' limits, stops and way back, failed allocations and small utilities.
#include <malloc.h>
#include <sys/resource.h>

#include "display/pcxlib.h"
#include "display/video.h"
#include "ggi/internal.h"
#include "startup/file.h"
#include "support.h"

extern "C" void __asan_init() __attribute__((weak));  // AddressSanitizer's; it reserves its own address space

namespace {

using namespace test;

// Ends a case with status 0 and these numbers on standard error.
[[noreturn]] void Zeige(const std::vector<long> &zahlen)
{
    for (size_t i = 0; i < zahlen.size(); ++i)
        fprintf(stderr, i ? " %ld" : "%ld", zahlen[i]);
    _exit(0);
}

// Caps the address space a little above what the process maps, so that large allocations fail.
void Knapp()
{
    rlimit r{};
    std::ifstream("/proc/self/statm") >> r.rlim_cur;  // pages mapped
    r.rlim_max = r.rlim_cur = r.rlim_cur * sysconf(_SC_PAGESIZE) + (64 << 10);
    freopen("/dev/null", "w", stdout), mallopt(M_MMAP_THRESHOLD, 128 << 10), malloc_trim(0), setrlimit(RLIMIT_AS, &r);
}

// A case, run in a child in a folder of its own: its status and standard error; `knapp` ones not under the sanitizer.
struct Fall {
    std::function<void()> tun;
    int status;
    std::string text;
    bool knapp = false;
};

void Pruefe(const std::vector<Fall> &faelle)
{
    for (const Fall &f : faelle)
        if (Folder o; fs::create_directory(o / "resource") && (!f.knapp || &__asan_init == nullptr)) {
            EXPECT_EXIT((fs::current_path(o.path()), f.tun()), testing::ExitedWithCode(f.status), testing::Eq(f.text))
                << &f - &faelle[0];
        }
}

TEST(Anzeige, SetUpMessagesPalettesAndLongRows)
{
    const std::string gut = "Der Grafikmodus scheint in Ordnung zu sein.\nDirectBuffer ist nicht verf\xfcgbar, normale "
                            "Pufferung wird verwendet.\n";
    Pruefe({
        {[] { setenv("GGI_DISPLAY", "memory:-nodb", 1), dup2(2, 1), exit(init640x480()); }, 1,
         "GGI_DISPLAY=memory:-nodb\nGGI-Visual ok.\n" + gut},
        {[] { setenv("GGI_DISPLAY", "memory:-depths=16,24", 1), dup2(2, 1), exit(init640x480()); }, 1,
         "GGI_DISPLAY=memory:-depths=16,24\nGGI-Visual ok.\n"
         "Der 8-Bit Farbmodus funktioniert nicht.\nDas Visual wird wieder geschlossen ...\nEs wird nun versucht, mit "
         "dem palemu Modus, den 8-Bit "
         "Farbmodus zu emulieren...\nPalemu-Visual ok.\nPalemu funktioniert.\n" +
             gut},
        {[] {
             const Result r = Shell(GameFolder().path(), "env -u GGI_DISPLAY ./korvan");
             fputs(r.out.substr(r.out.find("GGI_")).c_str(), stderr), _exit(r.status);
         },
         1, "GGI_DISPLAY=(null)\nDer Grafikmodus 640 x 400 mit 256 Farben konnte nicht eingerichtet werden!\n"},
        // A second set-up refuses; palette entries 20, 21, 40, 41, 249 and 250 as the routines set them.
        {[] {
             unsigned char p[151 * 3] = {63, 0, 1, 0, 63, 63, 255, 128, 1};
             ggi_color c = {40000, 20000, 1, 0};
             setenv("GGI_DISPLAY", "memory", 1), freopen("/dev/null", "w", stdout), init640x480(),
                 Set_Palette(20, 21, p, 0);
             Set_Palette(250, 400, p + 6, 2), Set_Palette2(40, 40, &c, 32), Set_Palette2(41, 41, &c, 64);
             std::vector<long> v = {init640x480()};
             for (const ggi_color *f = vis->picture().palette; int i : {20, 21, 40, 41, 249, 250})
                 v.insert(v.end(), {f[i].r, f[i].g, f[i].b});
             Zeige(v);
         },
         0, "0 64512 0 1024 0 64512 64512 20000 10000 0 40000 20000 1 0 0 0 65280 32768 256"},
        // A picture's codes start after its 128 header bytes; its palette is the file's last 768 bytes.
        {[] {
             std::string p = std::string(128, 'x') + "\x01\xc2\x03";
             for (int i = 0; i < 256; ++i)
                 p += {char(i), char(255 - i), 7};
             std::vector<unsigned char> v(WIDTH * HEIGHT);
             VScreen = v.data(), Write("p", p), put_PCX("p"), LoadPalette("p", pal);
             Zeige({v[0], v[1], v[2], v.back(), pal[0].r, pal[0].g, pal[0].b, pal[255].r, pal[255].g, pal[255].b});
         },
         0, "1 3 3 255 0 65280 1792 65280 0 1792"},
        // Rows of a direct buffer longer than the view's: each row goes to the start of its own.
        {[] {
             std::vector<unsigned char> v(WIDTH * HEIGHT, 7), s((WIDTH + 60) * HEIGHT, 0);
             ggi_directbuffer d{};
             d.buffer.plb.stride = WIDTH + 60, d.write = Screen = s.data(), db = &d, VScreen = v.data(), v[WIDTH] = 8,
             Cpy2Screen();
             Zeige({s[WIDTH - 1], s[WIDTH], s[WIDTH + 60], s.back()});
         },
         0, "7 0 8 0"},
    });
}

TEST(Lader, LimitsStopsTheWayBackAndSmallUtilities)
{
    Pruefe({
        {[] { Write("resource/lsprites.rsc", std::string(900001, 'x')), LoadLeute(); }, 1,
         "Die Sprite-Datei 'lsprites.rsc' passt nicht mehr in den Puffer (900000 Bytes)!"},
        // A resource folder that links into another tree leads back to the game's folder, not the tree's.
        {[] {
             fs::create_directories("dort"), fs::create_directory("spiel"),
                 fs::create_directory_symlink(fs::current_path() / "dort", "spiel/resource");
             for (const char *n : {"dort/lsprites.rsc", "dort/ksprites.rsc", "dort/hsprites.rsc"})
                 Write(n, "12345");
             fs::current_path("spiel"), LoadLeute(),
                 Zeige({KAMPF_START, HELI_START, LeuteLaenge, fs::current_path().filename() == "spiel"});
         },
         0, "5 10 15 1"},
        {[] { Write("gross", ""), fs::resize_file("gross", 200 << 20), Knapp(), LoadSomething("Gross", "gross"); }, 1,
         "Nicht genug Speicher, um 'gross' zu laden!", true},
        {[] { Knapp(), LoadLeute(); }, 1, "Nicht genug Speicher, um die Sprites zu laden!", true},
        // strlow keeps the first 255 characters; a shorter text then ends where it ends.
        {[] {
             fputs(strlow(std::string(300, 'K').c_str()), stderr), fputs(strlow("Lade MAUS.RSC"), stderr),
                 fputs(strlow(nullptr), stderr);
             _exit(0);
         },
         0, std::string(255, 'k') + "lade maus.rsc"},
        // floadt keeps the picture under zero bytes and answers the count asked for, or the size.
        {[] {
             Write("b", std::string("KOPF\x05\0\x07\0\x09", 9));
             unsigned char b[] = {1, 1, 1, 1, 1};
             const long n = floadt("b", "rb", 5, b, 4);
             Zeige({n, floadt("b", "rb", 0, nullptr, 0), b[0], b[1], b[2], b[3], b[4]});
         },
         0, "5 9 5 1 7 1 9"},
        // rnd: either order of the bounds draws alike, both included; equal bounds draw nothing.
        {[] {
             std::vector<long> a, b;
             for (srand(1); a.size() < 200; rnd(7, 7))
                 a.push_back(rnd(3, 10));
             for (srand(1); b.size() < 200;)
                 b.push_back(rnd(10, 3));
             Zeige({a == b, *std::min_element(a.begin(), a.end()), *std::max_element(a.begin(), a.end())});
         },
         0, "1 3 10"},
    });
}

}  // namespace
