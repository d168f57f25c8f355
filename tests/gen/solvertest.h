// solvertest.h: helpers shared by the tests of the numerical toolkit.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "gen/ground.h"

#include "capture.h"


// Number of occurrences of what in text.
inline int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) n++;
    return n;
}

// In a death-test child: interactive mode with the given answers to the error menus.
inline void answer(const char* text) {
    char name[] = "/tmp/qoranswerXXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) exit(100);
    FILE* f = fdopen(fd, "w");
    fputs(text, f);
    fclose(f);
    if (!freopen(name, "r", stdin)) exit(101);
    remove(name);
    in = stdin;
    out = stdout;
}

// Sets the interrupt flag for one scope.
struct Interrupted {
    Interrupted() { sig = 1; }
    ~Interrupted() { sig = 0; }
};
