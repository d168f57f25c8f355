// ground.h: console output with scroll-back capture, error reports, the interrupt flag,
// the data-entry language and the scroll-back pager.
#pragma once
#include <csignal>
#include <cstdarg>
#include <cstdio>

#define GEN_PRINTF(f, a) __attribute__((format(printf, f, a)))

// ---- Streams -------------------------------------------------------------------------------
extern FILE* in;        // input stream of data entry (standard input by default)
extern FILE* out;       // console output stream of the prt family (standard output by default)
extern FILE* masterin;  // the outer input while an include file is read, else null

// Include files: includein makes f the input and keeps the current one as masterin (outer
// streams of nested includes are held behind it); 0 when the nesting is too deep (f is then
// not taken). endinclude closes an ended include file and goes back to the outer stream;
// 0 when there is none.
int includein(FILE* f);
int endinclude();

// Interactive mode: a person answers the menus (input and output are the terminal streams).
bool interactive();

// ---- Console output (all to out; captured while out is the standard output) -----------------
int prtc(int c);
int prts_(const char* text);
int prts(const char* text);
int prt_(const char* format, ...) GEN_PRINTF(1, 2);
int prt(const char* format, ...) GEN_PRINTF(1, 2);
int vprt_(const char* format, va_list args);
int vprt(const char* format, va_list args);
void putline(int c, int n);     // c repeated |n| times, then a newline if n > 0
void header(const char* title); // a title between two rules; "" repeats the upper rule
char* strend(char* text);       // the terminating zero byte of text
const char* strend(const char* text);

// Console colour (PC text colours 0-15): forwarded to colorhook, which the program installs.
extern void (*colorhook)(int n);
void color(int n);

// ---- Error reports -------------------------------------------------------------------------
struct MyErrorInfo {
    int line;          // source line of the report
    const char* file;  // reporting source module, e.g. "ground"
    int level;         // 0 WARNING, 1 ERROR, 2 DISASTER
};
extern MyErrorInfo myErrorInfo;  // filled by the reporter right before each myError

// Report with the level in myErrorInfo. Returns only for a batch warning or when the
// interactive user chose to continue or ignore; otherwise the program ends.
void myError(const char* format, ...) GEN_PRINTF(1, 2);
// Report an error of the general library; returns only when the interactive user resumes.
void extError(const char* message, const char* module, int line);

// Fill myErrorInfo and report in one statement: MYERROR(1, "qorfunc", "EOS failed").
#define MYERROR(lev, module, ...)                                                              \
    (myErrorInfo.level = (lev), myErrorInfo.file = (module), myErrorInfo.line = __LINE__,     \
     myError(__VA_ARGS__))

// Ends the program: closes out (and whatever registered itself with atexit) first.
[[noreturn]] void closeexit(int status);
// Called by closeexit with the status before anything is closed, when set. A driver that must
// outlive the reports (the fuzzer) throws from it; if it returns, the program ends as usual.
extern void (*exithook)(int status);
[[noreturn]] void closeabort();

// ---- Interrupts ----------------------------------------------------------------------------
// The signal handler only sets flags; the dialogue (sigdialog, installed by the program) runs
// at the next safe point, which is every testsig() and every read of data entry.
extern volatile std::sig_atomic_t sig;         // nonzero: long iterations stop early
extern volatile std::sig_atomic_t sigasked;  // signal number of an interrupt not yet handled
extern void (*sigdialog)(int signum);          // runs the interrupt dialogue
int testsig();                                 // handle a pending interrupt, then return sig
// getc that retries after an interrupted read and runs the interrupt dialogue meanwhile
int readchar(FILE* f);
// fgets with the same behaviour; null at end of input
char* readln(char* buf, int size, FILE* f);

// ---- Scroll-back capture and pager ---------------------------------------------------------
struct ScrollState {
    int lines;   // screen height used by the pager
    int cols;    // screen width used by the pager
    int len;     // characters now held in _S_buf
    int size;    // capacity of _S_buf in bytes; 0 means no buffer
    int clrscr;  // how the pager clears the screen: 0 not, 1 escape, 2 newlines, 3 blanks
};
extern char* _S_buf;  // capture buffer (zero-terminated text of S.len characters), or null
extern ScrollState S;
// Screen sizes the pager accepts (from SCROLL or its L and C commands).
const int ScrollMaxLines = 1000;
const int ScrollMaxCols = 1000;

int initscroll(int size);  // make the capture buffer; 0 on success, -1 without buffer
void setscroll(int lines, int cols, int clrscr);
// The pager: page, search, write, include the captured text. Its commands are read from in
// (the rest of a "$" line of data entry, or the terminal's answer to an error menu), so a
// batch file never waits on the terminal; the end of the input leaves the pager as "q" does.
void scroll();

// ---- Data-entry language -------------------------------------------------------------------
struct IdNode {
    IdNode* next;  // next registered identifier
    double val;    // its current value
    char* name;    // its name (owned)
};
struct IdState {
    char fmt[16];      // " = " and the conversion with which a shown value is printed
    char line[128];    // the current input line, ended by two zero bytes
    double angle;      // factor of the calculator's trigonometric functions (1: radians)
    int first;         // registration pass of a data entry
    IdNode* list;      // registered identifiers with their values
    double val;        // value of the current statement; between statements the last value
    char* pos;         // parse position in line
    char* id;          // identifier of the current statement, or the empty text
    char* bracket;     // position of the '[' of an indexed identifier, or null
    char* suffix;      // text after the ']' of an indexed identifier, or the empty text
    int index;         // index of an indexed identifier
    int mode;          // 0 silent, 1 print the value, 2 list all identifiers
    int op;            // 0 none, 1 show, else the character of a compound assignment
    int echo;          // 0 off, 1 copy input, 2 on
    int end;           // 1 when the last statement stopped at ';'
    int found;         // 1 once the current statement has been consumed
    int col;           // output column while listing identifiers
};
extern IdState _Id;
extern const char* _putformat;  // "%11s=%-13.6g ": a variable printed as name and value

// The getdata protocol: see the variable table of the program for a caller.
void _GetStart();  // step 1: empty line, registration pass
int _GetId();
int _GetCmp(const char* name, double v);
int _GetVecCmp(const char* name, const char* suffix, int n, double v);
void _CheckData();
int _GetEnd();
void prtecho();
// The statement's value _Id.val as an int variable takes it: truncated toward zero, limited
// to the int range, 0 for NaN.
int _IdInt();
