// qorsys.h: the long jump back to the main loop, interrupts, console colours, the machine
// precision, help, shell and external commands.
#pragma once
#include <cstdio>

#include "gen/ground.h"

// The last long-jump error: what abandoned the computation and where.
struct JmpInfo {
    char text[256];    // the formatted message
    const char* file;  // reporting source module
    int line;          // reporting source line (positive)
};
extern JmpInfo jmpinfo;

// Thrown by jmpError and caught by the main loop, which counts a failure and restores the
// state. value is the reporting line, or 31313 for the interrupt menu's jump.
struct JumpError {
    int value;
};

[[noreturn]] void jmpError(const char* format, ...) GEN_PRINTF(1, 2);
#define JMPERROR(module, ...)                                                                  \
    (jmpinfo.file = (module), jmpinfo.line = __LINE__, jmpError(__VA_ARGS__))

double machprec();
void ansicolor(int n);   // the console colour through ANSI escapes (installed as colorhook)
void installsig();       // the interrupt handler for SIGINT (and SIGTERM in batch mode)
void asksig(int signum); // the interrupt dialogue, run at the next safe point
void stopgraph(int flag);
extern int graphics_mode;  // nonzero while an interactive screen uses the graphics window

extern char* pathtoqor;   // data directory searched for the help and default files
extern const char* exelist[5];  // commands of keys -8 .. -4

void checkhlp(const char* argv0);
const char* setpath(const char* argv0, const char* envname);
FILE* openext(const char* ext);
FILE* opendatafile(const char* ext);  // as openext, without a report when missing
void help();
const char* keyinfo(int k);
void clrscr();
void shell();
void spawnkey(int k);
void setexec(const char* argument);
void prtexec();

// The key names of the help file: 21 rows of 4 cells.
struct KeyCell {
    char text[32];  // key number + 146 (0 for a blank cell), then the cell text
    int column;     // position of the cell in its line, minus 1
};
extern KeyCell keykey[84];
