// calc.cpp: operator-precedence evaluation of data-entry expressions.
#include "gen/calc.h"

#include "gen/ground.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const int maxops = 62;   // pending operators above the bottom marker
const int maxvals = 16;  // values waiting at once
const int namelen = 60;  // name buffer, terminating zero included

const char prefix = (char)0x80;  // high bit: a prefix operator (unary sign or function)
const char sqrtcode = 'q';       // sqrt has a code of its own: its first letter is sin's

const char* const funcs[] = {"sin", "cos",  "tan",  "asin", "acos", "atan", "log", "ln", "dlog",
                             "exp", "sqrt", "fac",  "fact", "pi",   "PI",   "abs", "int"};

bool isletter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isdigit_(char c) { return c >= '0' && c <= '9'; }
bool isnamechar(char c) {
    return isletter(c) || isdigit_(c) || c == '_' || c == '.' || c == '[' || c == ']';
}

int priority(char op) {
    if (op & prefix) {
        char base = (char)(op & 0x7f);
        return base == '+' || base == '-' ? 12 : 127;
    }
    switch (op) {
    case '=': return 2;
    case ')': return 4;
    case '(': return 6;
    case '+':
    case '-': return 8;
    case '*':
    case '/':
    case '%':
    case ':': return 10;
    case '^': return 14;
    default: return 0;  // end of expression
    }
}

// The code of a function name: its first letter, the second in upper case after an a.
char funccode(const char* name) {
    if (name[0] == 's' && name[1] == 'q') return sqrtcode;
    if (name[0] == 'a') return (char)(name[1] - 'a' + 'A');
    return name[0];
}

double factorial(double x) {
    if (std::isnan(x)) return x;
    if (x > 1000) x = 1000;
    double r = 1;
    for (; x > 0; x -= 1) r *= x;
    return r;
}

// Applies a prefix operator to v; false for an operator that is none.
bool applyprefix(char op, double& v) {
    double a = _Id.angle;
    switch (op & 0x7f) {
    case '+': return true;
    case '-': v = -v; return true;
    case 's': v = std::sin(v * a); return true;
    case 'c': v = std::cos(v * a); return true;
    case 't': v = std::tan(v * a); return true;
    case 'S': v = std::asin(v) / a; return true;
    case 'C': v = std::acos(v) / a; return true;
    case 'T': v = std::atan(v) / a; return true;
    case 'l': v = std::log(v); return true;
    case 'd': v = std::log10(v); return true;
    case 'e': v = std::exp(v); return true;
    case sqrtcode: v = std::sqrt(v); return true;
    case 'f':
        if (v < 0) return false;
        v = factorial(v);
        return true;
    case 'B': v = std::fabs(v); return true;
    case 'i': v = std::trunc(v); return true;
    default: return false;
    }
}

bool applybinary(char op, double a, double b, double& r) {
    switch (op) {
    case '+': r = a + b; return true;
    case '-': r = a - b; return true;
    case '*': r = a * b; return true;
    case '/': r = a / b; return true;
    case '^': r = std::pow(a, b); return true;
    case '%':
    case ':': r = a - b * std::trunc(a / b); return true;
    default: return false;
    }
}

// The number at p in plain decimal notation; its length, 0 if there is none.
int number(const char* p, double& v) {
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {  // no hexadecimal: the 0 alone
        v = 0;
        return 1;
    }
    char* e = nullptr;
    v = strtod(p, &e);
    return (int)(e - p);
}

}  // namespace

double Calc(const char* text, const char** end) {
    char ops[maxops + 2];  // the bottom marker, 62 entries and the one that overflows them
    double vals[maxvals];
    char name[namelen];
    int nops = 0, nvals = 0;
    const char* p = text;
    ops[nops++] = '=';

    auto fail = [&]() {
        *end = text;
        return 0.0;
    };

    for (;;) {
        // Operand state: a value, an opening parenthesis or a prefix operator.
        if (nops - 1 > maxops) return fail();
        while (*p == ' ') p++;
        unsigned char c = (unsigned char)*p;
        if (c == ';' || c < ' ' || c == 127) return fail();
        bool isvalue = true;
        double v = 0;
        if (c == '#') {
            v = _Id.val;
            p++;
        } else if (isletter((char)c)) {
            int n = 0;
            while (isnamechar(p[n])) {
                if (n >= namelen - 1) return fail();  // longer than the name buffer
                name[n] = p[n];
                n++;
            }
            name[n] = 0;
            const IdNode* node = _Id.list;
            while (node && strcmp(node->name, name) != 0) node = node->next;
            if (node) {
                v = node->val;
                p += n;
            } else {
                const char* const* f = funcs;
                const char* const* fend = funcs + sizeof funcs / sizeof *funcs;
                while (f < fend && strcmp(*f, name) != 0) f++;
                if (f == fend) return fail();
                if (strcmp(name, "pi") == 0 || strcmp(name, "PI") == 0) {
                    v = 3.141592653589793;
                    p += n;
                } else {
                    ops[nops++] = (char)(funccode(name) | prefix);
                    p += n;
                    isvalue = false;
                }
            }
        } else if (isdigit_((char)c) || c == '.') {
            int n = number(p, v);
            if (n <= 0) return fail();
            p += n;
        } else if (c == '\'') {
            if (p[1] == '\'') {
                v = 0;
                p += 2;
            } else if (p[1] != 0 && p[2] == '\'') {
                v = (unsigned char)p[1];
                p += 3;
            } else {
                return fail();
            }
        } else if (c == '(') {
            ops[nops++] = '(';
            p++;
            isvalue = false;
        } else if (c == '+' || c == '-') {
            ops[nops++] = (char)(c | 0x80);
            p++;
            isvalue = false;
        } else {
            return fail();  // no other prefix operator exists
        }
        if (!isvalue) continue;
        if (nvals >= maxvals) return fail();
        vals[nvals++] = v;

        // Operator state: reduce while the stack's operator binds at least as tightly.
        for (;;) {
            while (*p == ' ') p++;
            char inc = 0;  // the incoming operator; 0 is the end of the expression
            if (*p && strchr(")+-*/%:^", *p)) inc = *p++;
            bool next = false;  // true: back to the operand state
            while (!next) {
                char top = ops[nops - 1];
                if (top == '=' && inc == 0) {
                    if (nvals != 1) return fail();
                    *end = p;
                    return vals[0];
                }
                if (inc == ')' && top == '(') {
                    nops--;
                    break;  // read the next operator
                }
                if (priority(top) < priority(inc)) {
                    ops[nops++] = inc;
                    next = true;
                    break;
                }
                nops--;
                if (top & prefix) {
                    if (nvals < 1 || !applyprefix(top, vals[nvals - 1])) return fail();
                } else {
                    double r;
                    if (nvals < 2 || !applybinary(top, vals[nvals - 2], vals[nvals - 1], r))
                        return fail();
                    vals[nvals - 2] = r;
                    nvals--;
                }
            }
            if (next) break;
        }
    }
}
