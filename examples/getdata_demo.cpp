// getdata_demo: the data-entry language on a few variables, at a terminal or from a pipe.
// Each data entry ends with ';', key=-99 ends the program; try  T=350 x+=0.1 c[1]=sqrt 2 ?? ;
#include "gen/ground.h"

#include <unistd.h>

namespace {

double T = 300, p = 1, x = 0.5;
int key = 0;
double c[3] = {0.25, 0.5, 0.25};

void status() {
    prt_(_putformat, "T", T);
    prt_(_putformat, "p", p);
    prt(_putformat, "x", x);
    prt(_putformat, "key", (double)key);
    for (int i = 0; i < 3; i++) prt_("%8s[%d]=%-13.6g ", "c", i, c[i]);
    prtc('\n');
}

// One data entry: the variables are offered by name, in this order, to every statement.
void entry() {
    _GetStart();
    do {
        if (_GetId()) {
            if (_GetCmp("T", T)) T = _Id.val;
            if (_GetCmp("p", p)) p = _Id.val;
            if (_GetCmp("x", x)) x = _Id.val;
            if (_GetCmp("key", key)) key = _IdInt();
            // The element is read only once the index is known to be in range.
            double now = _Id.index >= 0 && _Id.index < 3 ? c[_Id.index] : 0;
            if (_GetVecCmp("c", "", 3, now)) c[_Id.index] = _Id.val;
            _CheckData();
        }
    } while (!_GetEnd());
}

}  // namespace

int main() {
    initscroll(1 << 16);  // keeps the output for the pager: type $? for its commands
    // Piped input is not echoed by a terminal: copy it to the output instead, and keep the
    // output in step with the reports on the standard error stream.
    if (!isatty(0)) {
        _Id.echo = 1;
        setvbuf(stdout, nullptr, _IOLBF, 0);
    }
    for (;;) {
        status();
        entry();
        if (key == -99) break;
    }
    prt("key=-99: bye");
    return 0;
}
