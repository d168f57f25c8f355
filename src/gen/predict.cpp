// predict.cpp: the stack of prediction records.
#include "gen/predict.h"

#include <cmath>
#include <cstdarg>

#include "gen/alloc.h"

namespace {

const int maxentries = 11;

struct Entry {
    double* var;  // the caller's variable
    double last;  // its value at the latest save
    double prev;  // its value at the save before
};

struct PredRecord {
    PredRecord* next;  // the record below on the stack
    int n;             // tracked values, the leading one first
    int count;         // predict calls since pred_begin
    Entry e[maxentries];
};

PredRecord* predhead = nullptr;  // newest record, null when the stack is empty

}  // namespace

void pred_begin(double* lead, ...) {
    double* vars[maxentries];
    int n = 0;
    vars[n++] = lead;
    va_list a;
    va_start(a, lead);
    for (;;) {
        double* p = va_arg(a, double*);
        if (!p) break;
        if (n == maxentries) {
            MYERROR(2, "predict", "pred_begin: too long or unterminated arg list");
            break;
        }
        vars[n++] = p;
    }
    va_end(a);
    PredRecord* r = nullptr;
    mymalloc(&r, (int)sizeof(PredRecord), 1);
    if (!r) return;
    r->next = predhead;
    r->n = n;
    r->count = 0;
    for (int i = 0; i < n; i++) r->e[i].var = vars[i];
    predhead = r;
    pred_save();
}

void pred_save() {
    PredRecord* r = predhead;
    if (!r) return;
    for (int i = 0; i < r->n; i++) {
        r->e[i].prev = r->e[i].last;
        r->e[i].last = *r->e[i].var;
    }
}

void predict(double h) {
    PredRecord* r = predhead;
    if (!r) return;
    // The values saved at registration are no solution yet: the first two calls only count.
    if (r->count++ < 2) return;
    double d = r->e[0].last - r->e[0].prev;
    if (d == 0) {
        MYERROR(1, "predict", "predict[%d]", r->n);
        d = 3e33;
    }
    double s = d < 0 ? -1 : 1;
    // hypot: sqrt(d^2 + h^2) without overflow or underflow of the squares.
    double factor = s * (*r->e[0].var - r->e[0].last) / std::hypot(d, h);
    for (int i = 1; i < r->n; i++) {
        Entry& e = r->e[i];
        if (*e.var != e.last) MYERROR(0, "predict", "predict[%d]: data changed", r->n);
        *e.var += factor * (e.last - e.prev);
    }
}

int pred_end() {
    PredRecord* r = predhead;
    if (!r) return 0;
    predhead = r->next;
    myfree(&r);
    return 1;
}
