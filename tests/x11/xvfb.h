// A private X server for the window tests: Xvfb on a free display, xdotool for real input,
// and the program's own screen dump to look at the result.
#pragma once
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "gen/draw.h"
#include "gen/drawx11.h"
#include "gen/dumpscr.h"

namespace xtest {

inline bool onpath(const char* prog) {
    const char* path = getenv("PATH");
    std::string p = path ? path : "/usr/bin:/bin";
    for (size_t a = 0; a <= p.size();) {
        size_t b = p.find(':', a);
        if (b == std::string::npos) b = p.size();
        std::string f = p.substr(a, b - a) + "/" + prog;
        if (access(f.c_str(), X_OK) == 0) return true;
        a = b + 1;
    }
    return false;
}

inline pid_t& serverpid() {
    static pid_t pid = 0;
    return pid;
}

inline void stopserver() {
    if (serverpid() > 0) {
        kill(serverpid(), SIGTERM);
        waitpid(serverpid(), nullptr, 0);
        serverpid() = 0;
    }
}

// Starts Xvfb (it picks a free display and tells it through a pipe) and opens the window.
// Empty on success, else why the window tests cannot run here.
inline std::string startserver() {
    if (!onpath("Xvfb")) return "Xvfb not found: window tests skipped";
    if (!onpath("xdotool")) return "xdotool not found: window tests skipped";
    int fd[2];
    if (pipe(fd) != 0) return "pipe failed";
    pid_t pid = fork();
    if (pid == 0) {
        close(fd[0]);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        char num[16];
        snprintf(num, sizeof num, "%d", fd[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", num, "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", (char*)nullptr);
        _exit(127);
    }
    close(fd[1]);
    if (pid < 0) return "fork failed";
    serverpid() = pid;
    atexit(stopserver);
    std::string number;
    pollfd p = {fd[0], POLLIN, 0};
    char c;
    while (poll(&p, 1, 20000) == 1 && read(fd[0], &c, 1) == 1 && c != '\n') number += c;
    close(fd[0]);
    if (number.empty()) return "Xvfb did not start: window tests skipped";
    setenv("DISPLAY", (":" + number).c_str(), 1);
    xwindowhints.geometry = "640x480-10+20";
    xwindowhints.title = "xtest";
    if (startgraph(0) != 0) return "no window on the private X server";
    return "";
}

inline const std::string& server() {
    static std::string why = startserver();
    return why;
}

// Starts a program with arguments (no shell) without waiting: the test polls the window
// meanwhile. Returns the child's id.
inline pid_t start(std::initializer_list<std::string> args) {
    std::vector<std::string> a(args);
    std::vector<char*> argv;
    for (auto& s : a) argv.push_back(&s[0]);
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// The same, waiting for it; its exit status.
inline int run(std::initializer_list<std::string> args) {
    int status = -1;
    waitpid(start(args), &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline bool finished(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == pid; }

inline std::string winid() { return std::to_string((unsigned long)win); }

// Everything the server has for us is in the key buffer and the mouse record.
inline void settle() {
    XSync(display, False);
    hit(0);
}

// Waits (at most 5 s) until n key codes are waiting.
inline bool waitkeys(int n) {
    for (int i = 0; i < 500 && keybufptr < n; i++) {
        settle();
        if (keybufptr < n) usleep(10000);
    }
    return keybufptr >= n;
}

// Types keys into the window: focus it, then press them.
inline void type(std::initializer_list<std::string> keys) {
    std::vector<std::string> a = {"xdotool", "windowfocus", "--sync", winid(), "key"};
    a.insert(a.end(), keys.begin(), keys.end());
    std::vector<char*> argv;
    for (auto& s : a) argv.push_back(&s[0]);
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    waitpid(pid, nullptr, 0);
}

struct Shot {
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    // the palette index of a pixel, by its dump colour
    int at(int x, int y) const {
        static const unsigned char pal[16][3] = {
            {0, 0, 0},    {0, 0, 127},   {0, 127, 0},  {0, 127, 127}, {127, 0, 0}, {127, 0, 127},
            {127, 63, 0}, {150, 150, 150}, {80, 80, 80}, {0, 0, 255},  {0, 255, 0}, {0, 255, 255},
            {255, 0, 0},  {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
        const unsigned char* p = &rgb[3 * ((size_t)y * w + x)];
        for (int k = 0; k < 16; k++)
            if (!memcmp(p, pal[k], 3)) return k;
        return -1;
    }
};

// The window through the program's own dump (key "m").
inline Shot shot() {
    char name[] = "/tmp/qorshotXXXXXX";
    int fd = mkstemp(name);
    close(fd);
    setenv("PRTSCR", name, 1);
    settle();
    DumpScr('m');
    unsetenv("PRTSCR");
    Shot s;
    FILE* f = fopen(name, "rb");
    if (f && fscanf(f, "P6 %d %d 255", &s.w, &s.h) == 2 && fgetc(f) == '\n' && s.w > 0 &&
        s.h > 0 && s.w <= 4096 && s.h <= 4096) {
        s.rgb.resize((size_t)s.w * s.h * 3);
        if (fread(s.rgb.data(), 1, s.rgb.size(), f) != s.rgb.size()) s.rgb.clear(), s.w = s.h = 0;
    }
    if (f) fclose(f);
    remove(name);
    return s;
}

}  // namespace xtest

// Each test starts from a cleared window with nothing waiting.
class OnWindow : public testing::Test {
protected:
    void SetUp() override {
        if (!xtest::server().empty()) GTEST_SKIP() << xtest::server();
        worktime0 = 1e9;   // never idle: polling loops of the tests must not fall asleep
        setwritemode(0);
        setlinestyle(0, 0, 1);
        clearviewport();
        xtest::settle();
        keybufptr = 0;
    }
};
