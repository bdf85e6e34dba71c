// The mouse pointer: position, kinds, and saving, drawing and restoring it in the view buffer.
#include "ui/mouse.h"

#include "display/video.h"
#include "startup/file.h"

int16_t mx = 0, my = 0;
int16_t mx1 = 0, my1 = 0;
uint8_t MouseImage = 0;
int16_t m_image_start = 0, m_image_end = 0;
uint8_t m_show_image = 1;
const int16_t Mauszeiger[5][2] = {{1, 1}, {9, 9}, {1, 4}, {5, 8}, {10, 13}};

namespace {

constexpr int FRAME = 256;  // bytes of one pointer frame, 16 x 16

// Frame n of the pointer file, or null when the file does not hold it.
unsigned char *Frame(int n)
{
    if (m_images == nullptr || static_cast<long>(FRAME) * (n + 1) > m_imagesLaenge)
        return nullptr;
    return m_images + FRAME * n;
}

bool ImBild(int x, int y)
{
    return x >= 0 && x < WIDTH && y >= 0 && y < HEIGHT;
}

}  // namespace

void MousePut(int x, int y)
{
    mx1 = mx;
    my1 = my;
    mx = static_cast<int16_t>(x);
    my = static_cast<int16_t>(y);
}

int maus_innen(short x, short y, short x1, short y1)
{
    return (x <= mx && mx <= x1 && y <= my && my <= y1) ? 1 : 0;
}

void MouseBackSave()
{
    unsigned char *ablage = Frame(0);
    if (ablage == nullptr)
        return;
    // Pixels of the block outside the view keep their old slots, as the restore skips them.
    for (int j = -8; j < 8; ++j)
        for (int k = -8; k < 8; ++k)
            if (ImBild(mx + k, my + j))
                ablage[(j + 8) * 16 + (k + 8)] = VScreen[(my + j) * WIDTH + mx + k];
}

void MouseBackRestore()
{
    const unsigned char *ablage = Frame(0);
    if (ablage == nullptr)
        return;
    for (int j = -8; j < 8; ++j)
        for (int k = -8; k < 8; ++k)
            if (ImBild(mx1 + k, my1 + j))
                VScreen[(my1 + j) * WIDTH + mx1 + k] = ablage[(j + 8) * 16 + (k + 8)];
}

void MousePlace()
{
    const unsigned char *bild = Frame(m_show_image);
    if (bild == nullptr)
        return;
    for (int j = -8; j < 8; ++j)
        for (int k = -8; k < 8; ++k) {
            const unsigned char c = bild[(j + 8) * 16 + (k + 8)];
            if (c != 0 && ImBild(mx + k, my + j))
                VScreen[(my + j) * WIDTH + mx + k] = c;
        }
}

void MouseSet(int n)
{
    if (n < 0 || n >= 5)
        return;
    MouseImage = static_cast<uint8_t>(n);
    m_image_start = Mauszeiger[n][0];
    m_image_end = Mauszeiger[n][1];
    // A frame already in the new range, the end frame included, keeps the animation going.
    if (m_show_image < m_image_start || m_show_image > m_image_end)
        m_show_image = static_cast<uint8_t>(m_image_start);
}

void MouseAnimate()
{
    m_show_image = static_cast<uint8_t>(m_show_image + 1);
    if (m_show_image >= m_image_end)
        m_show_image = static_cast<uint8_t>(m_image_start);
}
