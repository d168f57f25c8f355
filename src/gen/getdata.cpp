// getdata.cpp: the data-entry language: reading statements, the getdata protocol with which a
// caller offers its variables, echo modes, the print format of a value and the help.
#include "gen/calc.h"
#include "gen/ground.h"
#include "gen/func.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

static char zero[1] = {0};  // the empty text of _Id.id and _Id.suffix

IdState _Id = {" = %-16.9g", {0, 0}, 1.0, 0, nullptr, 0.0, _Id.line, zero, nullptr,
               zero, 0, 0, 0, 1, 0, 0, 0};
const char* _putformat = "%11s=%-13.6g ";

namespace {

const int linemax = (int)sizeof _Id.line - 2;  // stored characters; two zero bytes end the line
const int fmtmax = (int)sizeof _Id.fmt - 4;    // characters of the conversion after " = "

bool isletter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isdigit_(char c) { return c >= '0' && c <= '9'; }
bool isidchar(char c) { return isletter(c) || isdigit_(c) || c == '_' || c == '.' || c == '['; }

void freelist() {
    while (IdNode* n = _Id.list) {
        _Id.list = n->next;
        free(n->name);
        free(n);
    }
}

// Drops the rest of the line: the next statement is read from a new line.
void dropline() {
    _Id.line[0] = _Id.line[1] = 0;
    _Id.pos = _Id.line;
    _Id.bracket = nullptr;
    _Id.id = zero;
    _Id.suffix = zero;
}

// A rejected statement neither prints a value nor ends data entry.
void rejected() {
    dropline();
    _Id.op = 0;
    _Id.mode = 0;
    _Id.end = 0;
}

// Reads the next line of statements into _Id.line; 0 when it did not fit.
int readline() {
    int n = 0;
    bool comment = false;
    for (;;) {
        int c = readchar(in);
        if (c == EOF) {
            if (!endinclude()) {
                MYERROR(1, "ground", "EOF on in");
                clearerr(in);  // the user chose to go on: a terminal may be read again
            }
            break;
        }
        if (c == '$' && !comment) {  // a pager command; inside a comment it is text
            scroll();
            continue;
        }
        if (_Id.echo == 1) prtc(c);
        if (c == '\n') break;
        if (c < ' ' || c == 127) c = ' ';
        if (c == '!') comment = true;
        if (comment) continue;
        if (n >= linemax) {
            // The whole line is rejected, so the rest of it is not read as a further line.
            while ((c = readchar(in)) != EOF && c != '\n')
                if (_Id.echo == 1) prtc(c);
            if (c == '\n' && _Id.echo == 1) prtc(c);
            rejected();
            extError("data:line too long", "ground", __LINE__);
            return 0;
        }
        _Id.line[n++] = (char)c;
        if (c == ';') break;
    }
    _Id.line[n] = _Id.line[n + 1] = 0;
    _Id.pos = _Id.line;
    return 1;
}

// Checks a conversion typed after ?%: one floating conversion of bounded width and precision,
// nothing else that printf would interpret. Returns 0 if it is acceptable.
bool goodconversion(const char* t, int len) {
    int i = 1;  // after the %
    while (i < len && strchr("-+#0", t[i])) i++;
    for (int d = 0; i < len && isdigit_(t[i]); d++, i++)
        if (d >= 2) return false;
    if (i < len && t[i] == '.') {
        i++;
        for (int d = 0; i < len && isdigit_(t[i]); d++, i++)
            if (d >= 2) return false;
    }
    if (i >= len || !strchr("eEgGf", t[i])) return false;
    for (i++; i < len; i++)
        if (t[i] == '%') return false;
    return true;
}

// ?%FMT at p (on the %). Returns the position after the token, or null when the line is dropped.
char* setformat(char* p) {
    int k = 1;
    for (; k <= fmtmax; k++) {
        unsigned char c = (unsigned char)p[k];
        if (c == 0 || c <= ' ' || c == 127) break;
        if (strchr("eEgGf", c)) break;
    }
    if (k > fmtmax || !p[k] || !strchr("eEgGf", p[k])) {
        extError("bad format", "question", __LINE__);
        return nullptr;
    }
    int len = 0;  // the token ends at a blank, the end of the line or the ';' that ends data
    while (p[len] && p[len] != ' ' && p[len] != ';') len++;
    if (len > fmtmax) {
        extError("format too long", "question", __LINE__);
        return p + len;
    }
    if (!goodconversion(p, len)) {
        extError("bad format", "question", __LINE__);
        return nullptr;
    }
    memcpy(_Id.fmt + 3, p, (size_t)len);
    _Id.fmt[3 + len] = 0;
    return p + len;
}

void help() {
    static const char* const lines[] = {
        "EXPR     evaluate expression",
        "ID=EXPR  assign EXPR to ID",
        "?ID=EXPR ..with echo",
        ";        end data",
        "ID       print ID value",
        "#        last value",
        "??       list all ID's",
        "?=       toggle auto echo",
        "?%FMT  \t set format, e.g. ?%9.7f",
        "!        comment to end of line",
    };
    prt("=== getdata/calc V.%d ===", 3);
    for (const char* l : lines) prts(l);
    if (_S_buf) prts("$?       help of scroll");
    prts("  example:");
    prts("id1=2.3*cos(PI/3) id2 += 1 id3=id1^3");
    prtecho();
}

// Starts a line of the listing of ??: a name of the given width wraps before column 80.
void listwidth(int width) {
    if (_Id.col + width >= 80) {
        prtc('\n');
        _Id.col = 0;
    }
    _Id.col += width;
}

}  // namespace

void prtecho() {
    static const char* const names[] = {"off", "copy input", "on"};
    int e = _Id.echo >= 0 && _Id.echo <= 2 ? _Id.echo : 0;
    prt("<echo is %s>", names[e]);
}

int _IdInt() { return toint(_Id.val); }

void _GetStart() {
    freelist();  // left over when an earlier data entry was abandoned
    dropline();
    _Id.op = 0;
    _Id.mode = 0;
    _Id.found = 0;
    _Id.index = 0;
    _Id.first = 1;
}

int _GetId() {
    double old = _Id.val;
    _Id.found = 0;
    if (_Id.first) return 1;
    if (!_Id.pos) dropline();
    char* p = _Id.pos;
    if (_Id.op < 2) {
        if (!*p) {
            if (!readline()) return 0;
            p = _Id.pos;
        }
        while (*p == ' ') p++;
        _Id.op = 0;
        _Id.mode = 0;
        _Id.id = p;
        _Id.suffix = zero;
        _Id.bracket = nullptr;
        _Id.index = 0;
        bool value = true;  // false: a statement without value (help, echo, format, empty)
        if (*p == '?') {
            char next = p[1];
            if (!next) {
                help();
                p++;
                value = false;
            } else if (next == '=') {
                _Id.echo = _Id.echo >= 0 && _Id.echo < 2 ? _Id.echo + 1 : 0;
                p += 2;
                prtecho();
                value = false;
            } else if (next == '%') {
                p = setformat(p + 1);
                if (!p) {
                    rejected();
                    return 0;
                }
                value = false;
            } else if (next == '?') {
                _Id.found = 1;
                _Id.mode = 2;
                _Id.col = 0;
                _Id.pos = p + 2;
                _Id.end = *_Id.pos == ';';
                return 1;
            } else {
                p++;
                while (*p == ' ') p++;
                _Id.id = p;
                _Id.mode = 1;
            }
        }
        if (value && (!*p || *p == ';')) value = false;
        if (!value) {
            _Id.id = zero;
            _Id.found = 1;
            _Id.end = *p == ';';
            _Id.pos = p;
            return 1;
        }
        if (_Id.echo == 2) _Id.mode = 1;
        char* start = p;
        bool ident = false;
        if (isletter(*p)) {
            ident = true;
            while (isidchar(*p)) {
                if (*p == '[' && !_Id.bracket) {
                    _Id.bracket = p++;
                    bool neg = *p == '-';
                    if (neg) p++;
                    long idx = 0;
                    for (; isdigit_(*p); p++)
                        if (idx < 100000000L) idx = idx * 10 + (*p - '0');  // saturates
                    _Id.index = (int)(neg ? -idx : idx);
                    if (*p != ']') {
                        _Id.suffix = p;
                        extError("missing ]", "ground", __LINE__);
                        continue;
                    }
                    _Id.suffix = ++p;
                    continue;
                }
                p++;
            }
        }
        bool constant =
            p - start == 2 && (strncmp(start, "pi", 2) == 0 || strncmp(start, "PI", 2) == 0);
        while (*p == ' ') *p++ = 0;  // blanks after the identifier end its text
        if (*p && strchr("+-*/%^", *p) && p[1] == '=') {
            _Id.op = *p;
            *p = 0;
            p += 2;
            _Id.end = 0;  // the expression is read by the next call, even when it is missing
            _Id.pos = p;
            return 1;
        }
        if (ident && *p == '=') {
            *p++ = 0;
        } else {
            _Id.mode = 1;
            _Id.op = 1;
            if (!ident || (*p && strchr("+-*/^%:()", *p)) || constant) {
                _Id.found = 1;
                p = start;
            } else {
                // Shows a variable; the next statement starts here. A ';' right after the
                // name moves one place on (it is the line's last character), so that the
                // name's text ends before it.
                if (*p == ';' && !p[1]) {
                    p[0] = 0;
                    p[1] = ';';
                    p++;
                }
                _Id.end = *p == ';';
                _Id.pos = p;
                return 1;
            }
        }
    }
    // Evaluate, and finish a pending compound assignment with the value fetched before.
    const char* end = p;
    double v = Calc(p, &end);
    int op = _Id.op;
    _Id.op = 0;
    if (end == p) {
        rejected();
        extError("data:bad number or expression (\"?\" for help)", "ground", __LINE__);
        return 0;
    }
    switch (op) {
    case '+': v = old + v; break;
    case '-': v = old - v; break;
    case '*': v = old * v; break;
    case '/': v = old / v; break;
    case '^': v = std::pow(old, v); break;
    case '%': v = old - v * std::trunc(old / v); break;
    default: break;
    }
    _Id.val = v;
    p = _Id.line + (end - _Id.line);
    _Id.end = *p == ';';
    _Id.pos = p;
    return 1;
}

int _GetCmp(const char* name, double v) {
    if (_Id.first) {
        IdNode* n = (IdNode*)malloc(sizeof(IdNode));
        char* copy = n ? strdup(name) : nullptr;
        if (!copy) {
            free(n);
            fputs("no heap for _Id.list\n", stderr);
            closeexit(-2);
        }
        n->next = _Id.list;
        n->val = v;
        n->name = copy;
        _Id.list = n;
        return 0;
    }
    if (_Id.mode == 2) {
        listwidth((int)strlen(name) + 1);
        prt_("%s ", name);
        return 0;
    }
    if (_Id.bracket) *_Id.bracket = '[';
    if (strcmp(name, _Id.id) != 0) return 0;
    if (_Id.op) _Id.val = v;
    _Id.found = 1;
    if (_Id.mode == 1) prt_("  %s", name);
    for (IdNode* n = _Id.list; n; n = n->next)
        if (strcmp(n->name, name) == 0) n->val = _Id.val;
    return 1;
}

int _GetVecCmp(const char* name, const char* suffix, int n, double v) {
    if (_Id.first) return 0;
    if (_Id.mode == 2) {
        listwidth((int)(strlen(name) + strlen(suffix)) + 8 + (n >= 1000 ? 2 : 0));
        prt_("%s[0..%d]%s ", name, n - 1, suffix);
        return 0;
    }
    if (suffix[0] == ' ') suffix = "";
    if (!_Id.bracket) return 0;
    *_Id.bracket = 0;
    if (strcmp(name, _Id.id) != 0 || strcmp(suffix, _Id.suffix) != 0) return 0;
    if (_Id.op) _Id.val = v;
    _Id.found = 1;
    if (_Id.mode == 1) prt_("  %s[%i]%s", name, _Id.index, suffix);
    if (_Id.index < 0 || _Id.index >= n) {
        _Id.op = 0;  // a compound assignment to it is abandoned as well
        extError("data:index", name, _Id.index);
        return 0;
    }
    return 1;
}

void _CheckData() {
    if (_Id.found || _Id.first) return;
    rejected();
    extError("data:bad identifier or syntax (\"?\" for help)", "ground", __LINE__);
}

int _GetEnd() {
    if (_Id.first) {
        _Id.first = 0;
        return 0;
    }
    if (_Id.mode == 1)
        prt(_Id.fmt, _Id.val);
    else if (_Id.mode == 2)
        prtc('\n');
    if (!_Id.end) return 0;
    if (_Id.echo == 2) prtc('\n');
    freelist();
    return 1;
}
