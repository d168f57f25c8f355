// qorres.h: the key table, the res-file and the plot files.
#pragma once
#include <cstdio>

int keystat(int key);  // flag byte of a key: phases, critical, azeotrope, class
void keylist();                   // prints the table of keys with their names

extern int resprthdr;      // the next res-file line is preceded by the headers
extern const char* gcomment;  // comment prefix of the res-file and the plot files

void write2res(double p, double T, double* Ttvp);
FILE* openres(const char* mode);
int iscomment(const char* line);
void p2gnu(double T);
void excess2gnu(double p, double T);
