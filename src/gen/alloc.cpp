// alloc.cpp: heap blocks, the release heap and the string pool.
#include "gen/alloc.h"

#include <cstdlib>
#include <cstring>

const int AllocSizeLim = 0x3FFFFF;
RheapBlock* rheap = nullptr;
char** string_area = nullptr;
char** last_string = nullptr;

void mymalloc(void** p, int size, int zero) {
    if (size > AllocSizeLim || size < 0) {
        extError("alloc", "alloc", __LINE__);
        return;
    }
    void* b = malloc(size > 0 ? (size_t)size : 1);
    if (!b) {
        extError("alloc", "alloc", __LINE__);
        return;
    }
    if (zero) memset(b, 0, (size_t)size);
    *p = b;
}

void myfree(void** p) {
    if (!*p) {
        extError("free(NULL)", "alloc", __LINE__);
        return;
    }
    free(*p);
    *p = nullptr;
}

void myralloc(double** p, int size, int zero) {
    if (!rheap || rheap->n >= 32) {
        RheapBlock* b = nullptr;
        mymalloc(&b, (int)sizeof(RheapBlock), 1);
        if (!b) return;
        b->prev = rheap;
        b->n = 0;
        rheap = b;
    }
    void* a = size >= 0 ? malloc(size > 0 ? (size_t)size : 1) : nullptr;
    if (!a) {
        extError("ralloc", "alloc", __LINE__);
        return;
    }
    if (zero) memset(a, 0, (size_t)size);
    *p = (double*)a;
    rheap->slots[rheap->n++] = a;
}

void myrelease(double** p) {
    void* target = *p;
    for (;;) {
        if (!rheap) {
            extError("release", "alloc", __LINE__);
            return;
        }
        rheap->n--;
        void* freed = rheap->slots[rheap->n];
        myfree(&rheap->slots[rheap->n]);
        if (rheap->n <= 0) {
            RheapBlock* below = rheap->prev;
            myfree(&rheap);
            rheap = below;
        }
        if (freed == target) return;
    }
}

static int stringlen = 0;

void stringinit(int len, int count) {
    if (string_area) {
        for (char** s = string_area; *s; s++) myfree(s);
        myfree(&string_area);
    }
    mymalloc(&string_area, (int)sizeof(char*) * (count + 1), 1);
    if (!string_area) return;
    for (int i = 0; i < count; i++) mymalloc(&string_area[i], len, 1);
    string_area[count] = nullptr;
    last_string = string_area;
    stringlen = len;
}

char* string(const char* format, ...) {
    if (!string_area) stringinit(80, 3);
    last_string++;
    if (!*last_string) last_string = string_area;
    va_list a;
    va_start(a, format);
    vsnprintf(*last_string, (size_t)stringlen, format, a);
    va_end(a);
    return *last_string;
}

void releaseall() {
    while (rheap) {
        if (rheap->n <= 0) {
            RheapBlock* below = rheap->prev;
            myfree(&rheap);
            rheap = below;
            continue;
        }
        double* bottom = (double*)rheap->slots[0];
        myrelease(&bottom);
    }
}
