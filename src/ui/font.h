// Bitmap text: 5 x 5 capitals, digits and a few marks, drawn into the view buffer.
#pragma once

void write(int x, int y, const char *str, unsigned char farbe);
void Iwrite(int x, int y, int value, unsigned char farbe);
