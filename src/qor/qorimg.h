// qorimg.h: image files (the whole state in 96 big-endian doubles) and the history of images.
#pragma once

void readimage(int flag);         // reads img, closes it; then setconst and setEps
void writeimage(int flag);        // writes img, closes it
double firead(const char* name, double current);
void fiwrite(double value);
void endian(unsigned char* buf, int n);  // reverses the bytes when reverse is set
void openimg(int flag);           // asks for an image name: 0 read, 1 write
int yes(const char* format, const char* argument);
const char* historyname(int k);
void pushhistory(int flag);
void pophistory(int k, int flag);
