// The data-entry language through the getdata protocol, as a caller offering variables uses it.
#include "gen/ground.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The caller's variables, in the order in which they are offered.
double T, p, x, a, v[3], w[2];
int key;

double element(const double* e, int n) {
    return _Id.index >= 0 && _Id.index < n ? e[_Id.index] : 0;
}

// One data entry by the protocol: registration, then statements until one ends data entry.
void entry() {
    _GetStart();
    do {
        if (_GetId()) {
            if (_GetCmp("T", T)) T = _Id.val;
            if (_GetCmp("p", p)) p = _Id.val;
            if (_GetCmp("x", x)) x = _Id.val;
            if (_GetCmp("a", a)) a = _Id.val;
            if (_GetCmp("key", key)) key = _IdInt();
            if (_GetVecCmp("v", "", 3, element(v, 3))) v[_Id.index] = _Id.val;
            if (_GetVecCmp("w", ".y", 2, element(w, 2))) w[_Id.index] = _Id.val;
            _CheckData();
        }
    } while (!_GetEnd());
}

void reset() {
    T = 300, p = 1, x = 0.5, a = 2, key = 0;
    v[0] = v[1] = v[2] = 0;
    w[0] = w[1] = 0;
    strcpy(_Id.fmt, " = %-16.9g");
    _Id.echo = 0;
    _Id.val = 0;
    masterin = nullptr;
}

std::string readall(FILE* f) {
    fflush(f);
    rewind(f);
    std::string s;
    for (int c; (c = fgetc(f)) != EOF;) s += (char)c;
    return s;
}

// Runs `entries` data entries in batch use on the input text; returns what they printed.
std::string batch(const std::string& input, int entries = 1) {
    FILE* saved = out;
    FILE* i = tmpfile();
    fputs(input.c_str(), i);
    rewind(i);
    in = i;
    out = tmpfile();
    for (int k = 0; k < entries; k++) entry();
    std::string s = readall(out);
    fclose(out);
    fclose(in);
    out = saved;
    in = stdin;
    return s;
}

// A value as the default format prints it, after the name when there is one.
std::string shown(const char* name, double value) {
    char b[64];
    snprintf(b, sizeof b, "%s%s = %-16.9g\n", *name ? "  " : "", name, value);
    return b;
}

// Makes the given text the standard input of a (death-test) child: interactive use.
void feedstdin(const std::string& text) {
    char name[] = "/tmp/qorstdinXXXXXX";
    int fd = mkstemp(name);
    FILE* f = fdopen(fd, "w");
    fputs(text.c_str(), f);
    fclose(f);
    if (!freopen(name, "r", stdin)) abort();
    remove(name);
    in = stdin;
    out = stdout;
}

class GetData : public ::testing::Test {
  protected:
    void SetUp() override { reset(); }
};

TEST_F(GetData, Assignments) {
    struct {
        const char* input;
        double* var;
        double value;
    } cases[] = {
        {"T=250 x=0.25;", &x, 0.25},
        {"T=250\nx=0.125;", &x, 0.125},         // data entry goes on over lines until ;
        {"x = 3 ;", &x, 3},
        {"x=2 x+=1;", &x, 3},
        {"x=2 x^=2;", &x, 4},
        {"x=7 x%=3;", &x, 1},
        {"x=-7 x%=3;", &x, -1},
        {"x=2 x-=1;", &x, 1},                  // x-1, not 1-x
        {"x=3 x/=2;", &x, 1.5},                // x/2, not 2/x
        {"x=3 x*=2+1;", &x, 9},
        {"x=2 x += 1;", &x, 3},                // blanks around the operator
        {"x=2*3 x=#+1;", &x, 7},
        {"T=300 p=T/100;", &p, 3},             // the calculator sees the new value
        {"v[1]=4;", &v[1], 4},
        {"v[2]=1 v[2]+=2;", &v[2], 3},
        {"w[1].y=5;", &w[1], 5},
        {"x=1 ! set x; T=2\nT=5;", &T, 5},      // the ; in the comment does not end the entry
        {"x=1 ! set x; T=2\nT=5;", &x, 1},
        {"x=1\t\r;", &x, 1},                   // control characters are blanks
    };
    for (const auto& c : cases) {
        reset();
        batch(c.input);
        EXPECT_DOUBLE_EQ(*c.var, c.value) << c.input;
    }
    reset();
    batch("T=200 x=0.75;");
    EXPECT_EQ(T, 200);
    EXPECT_EQ(x, 0.75);
    batch("key=-99.7;");
    EXPECT_EQ(key, -99);  // truncated toward zero
    batch("key=1e30;");
    EXPECT_EQ(key, 2147483647);
}

TEST_F(GetData, WhatStatementsPrint) {
    char fmt94[32];
    snprintf(fmt94, sizeof fmt94, "  p = %9.4f\n", 1.0);
    struct {
        const char* input;
        std::string printed;
    } cases[] = {
        {"p;", shown("p", 1)},
        {"p ;", shown("p", 1)},
        {"?x=4;", shown("x", 4)},
        {"?x+=1;", shown("x", 0.5) + shown("x", 1.5)},  // the old value, then the new
        {"2*3 # x=#+1;", shown("", 6) + shown("", 6)},
        {"?%9.4f p;", fmt94},
        {"pi;", shown("", M_PI)},
        {"a + 1\n;", shown("a", 2)},  // shows a only: the rest of the line is dropped
        {"a+1;", shown("", 3)},  // an expression: no name
        {"T x=1;", shown("T", 300)},
        {"?v[2]=4;", shown("v[2]", 4)},
        {"?w[1].y=4;", shown("w[1].y", 4)},
        {"x=5;", ""},  // echo off: an assignment is silent
    };
    for (const auto& c : cases) {
        reset();
        EXPECT_EQ(batch(c.input), c.printed) << c.input;
    }
    reset();
    batch("T x=1;");
    EXPECT_EQ(x, 1);
}

TEST_F(GetData, SemicolonEndsOneEntryAndTheRestWaits) {
    // The second entry reads what followed the ; on the same input line.
    batch("x=1; T=5;", 1);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(T, 300);
    batch("x=2; T=5;", 2);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(T, 5);
}

TEST_F(GetData, EchoModes) {
    EXPECT_EQ(batch("?=;"), "<echo is copy input>\n");
    // In copy mode every character read is written, then what the statement prints.
    EXPECT_EQ(batch("x=3\np;\n"), "x=3\np;" + shown("p", 1));
    EXPECT_EQ(batch("?=;"), "?=;<echo is on>\n\n");  // on ends data with an empty line
    // On: assignments print their value, and the end of data an empty line.
    EXPECT_EQ(batch("x=4;"), shown("x", 4) + "\n");
    EXPECT_EQ(batch("?=;"), "<echo is off>\n");
    EXPECT_EQ(_Id.echo, 0);
}

TEST_F(GetData, Help) {
    std::string expected =
        "=== getdata/calc V.3 ===\n"
        "EXPR     evaluate expression\n"
        "ID=EXPR  assign EXPR to ID\n"
        "?ID=EXPR ..with echo\n"
        ";        end data\n"
        "ID       print ID value\n"
        "#        last value\n"
        "??       list all ID's\n"
        "?=       toggle auto echo\n"
        "?%FMT  \t set format, e.g. ?%9.7f\n"
        "!        comment to end of line\n";
    std::string tail = "  example:\nid1=2.3*cos(PI/3) id2 += 1 id3=id1^3\n<echo is off>\n";
    char* saved = _S_buf;
    _S_buf = nullptr;
    EXPECT_EQ(batch("?\n;"), expected + tail);
    _S_buf = saved;
    ASSERT_EQ(initscroll(4096), 0);
    _Id.echo = 0;
    EXPECT_EQ(batch("?\n;"), expected + "$?       help of scroll\n" + tail);
}

TEST_F(GetData, FormatsAcceptOneFloatingConversion) {
    struct {
        const char* input;
        const char* fmt;
    } cases[] = {
        {"?%9.4f;", " = %9.4f"},
        {"?%-12.5e;", " = %-12.5e"},
        {"?%+G;", " = %+G"},
        {"?%.3gK;", " = %.3gK"},      // text after the conversion is kept
        {"?%#08.3f;", " = %#08.3f"},
    };
    for (const auto& c : cases) {
        reset();
        batch(c.input);
        EXPECT_STREQ(_Id.fmt, c.fmt) << c.input;
    }
}

TEST(GetDataDeathTest, BadFormatsAreRejected) {
    struct {
        const char* input;
        int status;  // the code of the message's first letter
        const char* message;
    } cases[] = {
        {"?% p;", 'b', "question:[0-9]+ ERROR bad format"},
        {"?%;", 'b', "bad format"},
        {"?%s;", 'b', "bad format"},
        {"?%d;", 'b', "bad format"},
        {"?%s%g;", 'b', "bad format"},   // a second conversion smuggled in
        {"?%n%f;", 'b', "bad format"},
        {"?%5.2f%n;", 'b', "bad format"},
        {"?%5.2f%%;", 'b', "bad format"},
        {"?%Lf;", 'b', "bad format"},
        {"?%*f;", 'b', "bad format"},
        {"?%999f;", 'b', "bad format"},   // widths and precisions are bounded
        {"?%.100f;", 'b', "bad format"},
        {"?%123456789012g;", 'b', "bad format"},  // no letter within 12 characters
        {"?%9.4fabcdefgh;", 'f', "question:[0-9]+ ERROR format too long"},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                reset();
                batch(c.input);
            },
            ::testing::ExitedWithCode(c.status), c.message)
            << c.input;
    }
}

TEST(GetDataDeathTest, BatchReportsEnd) {
    std::string longline(200, 'x');
    std::string longname = "x=" + std::string(100, 'a') + "+1;";
    struct {
        std::string input;
        int status;
        const char* message;
    } cases[] = {
        {"T=1", 1, "EOF on in"},
        {"", 1, "ERROR in \"ground\", line [0-9]+\n\\*\\*\\* EOF on in"},
        {longline + ";", 'd', "ground:[0-9]+ ERROR data:line too long"},
        {"x=(1+2;", 'd', "data:bad number or expression \\(\"\\?\" for help\\)"},
        {"x=1+2);", 'd', "data:bad number or expression"},
        {"x=;", 'd', "data:bad number or expression"},
        {"x+=;", 'd', "data:bad number or expression"},
        {longname, 'd', "data:bad number or expression"},
        {"foo=1;", 'd', "data:bad identifier or syntax \\(\"\\?\" for help\\)"},
        {"foo;", 'd', "data:bad identifier or syntax"},
        {"Pi;", 'd', "data:bad identifier or syntax"},
        {"v[2=1;", 'm', "ground:[0-9]+ ERROR missing ]"},
        {"v[3]=1;", 'd', "v:3 ERROR data:index"},
        {"v[-1]=1;", 'd', "v:-1 ERROR data:index"},
        {"v[99999999999999999999]=1;", 'd', "ERROR data:index"},
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                reset();
                batch(c.input);
            },
            ::testing::ExitedWithCode(c.status), c.message)
            << c.input;
    }
}

// Interactively the user resumes after a report; data entry then goes on unharmed.
TEST(GetDataDeathTest, ResumedReportsLeaveStateIntact) {
    struct {
        std::string input;
        double x;
    } cases[] = {
        {"v[5]=1 x=2;\nr\n", 2},                    // no assignment, the line goes on
        {"foo+=1\nr\nx=3;\n", 3},                  // the compound operator is dropped too
        {"x=(1\nr\nx=4;\n", 4},
        {std::string(300, 'y') + "\nr\nx=5;\n", 5},  // the whole long line is dropped
        {"?%s x=9\nr\nx=6;\n", 6},                  // the rest of the line is dropped
        {"?%9.4fabcdefgh x=7;\nr\n", 7},            // too long: the line goes on
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                reset();
                feedstdin(c.input);
                entry();
                bool ok = x == c.x && v[0] == 0 && v[1] == 0 && v[2] == 0 && _Id.list == nullptr &&
                          strcmp(_Id.fmt, " = %-16.9g") == 0;
                fprintf(stderr, "x=%g\n", x);
                exit(ok ? 0 : 3);
            },
            ::testing::ExitedWithCode(0), "execution resumed|ERROR")
            << c.input;
    }
    // End of input at the terminal: the report's menu meets it too and the run ends.
    EXPECT_EXIT(
        {
            reset();
            feedstdin("T=1");
            entry();
        },
        ::testing::ExitedWithCode(1), "select:  \\(a\\)bort  \\(e\\)xit  \\(i\\)gnore");
}

// The listing of ?? names every variable in the caller's order, wrapped before column 80.
TEST_F(GetData, ListingWrapsBeforeColumn80) {
    std::vector<std::string> names;
    for (int i = 0; i < 30; i++) names.push_back("variable" + std::to_string(i));
    FILE* i = tmpfile();
    fputs("??\n;", i);
    rewind(i);
    in = i;
    FILE* saved = out;
    out = tmpfile();
    _GetStart();
    do {
        if (_GetId()) {
            for (const auto& n : names) _GetCmp(n.c_str(), 1);
            _GetVecCmp("vec", ".s", 1000, 0);
            _CheckData();
        }
    } while (!_GetEnd());
    std::string s = readall(out);
    fclose(out);
    fclose(in);
    out = saved;
    in = stdin;
    size_t start = 0, at = 0;
    int lines = 0;
    while (start < s.size()) {
        size_t nl = s.find('\n', start);
        ASSERT_NE(nl, std::string::npos);
        EXPECT_LT(nl - start, 80u) << s.substr(start, nl - start);
        lines++;
        start = nl + 1;
    }
    EXPECT_GT(lines, 3);
    for (const auto& n : names) {
        size_t f = s.find(n + " ", at);
        ASSERT_NE(f, std::string::npos) << n;
        at = f;
    }
    EXPECT_NE(s.find("vec[0..999].s "), std::string::npos);
}

}  // namespace
