// The mouse pointer: hit test, save/restore/place at the view's corners, kinds and animation.
#include "ui_fixture.h"

#include <algorithm>

namespace {

class MouseTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        for (int i = 0; i < WIDTH * HEIGHT; ++i)
            bild[i] = static_cast<unsigned char>(i % 251 + 1);
    }

    unsigned char Slot(int n, int j, int k) { return maus[n * 256 + (j + 8) * 16 + (k + 8)]; }
};

}  // namespace

TEST_F(MouseTest, InsideIsInclusiveAndSigned)
{
    mx = 5;
    my = 6;
    EXPECT_EQ(maus_innen(5, 6, 5, 6), 1);
    EXPECT_EQ(maus_innen(4, 6, 4, 6), 0);
    EXPECT_EQ(maus_innen(5, 7, 5, 7), 0);
    EXPECT_EQ(maus_innen(6, 6, 6, 6), 0);
    EXPECT_EQ(maus_innen(-10, -10, 5, 6), 1);
    EXPECT_EQ(maus_innen(5, 6, 300, 300), 1);
    EXPECT_EQ(maus_innen(6, 7, 4, 5), 0);  // an upside-down rectangle holds nothing
}

TEST_F(MouseTest, TopLeftCornerUsesOnlyTheBottomRightQuarter)
{
    const std::vector<unsigned char> hinter = bild;
    mx = my = 0;
    MouseBackSave();
    for (int j = -8; j < 8; ++j)
        for (int k = -8; k < 8; ++k) {
            const unsigned char soll = (j >= 0 && k >= 0) ? hinter[j * WIDTH + k] : MausPixel(0, (j + 8) * 16 + k + 8);
            ASSERT_EQ(Slot(0, j, k), soll) << k << ", " << j;
        }

    m_show_image = 1;
    MousePlace();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            unsigned char soll = hinter[y * WIDTH + x];
            if (x < 8 && y < 8 && Slot(1, y, x) != 0)
                soll = Slot(1, y, x);
            ASSERT_EQ(Px(x, y), soll) << x << ", " << y;
        }
    EXPECT_TRUE(std::equal(bild.begin() + 20 * WIDTH, bild.end(), hinter.begin() + 20 * WIDTH));

    mx1 = my1 = 0;
    MouseBackRestore();
    EXPECT_EQ(bild, hinter);
}

TEST_F(MouseTest, BottomRightCornerDrawsNineByNine)
{
    const std::vector<unsigned char> hinter = bild;
    mx = 639;
    my = 399;
    MouseBackSave();
    m_show_image = 12;
    MousePlace();
    int gezeichnet = 0;
    for (int y = 380; y < HEIGHT; ++y)
        for (int x = 620; x < WIDTH; ++x) {
            const int j = y - 399, k = x - 639;
            unsigned char soll = hinter[y * WIDTH + x];
            if (j >= -8 && k >= -8 && Slot(12, j, k) != 0) {
                soll = Slot(12, j, k);
                ++gezeichnet;
            }
            ASSERT_EQ(Px(x, y), soll) << x << ", " << y;
        }
    EXPECT_GT(gezeichnet, 0);
    EXPECT_TRUE(std::equal(bild.begin(), bild.begin() + 380 * WIDTH, hinter.begin()));
    EXPECT_EQ(Slot(0, 0, 0), hinter[399 * WIDTH + 639]);
    EXPECT_EQ(Slot(0, 1, 1), MausPixel(0, 9 * 16 + 9));

    mx1 = 639;
    my1 = 399;
    MouseBackRestore();
    EXPECT_EQ(bild, hinter);
}

TEST_F(MouseTest, KindKeepsAFrameAlreadyInItsRange)
{
    m_show_image = 11;
    MouseSet(4);
    EXPECT_EQ(MouseImage, 4);
    EXPECT_EQ(m_image_start, 10);
    EXPECT_EQ(m_image_end, 13);
    EXPECT_EQ(m_show_image, 11);
    MouseSet(3);
    EXPECT_EQ(m_show_image, 5);
    m_show_image = 8;  // the end frame counts as in range
    MouseSet(3);
    EXPECT_EQ(m_show_image, 8);
    MouseSet(1);
    EXPECT_EQ(m_show_image, 9);
    MouseSet(0);
    EXPECT_EQ(m_show_image, 1);

    // An unknown kind changes nothing.
    MouseSet(5);
    MouseSet(-1);
    EXPECT_EQ(MouseImage, 0);
    EXPECT_EQ(m_image_end, 1);
}

TEST_F(MouseTest, AnimationCyclesUpToTheFrameBeforeTheEnd)
{
    MouseSet(2);
    std::vector<int> frames;
    for (int i = 0; i < 7; ++i) {
        frames.push_back(m_show_image);
        MouseAnimate();
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 1, 2, 3, 1}));

    MouseSet(0);
    MouseAnimate();
    EXPECT_EQ(m_show_image, 1);
    MouseSet(4);
    frames.clear();
    for (int i = 0; i < 4; ++i) {
        frames.push_back(m_show_image);
        MouseAnimate();
    }
    EXPECT_EQ(frames, (std::vector<int>{10, 11, 12, 10}));
}

TEST_F(MouseTest, FramesBeyondAShortPointerFileDrawNothing)
{
    std::vector<unsigned char> kurz(maus.begin(), maus.begin() + 5 * 256);
    m_images = kurz.data();
    m_imagesLaenge = static_cast<long>(kurz.size());
    const std::vector<unsigned char> hinter = bild;
    mx = 100;
    my = 100;
    m_show_image = 9;
    MousePlace();
    EXPECT_EQ(bild, hinter);
    m_show_image = 4;
    MousePlace();
    EXPECT_NE(bild, hinter);

    m_images = nullptr;
    m_imagesLaenge = 0;
    bild = hinter;
    MouseBackSave();
    MousePlace();
    MouseBackRestore();
    EXPECT_EQ(bild, hinter);
}
