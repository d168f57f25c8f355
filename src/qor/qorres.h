// qorres.h: the key table, the res-file and the plot files.
#pragma once
#include <cstdio>

int keystat(int key);  // flag byte of a key: phases, critical, azeotrope, class
void keylist();                   // prints the table of keys with their names

extern int resprthdr;      // the next res-file line is preceded by the headers
extern const char* gcomment;  // comment prefix of the res-file and the plot files

// Appends the current point (p, T absolute) to the res-file, or runs the write request of a
// key from -13 to -10. *Ttvp: start and result temperature of the .tvp computation.
void write2res(double p, double T, double* Ttvp);
FILE* openres(const char* mode);  // the res-file, or null after an error report
FILE* opentvp();                  // the .tvp file for appending, or null after an error report
int iscomment(const char* line);  // 0, or the character after the comment prefix ('\n': none)
void p2gnu(double T);                 // the isotherm p(rho) at x into the file "gnu"
void excess2gnu(double p, double T);  // the excess functions of mixing into the file "gnu"
