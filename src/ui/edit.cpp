// The map-editor overlay: tile cursor, tile column and buttons over the running game.
#include "ui/edit.h"

#include "map/scroll.h"
#include "ui/font.h"
#include "ui/intfc.h"

uint8_t edit = 0;
int16_t EditSelect = 0;
int16_t PartSelect = 0;
int16_t SelectX = 10, SelectY = 10;

void ShowSpriteSelect()
{
    const int X = SelectX, Y = SelectY, P = PartSelect;
    fill_box(X - 1, Y - 1, X + 19, Y + 211, 110);
    draw_box(X - 2, Y - 2, X + 22, Y + 212, 96);
    for (int i = P; i <= P + 9; ++i)
        PutSprite(static_cast<short>(X), static_cast<short>(Y + 21 * (i - P)), static_cast<short>(i));
    gbalken(X, Y - 9, 22);
    bbalken(X + 25, Y, 15);
    write(X + 30, Y + 3, "H", 254);
    bbalken(X + 25, Y + 12, 15);
    write(X + 30, Y + 15, "R", 254);
}

void ShowEditInterface()
{
    static const char *const knopf[] = {"Neu", "Laden", "Speichern"};
    for (int i = 0; i < 3; ++i) {
        const int y = 350 + 15 * i;
        gbalken(550, y, 60);
        write(554, y + 3, knopf[i], 254);
    }
}
