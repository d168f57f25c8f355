// alloc.h: heap blocks that report their failures, the release heap of work arrays,
// and a small pool of formatted strings.
#pragma once
#include "gen/ground.h"

extern const int AllocSizeLim;  // largest block mymalloc hands out: 4 MiB - 1

// One block of the release heap: up to 32 allocations, released newest first.
struct RheapBlock {
    void* slots[32];   // allocations, oldest first
    int n;             // slots in use
    RheapBlock* prev;  // the block below, null for the bottom block
};
extern RheapBlock* rheap;  // top block of the release heap, null when empty

extern char** string_area;  // null-terminated array of the pool's buffers
extern char** last_string;  // slot of the buffer used last

// Allocates size bytes into *p (zeroed if zero is set); reports "alloc" on failure.
void mymalloc(void** p, int size, int zero);
// Frees *p and sets it to null; reports "free(NULL)" for a null pointer.
void myfree(void** p);
// Allocates like mymalloc and records the block on the release heap.
void myralloc(double** p, int size, int zero);
// Frees, newest first, every block of the release heap down to and including *p.
void myrelease(double** p);
// Frees the whole release heap: the main loop's clean-up after an abandoned computation.
void releaseall();

void stringinit(int len, int count);
// Formats into the next buffer of the pool (80 bytes, three of them, by default); the text
// stays intact for the next two calls. Longer texts are cut.
char* string(const char* format, ...) GEN_PRINTF(1, 2);

// Typed forms of mymalloc/myfree, so callers need no casts.
template <class T>
inline void mymalloc(T** p, int size, int zero) {
    void* v = *p;
    mymalloc(&v, size, zero);
    *p = (T*)v;
}
template <class T>
inline void myfree(T** p) {
    void* v = *p;
    myfree(&v);
    *p = (T*)v;
}
