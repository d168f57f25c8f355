// main.cpp: the program qor. Start-up, then the main loop, which never returns.
#include "qor/qor.h"

int main(int argc, char** argv) {
    startup(argc, argv);
    mainloop();
}
