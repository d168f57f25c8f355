// ground.cpp: console output, scroll-back capture, error reports and the interrupt flag.
#include "gen/ground.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

FILE* in = stdin;
FILE* out = stdout;
FILE* masterin = nullptr;

// Outer streams of nested include files, below masterin; the depth keeps a file that
// includes itself from exhausting the open files.
static FILE* outerin[8];
static int nouter = 0;

char* _S_buf = nullptr;
ScrollState S = {25, 80, 0, 0, 1};

MyErrorInfo myErrorInfo = {0, "?", 0};

void (*colorhook)(int) = nullptr;

volatile std::sig_atomic_t sig = 0;
volatile std::sig_atomic_t sigasked = 0;
void (*sigdialog)(int) = nullptr;

bool interactive() { return in == stdin && out == stdout; }

int includein(FILE* f) {
    if (masterin) {
        if (nouter >= (int)(sizeof outerin / sizeof *outerin)) return 0;
        outerin[nouter++] = masterin;
    }
    masterin = in;
    in = f;
    return 1;
}

int endinclude() {
    if (!masterin) return 0;
    if (in && in != stdin) fclose(in);
    in = masterin;
    masterin = nouter > 0 ? outerin[--nouter] : nullptr;
    return 1;
}

void color(int n) {
    if (colorhook) colorhook(n);
}

// ---- Capture -------------------------------------------------------------------------------

// Appends one character; once more than half the buffer is used the newer half moves to the
// front. Halving after every character gives the same buffer as halving after a whole text,
// and never writes past the end however long the text is.
static void capture(char c) {
    if (!_S_buf || out != stdout) return;
    _S_buf[S.len++] = c;
    _S_buf[S.len] = 0;
    int half = S.size / 2;
    if (S.len > half) {
        for (int i = 0; i < half; i++) {
            char t = _S_buf[i];
            _S_buf[i] = _S_buf[i + half];
            _S_buf[i + half] = t;
        }
        S.len -= half;
        _S_buf[S.len] = 0;
    }
}

int prtc(int c) {
    int r = putc(c, out);
    capture((char)c);
    return r;
}

int prts_(const char* text) {
    int r = fputs(text, out);
    for (const char* t = text; *t; t++) capture(*t);
    return r;
}

int prts(const char* text) {
    int r = prts_(text);
    if (r < 0) return r;
    return prtc('\n');
}

int vprt_(const char* format, va_list args) {
    char local[1024];
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(local, sizeof local, format, copy);
    va_end(copy);
    if (n < 0) return -1;
    const char* text = local;
    std::vector<char> big;
    if (n >= (int)sizeof local) {  // rare: a text longer than the local buffer
        big.resize((size_t)n + 1);
        vsnprintf(big.data(), big.size(), format, args);
        text = big.data();
    }
    if (fwrite(text, 1, (size_t)n, out) != (size_t)n) return -1;
    for (int i = 0; i < n; i++) capture(text[i]);
    return n;
}

int vprt(const char* format, va_list args) {
    int n = vprt_(format, args);
    int r = prtc('\n');
    return r < 0 ? r : n;
}

int prt_(const char* format, ...) {
    va_list a;
    va_start(a, format);
    int n = vprt_(format, a);
    va_end(a);
    return n;
}

int prt(const char* format, ...) {
    va_list a;
    va_start(a, format);
    int n = vprt(format, a);
    va_end(a);
    return n;
}

void putline(int c, int n) {
    for (int i = n < 0 ? -n : n; i > 0; i--) prtc(c);
    if (n > 0) prtc('\n');
}

void header(const char* title) {
    static char upper = 0, lower = 0;
    static int length = 0;
    if (*title) {
        if (strchr("!@#$%^&*+[]:<>()./\\", *title))
            upper = lower = *title;
        else
            upper = '=', lower = '-';
        length = (int)strlen(title);
        prtc('\n');
        putline(upper, length);
        prts(title);
        putline(lower, length);
    } else if (upper) {
        putline(upper, length);
    }
}

char* strend(char* text) { return text + strlen(text); }
const char* strend(const char* text) { return text + strlen(text); }

int initscroll(int size) {
    if (!in) in = stdin;
    if (!out) out = stdout;
    // The echo mode is set even without a buffer, so that input is never echoed twice.
    _Id.echo = interactive() ? 2 : 1;
    if (size <= 0) return -1;
    if (const char* env = getenv("SCROLL")) {
        // Sizes the pager cannot use are ignored.
        if (const char* l = strchr(env, 'L')) {
            long n = strtol(l + 1, nullptr, 10);
            if (n >= 2 && n <= ScrollMaxLines) S.lines = (int)n;
        }
        if (const char* c = strchr(env, 'C')) {
            long n = strtol(c + 1, nullptr, 10);
            if (n >= 1 && n <= ScrollMaxCols) S.cols = (int)n;
        }
    }
    free(_S_buf);
    _S_buf = nullptr;
    S.size = S.len = 0;
    if (size & 1) size--;
    // One byte more than the capacity keeps the terminating zero in bounds.
    _S_buf = (char*)calloc((size_t)size + 1, 1);
    if (!_S_buf) return -1;
    S.size = size;
    _S_buf[0] = '\n';
    S.len = 1;
    return 0;
}

void setscroll(int lines, int cols, int clrscr) {
    if (lines) S.lines = lines;
    if (cols) S.cols = cols;
    S.clrscr = clrscr;
}

// ---- Interrupts ----------------------------------------------------------------------------

int testsig() {
    if (sigasked && sigdialog) {
        int s = sigasked;
        sigasked = 0;
        sigdialog(s);
    }
    return sig;
}

int readchar(FILE* f) {
    for (;;) {
        // An interrupt that came before the read would otherwise wait for the next input.
        if (sigasked) testsig();
        errno = 0;
        int c = getc(f);
        if (c == EOF && ferror(f) && errno == EINTR) {
            clearerr(f);
            testsig();
            continue;
        }
        return c;
    }
}

char* readln(char* buf, int size, FILE* f) {
    int n = 0;
    if (size <= 0) return nullptr;
    while (n < size - 1) {
        int c = readchar(f);
        if (c == EOF) {
            if (n == 0) return nullptr;
            break;
        }
        buf[n++] = (char)c;
        if (c == '\n') break;
    }
    buf[n] = 0;
    return buf;
}

// ---- Ends of the program -------------------------------------------------------------------

static void closeout() {
    fflush(stdout);
    if (out && out != stdout && out != stderr) {
        fclose(out);
        out = stdout;
    }
    fflush(stderr);
}

void (*exithook)(int) = nullptr;

void closeexit(int status) {
    if (exithook) exithook(status);
    closeout();
    exit(status);
}

void closeabort() {
    closeout();
    abort();
}

// ---- Error reports -------------------------------------------------------------------------

static const char* levelname[] = {"WARNING", "ERROR", "DISASTER"};

// Reads one menu answer from in: its first character, or EOF at the end of input.
static int menuanswer() {
    char answer[32];
    fflush(stdout);
    if (!readln(answer, sizeof answer, in)) return EOF;
    // The rest of an over-long answer line is not a further answer.
    if (!strchr(answer, '\n') && strlen(answer) == sizeof answer - 1) {
        int c;
        while ((c = readchar(in)) != EOF && c != '\n') {}
    }
    return (unsigned char)answer[0];
}

void myError(const char* format, ...) {
    va_list a;
    if (myErrorInfo.level < 0 || myErrorInfo.level > 2) {
        fputs("\n?! TOTAL BREAKDOWN: unknown errorlevel", stderr);
        myErrorInfo.level = 2;
    }
    int level = myErrorInfo.level;
    const char* head = "\n*** %s in \"%s\", line %d\n*** ";
    const char* file = myErrorInfo.file ? myErrorInfo.file : "?";
    // A listing file hides the report: show it on the standard error too, unless that is out.
    if (out != stdout && out != stderr) {
        fprintf(stderr, head, levelname[level], file, myErrorInfo.line);
        va_start(a, format);
        vfprintf(stderr, format, a);
        va_end(a);
        fputc('\n', stderr);
    }
    prt_(head, levelname[level], file, myErrorInfo.line);
    va_start(a, format);
    vprt(format, a);
    va_end(a);
    prtc('\n');
    if (!interactive()) {
        if (level == 0) return;
        closeexit(level);
    }
    for (int asked = 1;; asked++) {
        fprintf(stderr, "*** select:  (a)bort  (e)xit%s%s\n",
                level == 0 ? "  (c)ontinue" : level == 1 ? "  (i)gnore" : "",
                S.size >= 2 ? "  (s)croll" : "");
        int c = menuanswer();
        if (c == EOF) {
            prt("*** EOF ***");
            c = 'e';
        }
        if (asked >= 21) c = 'e';
        switch (c) {
        case 'a': closeabort();
        case 'e': closeexit(level);
        case 'c':
            if (level == 0) {
                prt("*** continuing ***");
                return;
            }
            break;
        case 'i':
            if (level <= 1) {
                prt("*** ignoring error ***");
                return;
            }
            break;
        case 's':
        case '$': scroll(); break;
        default: break;
        }
    }
}

void extError(const char* message, const char* module, int line) {
    fprintf(stderr, "*** %s:%i ERROR %s ***\n", module, line, message);
    prtc('\n');
    prt_("*** %s:%i ERROR %s ***\n", module, line, message);
    int status = *message ? (unsigned char)*message : 1;
    if (!interactive()) closeexit(status);
    for (;;) {
        fputs("select:  (a)bort  (e)xit  (r)esume  (s)croll\n", stderr);
        int c = menuanswer();
        if (c == EOF) {
            prt("*** EOF ***");
            c = 'e';
        }
        switch (c) {
        case 'a': closeabort();
        case 'e': closeexit(status);
        case 'r': prt("*** execution resumed ***"); return;
        case 's':
        case '$': scroll(); break;
        default: break;
        }
    }
}
