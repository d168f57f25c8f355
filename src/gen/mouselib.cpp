// The mouse queries of the drawing layer and the button map.
#include "gen/mouselib.h"

#include <cstdlib>
#include <cstring>

#include "gen/draw.h"

int Map[8] = {0, 1, 2, 3, 4, 5, 6, 7};

int mousemap(const char* text, int map[8]) {
    if (!text || strlen(text) < 3) return 0;
    int bit[3];
    for (int i = 0; i < 3; i++)
        bit[i] = text[i] == '1' ? 1 : text[i] == '2' ? 4 : text[i] == '3' ? 2 : 8;
    int left = bit[0], middle = bit[1], right = bit[2];
    if (left + middle + right != 7) return 0;
    map[1] = left;
    map[4] = middle;
    map[2] = right;
    map[3] = left + right;
    map[5] = left + middle;
    map[6] = right + middle;
    return 1;
}

void doMouse() {
    const char* m = getenv("MOUSEMAP");
    mousemap(m ? m : "123", Map);
}

int getMouseX() {
    hit(0);
    return dosmouse.x;
}

int getMouseY() {
    hit(0);
    return dosmouse.y;
}

int getButton(int b) {
    hit(0);
    if (b < 0 || b > 7) return 0;
    switch (Map[b]) {
    case 1: return !dosmouse.b1;
    case 2: return !dosmouse.b2;
    case 4: return !dosmouse.b4;
    default: return 0;
    }
}

void hideMouseCursor() {}
void showMouseCursor() {}
