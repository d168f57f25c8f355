// scroll.cpp: the pager over the captured console output: paging, search, writing the
// history to a file, switching the input to an include file.
#include "gen/ground.h"

#include <cstdlib>
#include <cstring>

namespace {

char search[32];   // the last search string, kept across calls
int searchlen = 0;

// Lines of the captured text end at characters with codes 1 to 26.
bool sep(char c) { return c >= 1 && c <= 26; }

int clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// The pager works on the text _S_buf[0..S.len) with positions at line starts: 0, the place
// after a separator, or the end S.len. The window shows the lines that end at `pos`.
struct Pager {
    int pos = 0;
    int state = 0;  // 0 normal, 1 the window hit the top, 2 the bottom
    int lastmatch = -1;

    int len() const { return S.len; }
    // S may have been set to sizes the pager cannot use; it pages within these bounds.
    static int lines() { return clamp(S.lines, 2, ScrollMaxLines); }
    static int cols() { return clamp(S.cols, 1, ScrollMaxCols); }
    static int window() { return lines() - 1; }

    int next(int p) const {
        while (p < len() && !sep(_S_buf[p])) p++;
        return p < len() ? p + 1 : len();
    }
    int prev(int p) const {
        if (p <= 0) return 0;
        p--;
        while (p > 0 && !sep(_S_buf[p - 1])) p--;
        return p;
    }
    int linestart(int p) const {
        while (p > 0 && !sep(_S_buf[p - 1])) p--;
        return p;
    }
    // The end of the first full window: the position can never be above it.
    int toppos() const {
        int p = 0;
        for (int i = 0; i < window() && p < len(); i++) p = next(p);
        return p;
    }
    // The first line shown for the current position.
    int windowstart() const {
        int p = pos, n = 0;
        while (n < window() && p > 0) p = prev(p), n++;
        return p;
    }

    void down(long k) {
        state = 0;
        for (long i = 0; i < k && pos < len(); i++) pos = next(pos);
        if (pos >= len()) state = 2;
    }
    void up(long k) {
        state = 0;
        int top = toppos();
        for (long i = 0; i < k && pos > top; i++) pos = prev(pos);
        if (pos <= top) pos = top, state = 1;
    }

    void clear() const {
        switch (S.clrscr) {
        case 1: fputs("\n\033[2J\n", stdout); break;
        case 2:
            for (int i = 0; i < lines(); i++) putchar('\n');
            break;
        case 3:
            for (int i = 0; i < lines() * cols(); i++) putchar(' ');
            putchar('\n');
            break;
        default: break;
        }
    }

    void show() const {
        clear();
        int p = windowstart();
        for (int n = 0; n < window() && p < pos; n++) {
            int e = p;
            while (e < len() && !sep(_S_buf[e])) e++;
            int w = e - p < cols() ? e - p : cols();
            fwrite(_S_buf + p, 1, (size_t)w, stdout);
            putchar('\n');
            p = e < len() ? e + 1 : len();
        }
    }

    // Output captured meanwhile (a report, a newline) may have halved the buffer.
    void resync() {
        if (pos > len()) pos = len();
        if (lastmatch >= len()) lastmatch = -1;
    }

    // Finds the search string from the top of the page; a repeated search goes on after
    // the last match, so that it does not stop at the line it already shows.
    void find(bool repeat) {
        if (searchlen <= 0) return;
        int from = windowstart();
        if (repeat && lastmatch >= from) from = lastmatch + 1;
        for (int i = from; i + searchlen <= len(); i++) {
            if (memcmp(_S_buf + i, search, (size_t)searchlen) == 0) {
                lastmatch = i;
                int p = linestart(i);
                for (int n = 0; n < window() && p < len(); n++) p = next(p);
                pos = p;
                state = pos >= len() ? 2 : 0;
                show();
                return;
            }
        }
    }
};

void help() {
    fprintf(stderr,
            "\n%i lines x %i cols  clrscr=%d\n\n"
            "$t $g    top\n"
            "$b $G    bottom\n"
            "$<Enter> line down\n"
            "$-       line up\n"
            "$u       page up\n"
            "$d $<Spc>page down\n"
            "$#       by # lines\n"
            "$L#      set lines\n"
            "$C#      set cols\n"
            "$!#      set clrscr mode\n"
            "$wFILE   write\n"
            "$iFILE   include\n"
            "$/STRING find\n"
            "$/       last find\n"
            "$q $.    quit scroll\n"
            "$exit    exit prog\n\n",
            S.lines, S.cols, S.clrscr);
}

// Reads a command line of at most 31 characters from in, without its newline; the rest of
// a longer line is dropped. False at the end of the input.
bool command(char* buf, int size) {
    fflush(stdout);
    if (!readln(buf, size, in)) return false;
    char* nl = strchr(buf, '\n');
    if (nl) {
        *nl = 0;
    } else if ((int)strlen(buf) == size - 1) {
        int c;
        while ((c = readchar(in)) != EOF && c != '\n') {}
    }
    return true;
}

// A file name after w or i: leading blanks skipped.
const char* filename(const char* t) {
    while (*t == ' ') t++;
    return t;
}

long number(const char* t) {
    long n = strtol(t, nullptr, 10);
    if (n > 1000000) n = 1000000;
    if (n < -1000000) n = -1000000;
    return n;
}

}  // namespace

void scroll() {
    if (!_S_buf || S.size <= 0) return;
    if (S.len > 0 && !sep(_S_buf[S.len - 1])) prtc('\n');
    Pager pg;
    pg.pos = S.len;
    for (;;) {
        pg.resync();
        fputs(pg.state == 1 ? "top$" : pg.state == 2 ? "bot$" : "$", stdout);
        char cmd[32];
        // End of input leaves the pager; data entry then meets the same end and reports it.
        if (!command(cmd, sizeof cmd)) return;
        char c = cmd[0];
        if (strcmp(cmd, "exit") == 0) {
            prtc('\n');
            closeexit(1);
        }
        switch (c) {
        case 0: pg.down(1); break;
        case ' ':
        case 'd': pg.down(Pager::lines() - 2 > 0 ? Pager::lines() - 2 : 1); break;
        case 'u': pg.up(Pager::lines() - 2 > 0 ? Pager::lines() - 2 : 1); break;
        case 't':
        case 'g': pg.up(S.len); break;
        case 'e': prtc('\n'); pg.down(S.len); break;
        case 'b':
        case 'G': pg.down(S.len); break;
        case 'L': {
            long n = number(cmd + 1);
            if (n >= 2 && n <= ScrollMaxLines) S.lines = (int)n;
            continue;
        }
        case 'C': {
            long n = number(cmd + 1);
            if (n >= 1 && n <= ScrollMaxCols) S.cols = (int)n;
            continue;
        }
        case '!': S.clrscr = (int)number(cmd + 1); continue;
        case 'w': {
            const char* name = filename(cmd + 1);
            if (!*name) continue;
            FILE* f = fopen(name, "w");
            if (!f) {
                MYERROR(0, "ground", "$w%s: cannot write", name);
                continue;
            }
            fwrite(_S_buf, 1, (size_t)S.len, f);
            fclose(f);
            pg.up(S.len);
            break;
        }
        case 'i': {
            const char* name = filename(cmd + 1);
            FILE* f = fopen(name, "r");
            if (!f) {
                MYERROR(1, "ground", "$i%s: no include file", name);
            } else if (!includein(f)) {
                fclose(f);
                MYERROR(1, "ground", "$i%s: includes nested too deeply", name);
            }
            return;
        }
        case '/':
            if (cmd[1]) {
                searchlen = (int)strlen(cmd + 1);
                memcpy(search, cmd + 1, (size_t)searchlen + 1);
                pg.find(false);
            } else {
                pg.find(true);
            }
            continue;
        case '?':
        case 'h': help(); continue;
        case 'q':
        case '.': return;
        case '-':
            if (cmd[1] >= '0' && cmd[1] <= '9')
                pg.up(-number(cmd));
            else
                pg.up(1);
            break;
        default:
            if (c >= '0' && c <= '9') {
                pg.down(number(cmd));
                break;
            }
            continue;  // not a command
        }
        pg.show();
    }
}
