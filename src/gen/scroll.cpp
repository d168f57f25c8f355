// scroll.cpp: the scroll-back pager over the captured console output.
#include "gen/ground.h"

void scroll() {
    if (!_S_buf) return;
}
