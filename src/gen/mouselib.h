// mouselib.h: the mouse of the drawing layer's window: position, buttons by logical mask
// through the button map, and the MOUSEMAP setting.
#pragma once

// Logical mask (1 left, 2 right, 4 middle and their sums) to physical mask bits of dosmouse
// (1 X button 1, 2 X button 3, 4 X button 2); identity unless MOUSEMAP says otherwise.
extern int Map[8];

// Sets map from a MOUSEMAP text: three digits naming the X buttons serving as left, middle
// and right ("321" swaps left and right). Returns 1 if map was changed, 0 if the text is not
// a permutation of 1, 2, 3 (map unchanged).
int mousemap(const char* text, int map[8]);
void doMouse();            // mousemap(getenv("MOUSEMAP") or "123", Map)
int getMouseX();           // process pending events, then the pointer position
int getMouseY();
int getButton(int b);      // 1 while logical button b is up, 0 while pressed (0 for no button)
void hideMouseCursor();    // nothing to do under X
void showMouseCursor();
