// The scroll-back pager on a captured buffer: moves, search, write, include, exit.
#include "gen/ground.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string readall(FILE* f) {
    fflush(f);
    rewind(f);
    std::string s;
    for (int c; (c = fgetc(f)) != EOF;) s += (char)c;
    return s;
}

// Runs f with the file descriptor fd (1 or 2) going to a temporary file; returns what f wrote.
template <class F>
std::string captured(int fd, F f) {
    fflush(stdout);
    fflush(stderr);
    int saved = dup(fd);
    FILE* t = tmpfile();
    dup2(fileno(t), fd);
    f();
    fflush(stdout);
    fflush(stderr);
    dup2(saved, fd);
    close(saved);
    std::string s = readall(t);
    fclose(t);
    return s;
}

FILE* textfile(const std::string& text) {
    FILE* f = tmpfile();
    fputs(text.c_str(), f);
    rewind(f);
    return f;
}

// A file name that does not exist yet.
std::string tempname() {
    char name[] = "/tmp/qorscrollXXXXXX";
    int fd = mkstemp(name);
    close(fd);
    remove(name);
    return name;
}

// The lines "line 1" .. "line n" captured after the initial newline; a few carry a marker.
class Pager : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(initscroll(1 << 16), 0);
        _Id.echo = 0;
        setscroll(5, 80, 0);  // a window of 4 lines, no clearing
        out = stdout;
        captured(1, [] {
            for (int i = 1; i <= 30; i++) prt("line %d%s", i, i % 10 == 5 ? " abc" : "");
        });
    }
    void TearDown() override {
        setscroll(25, 80, 1);
        in = stdin;
        out = stdout;
        masterin = nullptr;
    }
    // Runs the pager on the commands; returns its standard output.
    std::string page(const std::string& commands) {
        FILE* c = textfile(commands);
        in = c;
        std::string s = captured(1, [] { scroll(); });
        if (in == c) {
            fclose(c);
            in = stdin;
        }
        return s;
    }
};

std::string lines(int from, int to) {
    std::string s;
    for (int i = from; i <= to; i++)
        s += "line " + std::to_string(i) + (i % 10 == 5 ? " abc" : "") + "\n";
    return s;
}

TEST_F(Pager, TopShowsTheFirstWindow) {
    // The first line of the buffer is the empty one that initscroll put there.
    EXPECT_EQ(page("t\nq\n"), "$\n" + lines(1, 3) + "top$");
}

TEST_F(Pager, Moves) {
    struct {
        const char* commands;
        std::string shown;
    } cases[] = {
        {"b\n", lines(27, 30) + "bot$"},
        {"G\n", lines(27, 30) + "bot$"},
        {"b\n-\n", lines(26, 29) + "$"},
        {"b\nu\n", lines(24, 27) + "$"},           // a page is the window less one line
        {"b\n-5\n", lines(22, 25) + "$"},
        {"b\n-5\n3\n", lines(25, 28) + "$"},
        {"b\n-5\n\n", lines(23, 26) + "$"},        // Enter: one line down
        {"b\n-5\nd\n", lines(25, 28) + "$"},
        {"b\n-5\n \n", lines(25, 28) + "$"},
        {"b\n-5\n99\n", lines(27, 30) + "bot$"},    // stops at the end
        {"b\n-99\n", "\n" + lines(1, 3) + "top$"},   // stops at the start
        {"b\nu\nu\nu\nu\nu\nu\nu\nu\nu\nu\nu\n", "\n" + lines(1, 3) + "top$"},
        {"t\ng\n", "\n" + lines(1, 3) + "top$"},
        {"t\nd\n", lines(3, 6) + "$"},
        // e: a newline to out, captured as an empty last line, then the bottom
        {"t\ne\n", "\n" + lines(28, 30) + "\n" + "bot$"},
    };
    for (const auto& c : cases) {
        std::string s = page(std::string(c.commands) + "q\n");
        // What the last command showed: the text after the last prompt but one.
        size_t last = s.rfind('$', s.size() - 2);
        ASSERT_NE(last, std::string::npos) << c.commands;
        EXPECT_EQ(s.substr(last + 1), c.shown) << c.commands;
        SetUp();
    }
}

TEST_F(Pager, FindsAndRepeatsTheSearch) {
    std::string s = page("t\n/abc\n");
    EXPECT_EQ(s.substr(s.rfind("top$") + 4), lines(5, 8) + "$");
    // A bare / goes on to the next occurrence; without one nothing moves.
    s = page("t\n/abc\n/\n");
    EXPECT_EQ(s.substr(s.rfind(lines(5, 8)) + lines(5, 8).size() + 1), lines(15, 18) + "$");
    s = page("t\n/abc\n/\n/\n/\n/\nq\n");
    EXPECT_EQ(s.substr(s.rfind("line 25")), lines(25, 28) + "$$$");
    // The search starts at the top of the current page: on the last page there is no abc.
    EXPECT_EQ(page("b\n/abc\n"), "$" + lines(27, 30) + "bot$bot$");
    // A new string replaces the old.
    s = page("t\n/line 2\n");
    EXPECT_EQ(s.substr(s.rfind("top$") + 4), lines(2, 5) + "$");
    // The string is kept across calls.
    s = page("t\n/\n");
    EXPECT_EQ(s.substr(s.rfind("top$") + 4), lines(2, 5) + "$");
}

TEST_F(Pager, WritesTheCapturedText) {
    std::string name = tempname();
    std::string s = page("w" + name + "\nq\n");
    FILE* f = fopen(name.c_str(), "r");
    ASSERT_NE(f, nullptr);
    std::string written = readall(f);
    fclose(f);
    remove(name.c_str());
    EXPECT_EQ(written, std::string(_S_buf, (size_t)S.len));
    EXPECT_EQ(written, "\n" + lines(1, 30));
    EXPECT_EQ(s, "$\n" + lines(1, 3) + "top$");  // then the top is shown
    EXPECT_EQ(page("w\nq\n"), "$$");             // without a name nothing happens
}

TEST_F(Pager, EndsTheLastLineOnEntry) {
    captured(1, [] { prt_("partial"); });
    page("q\n");
    EXPECT_EQ(std::string(_S_buf + S.len - 8), "partial\n");
}

TEST_F(Pager, EndOfInputLeavesThePager) {
    EXPECT_EQ(page(""), "$");
    EXPECT_EQ(page("t\n"), "$\n" + lines(1, 3) + "top$");
}

TEST_F(Pager, ScreenSettingsAndClearing) {
    page("L10\nC3\n!2\nq\n");
    EXPECT_EQ(S.lines, 10);
    EXPECT_EQ(S.cols, 3);
    EXPECT_EQ(S.clrscr, 2);
    page("L0\nL1\nL99999999999\nC0\nC-4\nq\n");  // sizes the pager cannot use are ignored
    EXPECT_EQ(S.lines, 10);
    EXPECT_EQ(S.cols, 3);
    setscroll(3, 4, 0);
    EXPECT_EQ(page("b\nq\n"), "$line\nline\nbot$");  // lines are cut to the width
    setscroll(3, 4, 1);
    EXPECT_EQ(page("b\nq\n"), "$\n\033[2J\nline\nline\nbot$");
    setscroll(3, 4, 2);
    EXPECT_EQ(page("b\nq\n"), "$\n\n\nline\nline\nbot$");
    setscroll(3, 4, 3);
    EXPECT_EQ(page("b\nq\n"), "$" + std::string(12, ' ') + "\nline\nline\nbot$");
}

TEST_F(Pager, Help) {
    std::string expected =
        "\n5 lines x 80 cols  clrscr=0\n\n$t $g    top\n$b $G    bottom\n$<Enter> line "
        "down\n$-       line up\n$u       page up\n$d $<Spc>page down\n$#       by # lines\n$L#  "
        "    set lines\n$C#      set cols\n$!#      set clrscr mode\n$wFILE   write\n$iFILE   "
        "include\n$/STRING find\n$/       last find\n$q $.    quit scroll\n$exit    exit "
        "prog\n\n";
    std::string so;
    std::string se = captured(2, [&] { so = page("?\nh\nq\n"); });
    EXPECT_EQ(se, expected + expected);
    EXPECT_EQ(so, "$$$");
}

TEST_F(Pager, IncludeSwitchesTheInput) {
    std::string name = tempname();
    FILE* f = fopen(name.c_str(), "w");
    fputs("T=7\n", f);
    fclose(f);
    FILE* c = textfile("i" + name + "\nq\n");
    in = c;
    captured(1, [] { scroll(); });
    EXPECT_EQ(masterin, c);
    ASSERT_NE(in, c);
    EXPECT_EQ(readall(in), "T=7\n");
    EXPECT_EQ(endinclude(), 1);  // back to the outer stream, the include file closed
    EXPECT_EQ(in, c);
    EXPECT_EQ(masterin, nullptr);
    EXPECT_EQ(endinclude(), 0);
    fclose(c);
    remove(name.c_str());
}

// Data entry with two variables, reading through the pager's include files.
double T, x;
void entry() {
    _GetStart();
    do {
        if (_GetId()) {
            if (_GetCmp("T", T)) T = _Id.val;
            if (_GetCmp("x", x)) x = _Id.val;
            _CheckData();
        }
    } while (!_GetEnd());
}

TEST_F(Pager, NestedIncludesReturnToTheirOuterStreams) {
    std::string inner = tempname(), outer = tempname();
    FILE* f = fopen(inner.c_str(), "w");
    fputs("T=2 x=3", f);  // no newline at the end: the end of the file ends the line
    fclose(f);
    f = fopen(outer.c_str(), "w");
    fprintf(f, "x=1\n$i%s\nT=T+1\n", inner.c_str());
    fclose(f);
    FILE* c = textfile("$i" + outer + "\nx=x*10;\n");
    in = c;
    out = tmpfile();
    T = x = 0;
    captured(1, [] { entry(); });  // the pager's prompts
    fclose(out);
    out = stdout;
    EXPECT_EQ(T, 3);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(in, c);
    EXPECT_EQ(masterin, nullptr);
    fclose(c);
    remove(inner.c_str());
    remove(outer.c_str());
}

TEST_F(Pager, IncludingItselfStopsAtTheNestingLimit) {
    std::string self = tempname();
    FILE* f = fopen(self.c_str(), "w");
    fprintf(f, "$i%s\nT=T+1\n", self.c_str());
    fclose(f);
    EXPECT_EXIT(
        {
            in = textfile("$i" + self + "\n;\n");
            out = tmpfile();
            T = 0;
            entry();
        },
        ::testing::ExitedWithCode(1), "includes nested too deeply");
    remove(self.c_str());
}

TEST_F(Pager, BatchReports) {
    EXPECT_EXIT(
        {
            in = textfile("i/nonexistent/file\n");
            out = tmpfile();
            scroll();
        },
        ::testing::ExitedWithCode(1), "\\$i/nonexistent/file: no include file");
    // $exit ends the program from within data entry.
    EXPECT_EXIT(
        {
            in = textfile("x=1 $exit\n");
            entry();
        },
        ::testing::ExitedWithCode(1), "");
    // The end of the input while the pager waits ends the pager; data entry then reports it.
    EXPECT_EXIT(
        {
            in = textfile("x=1 $t");
            out = tmpfile();
            entry();
        },
        ::testing::ExitedWithCode(1), "EOF on in");
}

}  // namespace

namespace {

// "!" comments to the end of the line, a "$" included: the pager would take the rest of the
// line and the lines after it as its commands.
TEST_F(Pager, DollarInACommentIsText) {
    in = textfile("x=1 ! costs $5\nT=2;\n");
    out = tmpfile();
    T = x = 0;
    std::string s = captured(1, [] { entry(); });
    fclose(out);
    fclose(in);
    in = stdin;
    out = stdout;
    EXPECT_EQ(s, "");  // no prompt
    EXPECT_EQ(x, 1);
    EXPECT_EQ(T, 2);
}

}  // namespace
