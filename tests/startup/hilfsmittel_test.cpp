// The small utilities: random numbers, lower-casing, whole-file, part-file and transparent reads.
#include <climits>
#include <cstring>
#include <set>

#include "startup/file.h"
#include "startup/hilfen.h"

namespace {

TEST(Rnd, StaysWithinBothBoundsInEitherOrder) {
    std::set<int> gesehen;
    for (int i = 0; i < 2000; i++) {
        const int w = rnd(-40, 40);
        ASSERT_GE(w, -40);
        ASSERT_LE(w, 40);
        gesehen.insert(w);
    }
    EXPECT_EQ(gesehen.size(), 81u);
    std::set<int> klein;
    for (int i = 0; i < 200; i++) klein.insert(rnd(1, 0)), klein.insert(rnd(0, 1));
    EXPECT_EQ(klein, (std::set<int>{0, 1}));
    // The widest bounds take no overflow.
    const int w = rnd(INT_MIN, INT_MAX);
    EXPECT_TRUE(w >= INT_MIN && w <= INT_MAX);
}

TEST(Rnd, DrawsExactlyOneNumberUnlessTheBoundsAreEqual) {
    srand(77);
    const int erste = rand(), zweite = rand();
    srand(77);
    EXPECT_EQ(rnd(5, 5), 5);
    EXPECT_EQ(rand(), erste);
    srand(77);
    EXPECT_EQ(rnd(3, 10), 3 + erste % 8);
    EXPECT_EQ(rand(), zweite);
    srand(77);
    EXPECT_EQ(rnd(10, 3), 3 + erste % 8);
}

TEST(Strlow, CopiesAtMost255CharactersLowerCased) {
    std::string lang;
    for (int i = 0; i < 300; i++) lang += (char)('A' + i % 26);
    const char *r = strlow(lang.c_str());
    EXPECT_EQ(r, Text_Low);
    std::string erwartet = lang.substr(0, 255);
    for (char &c : erwartet) c = (char)tolower(c);
    EXPECT_EQ(std::string(r), erwartet);
    // A short string after a long one brings its own end.
    EXPECT_STREQ(strlow("Lade MAUS.RSC"), "lade maus.rsc");
    EXPECT_STREQ(strlow(nullptr), "");
}

class Dateien : public ImOrdner {};

TEST_F(Dateien, FloadfileEndsTheTextWithAZero) {
    Schreibe("text.txt", std::string("ab\0cd", 5));
    long n = -1;
    char *p = floadfile("text.txt", "rb", &n);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(std::string(p, 6), std::string("ab\0cd\0", 6));
    free(p);
    Schreibe("leer.txt", "");
    p = floadfile("leer.txt", "rb", &n);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(p[0], 0);
    free(p);
    EXPECT_EQ(floadfile("fehlt.txt", "rb", &n), nullptr);
    EXPECT_EQ(floadfile(nullptr, "rb", &n), nullptr);
    EXPECT_EQ(floadfile("text.txt", nullptr, &n), nullptr);
}

TEST_F(Dateien, FloadReadsWholeOrPartOfAFile) {
    Schreibe("daten.bin", "0123456789");
    unsigned int n = 0;
    unsigned char *p = fload("daten.bin", "rb", n, nullptr, 0, nullptr);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(n, 10u);
    EXPECT_EQ(std::string((char *)p, 10), "0123456789");
    free(p);
    // After a header, into a buffer of the caller's.
    unsigned char eigen[8] = {};
    n = 0;
    EXPECT_EQ(fload("daten.bin", "rb", n, eigen, 6, nullptr), eigen);
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(std::string((char *)eigen, 4), "6789");
    // A count larger than the file: the count becomes what was read.
    n = 8;
    fload("daten.bin", "rb", n, eigen, 5, nullptr);
    EXPECT_EQ(n, 5u);
    // A header beyond the end leaves nothing to read instead of a huge count.
    n = 0;
    p = fload("daten.bin", "rb", n, nullptr, 20, nullptr);
    EXPECT_EQ(n, 0u);
    free(p);
    n = 0;
    EXPECT_EQ(fload("fehlt.bin", "rb", n, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(fload(nullptr, "rb", n, nullptr, 0, nullptr), nullptr);
}

TEST_F(Dateien, TransparentReadsKeepThePictureUnderZeroBytes) {
    Schreibe("bild.bin", std::string("KOPF\x05\0\x07\0\x09", 9));
    unsigned char bild[6] = {1, 1, 1, 1, 1, 1};
    EXPECT_EQ(floadt("bild.bin", "rb", 6, bild, 4), 6u);  // the count asked for
    EXPECT_EQ(std::vector<unsigned char>(bild, bild + 6),
              (std::vector<unsigned char>{5, 1, 7, 1, 9, 1}));
    EXPECT_EQ(floadt("bild.bin", "rb", 0, nullptr, 0), 9u);
    EXPECT_EQ(floadt("fehlt.bin", "rb", 3, bild, 0), 0u);
    EXPECT_EQ(floadt(nullptr, "rb", 3, bild, 0), 0u);

    FILE *f = fopen("bild.bin", "rb");
    unsigned char ziel[4] = {2, 2, 2, 2};
    freadt(ziel, 4, f);
    fclose(f);
    EXPECT_EQ(std::vector<unsigned char>(ziel, ziel + 4),
              (std::vector<unsigned char>{'K', 'O', 'P', 'F'}));
}

TEST(Memadd, AddsWrappingAndStopsAtSize) {
    unsigned char b[4] = {0, 250, 255, 9};
    memadd(b, 10, 3);
    EXPECT_EQ(std::vector<unsigned char>(b, b + 4), (std::vector<unsigned char>{10, 4, 9, 9}));
}

}  // namespace
