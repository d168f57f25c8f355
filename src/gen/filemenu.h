// filemenu.h: choose a file name from the files that match a wildcard mask.
#pragma once

// Lists the files matching mask (in-process, never through a shell) on the standard output,
// asks for a name on the standard input and repeats while the answer is itself a mask. The
// extension of the mask (from its last '.', when no wildcard follows it) is added to the
// answer. Returns the name in a static buffer of 128 bytes, valid until the next call; null
// when flag is set (graphics mode: the bell rings, nothing is asked) or when the input ends
// before a name is typed.
char* fmenu(const char* mask, int flag);
