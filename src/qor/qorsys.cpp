// qorsys.cpp: long jumps, interrupts, console colours and the machine precision.
#include "qor/qorsys.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "gen/alloc.h"
#include "gen/draw.h"
#include "qor/qor.h"

JmpInfo jmpinfo = {"", "?", 1};
int ansi = 3;
double realprec = 2.220446049250313e-16;

void jmpError(const char* format, ...) {
    va_list a;
    va_start(a, format);
    vsnprintf(jmpinfo.text, sizeof jmpinfo.text, format, a);
    va_end(a);
    if (jmpinfo.line <= 0) jmpinfo.line = 1;
    throw JumpError{jmpinfo.line};
}

// The decrease a -> 2a/3 stops where rounding noise takes over; the noise of exp(log(i)) and
// sqrt(i)^2 adds what the library functions lose.
double machprec() {
    volatile double a = 1e-6, b;
    for (int guard = 0; guard < 2000; guard++) {
        b = ((3 + a) * 2) / 3 - 2;
        if (!(b < a)) break;
        a = b;
    }
    a = 2 * b;
    for (int i = 2; i <= 17; i++) a += (std::fabs(i - std::exp(std::log((double)i))) +
                                        std::fabs(i - std::pow(std::sqrt((double)i), 2))) / i;
    return a / 10;
}

void ansicolor(int n) {
    static const int table[3][8] = {{30, 34, 32, 36, 31, 35, 33, 37},
                                    {37, 33, 32, 36, 31, 35, 34, 30},
                                    {1, 0, 7, 0, 7, 0, 1, 0}};
    if (ansi >= 4 || ansi <= -4) ansi = 0;
    if (ansi == 0) return;
    fprintf(stderr, "\033[%i;%im", ansi > 0 ? 1 : 0, table[std::abs(ansi) - 1][n & 7]);
}

// ---- Key names read from the help file ----------------------------------------------------

KeyCell keykey[84];
int graphics_mode = 0;
char* pathtoqor = nullptr;
const char* exelist[5] = {"key-8", "sortres", "q", "qorpt", "csh"};

const char* keyinfo(int k) {
    static char buf[16];
    snprintf(buf, sizeof buf, "%d=?", k);
    for (const KeyCell& c : keykey)
        if (c.text[0] && (unsigned char)c.text[0] == k + 146) return c.text + 1;
    return buf;
}

// ---- Interrupts ----------------------------------------------------------------------------
//
// The handler only records the signal; asksig runs at the next safe point (an iteration's test
// of the interrupt flag, or a read of data entry), where it may talk, jump or end the program.

static volatile std::sig_atomic_t sigend = 0;  // a second interrupt ends the batch run

static void onsignal(int signum) {
    if (batchmode) {
        // The first interrupt stops iterations at once; a second one before the loop cleared
        // the flag ends the run at the next safe point; a third does not wait for it.
        if (sig) {
            if (sigend) _exit(0);
            sigend = 1;
        } else {
            sig = 1;
        }
    }
    sigasked = signum;
}

void installsig() {
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = onsignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no restart: a blocked read returns so the dialogue can run
    sigaction(SIGINT, &sa, nullptr);
    if (batchmode) sigaction(SIGTERM, &sa, nullptr);
    sigdialog = asksig;
}

void asksig(int signum) {
    int wasgraph = graphics_mode;
    if (graphics_mode) stopgraph(0);
    color(12);
    if (batchmode) {
        if (sigend) closeexit(0);
        prt("INTERRUPTED");
        fputs("INTERRUPTED, type ^C again to kill\n", stderr);
        color(7);
        if (!sig) sig = 1;
        return;
    }
    fprintf(stderr,
            "\a\nINTERRUPTED(%d) - select:\n  (a)bort (i)nterrupt iterations           (r)esume\n"
            "  (e)xit  (j)ump to get data (dangerous!)  (s)croll\n",
            signum);
    char line[130];
    int choice = 'r';  // nobody can answer at the end of the input: go on
    while (readln(line, sizeof line, stdin)) {
        if (line[0] == '\n' || line[0] == '\r') continue;
        choice = strchr("airejs", line[0]) ? line[0] : 'r';
        break;
    }
    static const char* words[] = {"aborting", "interrupting iterations", "resumed", "exiting",
                                  "jumping to get data", "scrolling: $? for help"};
    prt("%s", words[strchr("airejs", choice) - "airejs"]);
    color(7);
    sig = 0;
    switch (choice) {
    case 'a': closegraph(); closeabort();
    case 'e': closegraph(); closeexit(0);
    case 'i': sig = 1; break;
    case 's': scroll(); break;
    default: break;
    }
    color(15);
    if (choice == 'j') throw JumpError{31313};
    if (wasgraph && !graphics_mode) {
        startgraph(0);
        graphics_mode = wasgraph;
    }
}

void stopgraph(int) {
    closegraph();
    graphics_mode = 0;
}

// ---- Help file, shell and external commands -------------------------------------------------

// The program's own picture for the icon: a ring with a dot.
static unsigned char iconbits[40 * 5];

static void makeicon() {
    for (int r = 0; r < 40; r++)
        for (int c = 0; c < 40; c++) {
            double d = std::hypot(r - 19.5, c - 19.5);
            if ((d > 14 && d < 18) || d < 5) iconbits[r * 5 + c / 8] |= (unsigned char)(1 << (c % 8));
        }
}

const char* setpath(const char* argv0, const char* envname) {
    const char* value = getenv(envname);
    std::string v;
    if (value) {
        v = value;
    } else if (argv0) {
        const char* slash = strrchr(argv0, '/');
        if (slash && slash > argv0) v.assign(argv0, (size_t)(slash - argv0));
    }
    char* copy = nullptr;
    mymalloc(&copy, (int)v.size() + 1, 0);
    memcpy(copy, v.c_str(), v.size() + 1);
    fprintf(stderr, "%s=%s  ", envname, copy);
    return copy;
}

// Opens userfile with the extension ext: here, in the data directory, or where an installation
// put it beside the program (../share/qor) or under the configured prefix.
static FILE* openquiet(const char* ext) {
    snprintf(fileext, (size_t)(userfile + sizeof userfile - fileext), "%s", ext);
    FILE* f = fopen(userfile, "rb");
    if (f) return f;
    const char* dir = pathtoqor ? pathtoqor : "";
    char name[1024];
    snprintf(name, sizeof name, "%s/%s", dir, userfile);
    if ((f = fopen(name, "rb"))) return f;
    if (*dir) {
        snprintf(name, sizeof name, "%s/../share/qor/%s", dir, userfile);
        if ((f = fopen(name, "rb"))) return f;
    }
#ifdef QOR_DATADIR
    snprintf(name, sizeof name, "%s/%s", QOR_DATADIR, userfile);
    f = fopen(name, "rb");
#endif
    return f;
}

FILE* openext(const char* ext) {
    FILE* f = openquiet(ext);
    if (!f) MYERROR(1, "qorsys", "file \"%s\" not found", userfile);
    return f;
}

FILE* opendatafile(const char* ext) { return openquiet(ext); }

// Reads a whole line of any length into s; false at the end of the file.
static bool getline(FILE* f, std::string& s) {
    s.clear();
    int c;
    while ((c = readchar(f)) != EOF) {
        s += (char)c;
        if (c == '\n') break;
    }
    return !s.empty();
}

void checkhlp(const char* argv0) {
    realprec = machprec();
    fprintf(stderr, "QOR version %s  ", qorversion);
    fprintf(stderr, "effective REAL precision=%g\nenvironment: ", realprec);
    pathtoqor = (char*)setpath(argv0, "QOR");
    fputc('\n', stderr);
    char* dot = strrchr(userfile, '.');
    if (!dot || strlen(dot) < 4) {
        MYERROR(2, "qorsys", "short or no extension in file prefix \"%s\"", userfile);
        return;
    }
    fileext = dot + 1;
    makeicon();
    xwindowhints.icon_width = 40;
    xwindowhints.icon_height = 40;
    xwindowhints.icon_bits = iconbits;
    xwindowhints.geometry = "640x480";
    static char title[64], icontitle[32];
    snprintf(title, sizeof title, "X-QOR version %s [%s] ", qorversion, userfile);
    snprintf(icontitle, sizeof icontitle, "X-QOR V%s", qorversion);
    xwindowhints.title = title;
    xwindowhints.icon_title = icontitle;

    // The console is not set up yet, where an error would end the program: a help file that
    // is missing or broken costs only the key names, so these reports let the start go on.
    FILE* f = openquiet("k99");
    if (!f) {
        MYERROR(0, "qorsys", "file \"%s\" not found", userfile);
        return;
    }
    char w1[9] = "", w2[9] = "";
    if (fscanf(f, "%8s %8s", w1, w2) < 1 || w1[0] != '@')
        MYERROR(0, "qorsys", "bad format of help file %s", userfile);
    if (strcmp(w2, qorversion) != 0)
        MYERROR(0, "qorsys", "bad version %s of help file %s", w2, userfile);
    std::string line;
    bool found = false;
    while (getline(f, line))
        if (line.compare(0, 4, "@key") == 0) {
            found = true;
            break;
        }
    if (!found || !getline(f, line)) {
        MYERROR(0, "qorsys", "missing or bad list of keys in %s", userfile);
        fclose(f);
        return;
    }
    for (int row = 0; row < 21; row++) {
        bool good = getline(f, line) && (unsigned char)line[0] == 0xB3;
        size_t start = 1;
        for (int cell = 0; good && cell < 4; cell++) {
            size_t end = line.find((char)0xB3, start);
            if (end == std::string::npos) {
                good = false;
                break;
            }
            std::string token = line.substr(start, end - start);
            KeyCell& k = keykey[row * 4 + cell];
            size_t lead = token.find_first_not_of(' ');
            int byte = 0;
            if (token.find('=') != std::string::npos && lead != std::string::npos)
                byte = atoi(token.c_str() + lead) + 146;
            k.text[0] = (char)(byte >= 0 && byte <= 255 ? byte : 0);
            snprintf(k.text + 1, sizeof k.text - 1, "%s", token.c_str());
            k.column = (int)start - 1;
            start = end + 1;
        }
        if (!good) {
            MYERROR(0, "qorsys", "missing or bad list of keys in %s", userfile);
            break;
        }
    }
    fclose(f);
}

void clrscr() { fputs(ansi ? "\033[2J" : "\n\n\n", stderr); }

// The help pager: the box-drawing codes of the file shown as plain characters.
static char boxchar(unsigned char c) {
    static const unsigned char from[] = {0xB3, 0xBA, 0xB6, 0xD9, 0xC9, 0xC1, 0xCF, 0xC0, 0xCD,
                                         0xCC, 0xFD, 0xBF, 0xD1, 0xB9, 0xF0, 0xF5, 0xBB, 0xC8,
                                         0xE4, 0xF4, 0xC7, 0xBC, 0xDA, 0xFB, 0xC4, 0xC2, 0xC5};
    static const char to[] = "||+/+++\\-+2\\++=/++S/++/\\-++";
    for (size_t i = 0; i < sizeof from; i++)
        if (c == from[i]) return to[i];
    return (char)c;
}

// One line of a help page: the topic word up to its colon highlighted.
static void showhelpline(std::string line, int textcolor) {
    for (char& c : line) c = boxchar((unsigned char)c);
    if ((int)line.size() > removenl) line.resize((size_t)removenl);
    int colon = -1;
    for (int i = 0; i < 17 && i < (int)line.size(); i++)
        if (line[(size_t)i] == ':') colon = (i > 0 && line[(size_t)i - 1] != ' ') ? i : -1;
    if (colon >= 0) {
        color(14);
        fwrite(line.data(), 1, (size_t)colon + 1, stderr);
        color(textcolor);
        fputs(line.c_str() + colon + 1, stderr);
    } else {
        color(textcolor);
        fputs(line.c_str(), stderr);
    }
}

// Positions the help file at the start of page k (the text after the k-th "@" line).
static void gotopage(FILE* f, int k) {
    rewind(f);
    std::string line;
    for (int seen = 0; seen < k && getline(f, line);)
        if (line[0] == '@') seen++;
}

void help() {
    int textcolor = std::abs(ansi) == 2 ? 15 : 3;
    FILE* f = openext("k99");
    if (removenl < 10 || removenl > 81) removenl = 81;
    if (!f) return;
    int c;
    while ((c = readchar(in)) != EOF && c != '\n') {}
    std::string line;
    for (;;) {  // the question
        rewind(f);
        color(textcolor);
        char answer[90];
        do {
            clrscr();
            prt("type:\n ? = full help\n . = quit\n new = changes since previous versions\n"
                " sys = user system-specific help\n VARIABLE = help on VARIABLE, particularly:\n"
                "  key = key overview\n  NUMBER = help on key=NUMBER");
            if (!readln(answer, 82, in)) {
                fclose(f);
                return;
            }
            answer[strcspn(answer, "\r\n")] = 0;
        } while (!answer[0]);
        std::string topic = answer;
        if (isdigit((unsigned char)topic[0]) || topic[0] == '-') topic = "key=" + topic;
        clrscr();
        if (topic == ".") break;
        int page = 1;
        if (topic == "?") {
            gotopage(f, 1);
        } else {
            topic += ":";
            int ats = 0;
            bool found = false;
            long at = 0;
            while (at = ftell(f), getline(f, line)) {
                if (line[0] == '@') ats++;
                if (line.compare(0, topic.size(), topic) == 0) {
                    found = true;
                    break;
                }
            }
            if (!found) {
                fprintf(stderr, "\a%snot found in QOR.HLP\n", topic.c_str());
                continue;
            }
            page = ats;
            fseek(f, at, SEEK_SET);
        }
        bool ask = false;  // back to the question
        while (getline(f, line)) {
            if (line[0] != '@') {
                showhelpline(line, textcolor);
                continue;
            }
            color(5);
            fputs("----- (q)uit ----- (u)p ----- (t)op ----- (k)eyword ----- Enter=next page -----\n",
                  stderr);
            char cmd[90];
            int choice = readln(cmd, sizeof cmd, in) ? cmd[0] : 'q';
            if (choice == 'q' || choice == '.') {
                fclose(f);
                return;
            }
            if (choice == 'k') {
                ask = true;
                break;
            }
            clrscr();
            if (choice == 't') {
                page = 1;
                gotopage(f, page);
            } else if (choice == 'u') {
                page = page > 1 ? page - 1 : 1;
                gotopage(f, page);
            } else {
                page += 1;
            }
        }
        if (!ask) break;
    }
    fclose(f);
}

void setexec(const char* argument) {
    const char* a = argument + 2;
    if (*a == '-') a++;
    if (*a < '4' || *a > '8') {
        MYERROR(1, "qorsys", "%s bad key", argument);
        return;
    }
    int k = *a - '0';
    a++;
    if (*a == '=' || *a == ':') a++;
    exelist[8 - k] = a;
}

void prtexec() {
    prt_("shell calls key: ");
    for (int k = -8; k <= -4; k++) prt_("%d=%s%c", k, exelist[k + 8], k == -4 ? '\n' : ' ');
}

// The command's own text is the user's shell command by design; the res-file name is a
// single argument, quoted so that no character of it reaches the shell as syntax.
static std::string shellquote(const char* s) {
    std::string q = "'";
    for (; *s; s++) q += *s == '\'' ? std::string("'\\''") : std::string(1, *s);
    return q + "'";
}

static int runshell(const std::string& command) {
    fflush(stdout);
    fflush(stderr);
    if (out) fflush(out);
    int status = system(command.c_str());
    if (status != -1 && WIFEXITED(status)) status = WEXITSTATUS(status);
    return status;
}

void shell() {
    fputs("\n*** Type `exit' to return to QOR! ***\n", stderr);
    prt("shell return code=%d", runshell(exelist[4]));
}

void spawnkey(int k) {
    if (k < -8 || k > -5) return;
    snprintf(fileext, (size_t)(userfile + sizeof userfile - fileext), "res");
    std::string command = std::string(exelist[k + 8]) + " " + shellquote(resfile ? resfile : "");
    prt("system return code=%d", runshell(command));
}
