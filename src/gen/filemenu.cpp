// filemenu.cpp: list the files of a wildcard mask and ask for one of them.
#include "gen/filemenu.h"

#include "gen/ground.h"

#include <glob.h>
#include <unistd.h>

#include <cstring>

namespace {

char fmenu_ret[128];  // the current mask, at the end the chosen name
const int retmax = (int)sizeof fmenu_ret - 1;

bool iswild(const char* t) { return strpbrk(t, "?*") != nullptr; }

// Copies at most room characters of t to the end of fmenu_ret.
void append(const char* t) {
    size_t used = strlen(fmenu_ret);
    size_t n = strlen(t);
    if (n > retmax - used) n = retmax - used;
    memcpy(fmenu_ret + used, t, n);
    fmenu_ret[used + n] = 0;
}

// The names matching mask on the standard output, as ls shows them: in columns on a
// terminal, one a line otherwise.
void listfiles(const char* mask) {
    glob_t g;
    int r = glob(mask, 0, nullptr, &g);
    if (r != 0) {
        if (r == GLOB_NOMATCH) fprintf(stderr, "no file matches %s\n", mask);
        globfree(&g);
        return;
    }
    int n = (int)g.gl_pathc;
    int width = 1;
    for (int i = 0; i < n; i++) {
        int l = (int)strlen(g.gl_pathv[i]) + 2;
        if (l > width) width = l;
    }
    int cols = isatty(fileno(stdout)) ? S.cols / width : 1;
    if (cols < 1) cols = 1;
    int rows = (n + cols - 1) / cols;
    for (int row = 0; row < rows; row++) {
        for (int col = 0; col < cols; col++) {
            int i = col * rows + row;
            if (i >= n) break;
            bool last = col == cols - 1 || i + rows >= n;
            if (last)
                printf("%s", g.gl_pathv[i]);
            else
                printf("%-*s", width, g.gl_pathv[i]);
        }
        putchar('\n');
    }
    globfree(&g);
}

// Reads one whitespace-delimited word of at most room characters into fmenu_ret (the rest of
// a longer word and of the line are dropped). False at the end of the input before a word.
bool readword(int room) {
    int c;
    while ((c = readchar(stdin)) != EOF && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {}
    if (c == EOF) return false;
    int n = 0;
    for (; c != EOF && c != ' ' && c != '\t' && c != '\n' && c != '\r'; c = readchar(stdin))
        if (n < room) fmenu_ret[n++] = (char)c;
    fmenu_ret[n] = 0;
    while (c != EOF && c != '\n') c = readchar(stdin);
    return true;
}

}  // namespace

char* fmenu(const char* mask, int flag) {
    if (flag) {
        fputc(7, stderr);
        return nullptr;
    }
    const char* ext = nullptr;
    for (const char* t = mask; *t; t++) {
        if (*t == '.') ext = t;
        if (*t == '?' || *t == '*') ext = nullptr;
    }
    int extlen = ext ? (int)strlen(ext) : 0;
    int room = extlen < retmax ? retmax - extlen : 0;
    fmenu_ret[0] = 0;
    append(mask);
    do {
        listfiles(fmenu_ret);
        if (ext)
            printf("enter file name without extension %s : ", ext);
        else
            printf("enter file name : ");
        fflush(stdout);
        if (!readword(room)) return nullptr;
        if (ext) append(ext);
    } while (iswild(fmenu_ret));
    return fmenu_ret;
}
