// Fuzzes data entry and the calculator: arbitrary bytes are the input of a getdata caller
// that offers a few scalars, an int and two vectors, and the text of a Calc call.
#include "gen/calc.h"
#include "gen/ground.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Thrown by the exit hook: a report that would end a batch run ends this input instead.
struct Ended {
    int status;
};
[[noreturn]] void ended(int status) { throw Ended{status}; }

double T, p, x, v[4], w[3];
int key;

double element(const double* a, int n) {
    int i = _Id.index;
    return i >= 0 && i < n ? a[i] : 0;
}

void setelement(double* a, int n) {
    if (_Id.index < 0 || _Id.index >= n) abort();  // an accepted index must be in range
    a[_Id.index] = _Id.val;
}

void entry() {
    _GetStart();
    do {
        if (_GetId()) {
            if (_GetCmp("T", T)) T = _Id.val;
            if (_GetCmp("p", p)) p = _Id.val;
            if (_GetCmp("x", x)) x = _Id.val;
            if (_GetCmp("key", key)) key = _IdInt();
            if (_GetVecCmp("v", "", 4, element(v, 4))) setelement(v, 4);
            if (_GetVecCmp("w", ".y", 3, element(w, 3))) setelement(w, 3);
            _CheckData();
        }
        // The format is used as a printf format: it must stay one floating conversion.
        const char* f = _Id.fmt;
        if (strncmp(f, " = %", 4) != 0 || strchr(f + 4, '%') || !strpbrk(f, "eEgGf") ||
            strlen(f) >= sizeof _Id.fmt)
            abort();
        if (_Id.pos < _Id.line || _Id.pos >= _Id.line + sizeof _Id.line) abort();
    } while (!_GetEnd());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FILE* devnull = fopen("/dev/null", "w");
    exithook = ended;

    std::string text((const char*)data, size);
    const char* end = nullptr;
    Calc(text.c_str(), &end);
    if (end < text.c_str() || end > text.c_str() + strlen(text.c_str())) abort();

    std::vector<char> buf(data, data + size);
    buf.push_back(0);  // fmemopen wants a buffer of at least one byte
    FILE* f = fmemopen(buf.data(), size > 0 ? size : 1, "r");
    if (!f) return 0;
    strcpy(_Id.fmt, " = %-16.9g");
    _Id.echo = 1;
    _Id.val = 0;
    in = f;
    out = devnull;
    masterin = nullptr;
    T = 300, p = 1, x = 0.5, key = 0;
    for (double& e : v) e = 0;
    for (double& e : w) e = 0;
    try {
        for (int k = 0; k < 64; k++) entry();
    } catch (const Ended&) {
    }
    if (masterin) abort();  // no pager here, so nothing can have switched the input
    fclose(f);
    in = stdin;
    return 0;
}
