// The browser build's rand(): the native C library's generator (an additive feedback generator
// over 34 words, glibc's default), so that the game, which never seeds it, draws the same
// numbers in the page as natively, and every battle and replay goes the same way there.
#include <cstdint>
#include <cstdlib>

namespace {

// The generator's last 34 words; the next is the sum of the words 31 and 3 places back.
struct Feedback {
    uint32_t r[34];
    int next = 0;  // where the oldest word, 34 places back, is

    uint32_t step()
    {
        const uint32_t v = r[(next + 3) % 34] + r[(next + 31) % 34];
        r[next] = v;
        next = (next + 1) % 34;
        return v;
    }

    void seed(unsigned s)
    {
        int32_t w = static_cast<int32_t>(s ? s : 1);
        r[0] = static_cast<uint32_t>(w);
        for (int i = 1; i < 31; i++) {
            // 16807 * w modulo 2^31 - 1, as the C library computes it, without overflow.
            const int32_t hi = w / 127773, lo = w % 127773;
            w = 16807 * lo - 2836 * hi;
            if (w < 0)
                w += 2147483647;
            r[i] = static_cast<uint32_t>(w);
        }
        for (int i = 31; i < 34; i++)
            r[i] = r[i - 31];
        next = 0;
        // The first 310 words are dropped, as the library does.
        for (int i = 34; i < 344; i++)
            step();
    }
};

Feedback &generator()
{
    static Feedback g = [] {
        Feedback f{};
        f.seed(1);
        return f;
    }();
    return g;
}

}  // namespace

extern "C" int rand(void)
{
    return static_cast<int>(generator().step() >> 1);
}

extern "C" void srand(unsigned seed)
{
    generator().seed(seed);
}
