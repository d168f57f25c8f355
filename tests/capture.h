// capture.h: what a piece of code prints, and an answer waiting on the standard input, for
// the tests of every module.
#pragma once
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gen/ground.h"

// The whole content of a stream from its start.
inline std::string contents(FILE* f) {
    fflush(f);
    rewind(f);
    std::string s;
    for (int c; (c = fgetc(f)) != EOF;) s += (char)c;
    return s;
}

// Runs f with out redirected to a temporary file (batch use: warnings go on, errors end the
// program) and returns what was written.
template <class F>
std::string written(F f) {
    FILE* saved = out;
    out = tmpfile();
    f();
    std::string s = contents(out);
    fclose(out);
    out = saved;
    return s;
}

// Runs f with the standard error stream, and out with it, going to a temporary file; returns
// what was written.
template <class F>
std::string stderrof(F f) {
    fflush(stderr);
    FILE* tmp = tmpfile();
    int saved = dup(2);
    dup2(fileno(tmp), 2);
    FILE* savedout = out;
    out = stderr;
    f();
    fflush(stderr);
    out = savedout;
    dup2(saved, 2);
    close(saved);
    std::string s = contents(tmp);
    fclose(tmp);
    return s;
}

// Feeds text to the standard input of a (forked) death-test child and makes the session
// interactive, so that reports ask their menus there.
inline void feedstdin(const char* text) {
    char name[] = "/tmp/qorstdinXXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) abort();
    FILE* f = fdopen(fd, "w");
    fputs(text, f);
    fclose(f);
    if (!freopen(name, "r", stdin)) abort();
    remove(name);
    in = stdin;
    out = stdout;
}
