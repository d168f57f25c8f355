// Parameter codes, the res-file column options, the secant step and the checks.
#include "qor/qorglob.h"

#include <cstring>

#include "modeltest.h"

using namespace modeltest;

namespace {

class Glob : public ::testing::Test {
  protected:
    void SetUp() override {
        resetmodel();
        msglev = 0;
        sig = 0;
        setparms();
    }
    void TearDown() override {
        resetmodel();
        sig = 0;
        addrtosolve = addrtotrace = nullptr;
    }
};

}  // namespace

TEST_F(Glob, ParameterCodes) {
    struct {
        int code;
        const char* name;
        double* addr;
    } codes[] = {{1, "a1", &a1},       {2, "a2", &a2},     {3, "aX", &aX},
                 {11, "axes1", &axes1}, {12, "axes2", &axes2}, {21, "s1", &s1},
                 {22, "s2", &s2},       {23, "sX", &sX},     {31, "eps1", &eps1},
                 {32, "eps2", &eps2},   {33, "epsX", &epsX}};
    for (auto c : codes) {
        EXPECT_STREQ(solveinfo(c.code), c.name);
        EXPECT_EQ(tosolve(c.code), c.addr) << c.code;
        EXPECT_EQ(whichsolve(c.name), c.code);
    }
    for (int bad : {0, 4, 10, 13, 24, 34, -1, 99}) EXPECT_STREQ(solveinfo(bad), "?");
    EXPECT_EQ(whichsolve("a3"), -9999);
    EXPECT_EQ(whichsolve("?"), -111);  // the smallest code of the range, being invalid
}

TEST_F(Glob, DefaultColumns) {
    struct {
        int entry;
        const char* name;
        double* value;
        const char* format;
    } cols[] = {{1, "aX", &aX, "%9.7f"}, {2, "a2", &a2, "%10.7f"}, {3, "s2", &s2, "%9.7f"}};
    for (auto c : cols) {
        EXPECT_STREQ(parms[c.entry].name, c.name);
        EXPECT_EQ(parms[c.entry].value, c.value);
        EXPECT_STREQ(parms[c.entry].format, c.format);
    }
    EXPECT_STREQ(parms[0].name, "x");
    EXPECT_STREQ(parms[4].name, "/");  // a constant 0 column
    EXPECT_EQ(*parms[4].value, 0);
    EXPECT_STREQ(parms[4].format, "%1.0f");
    for (int e : {0, 5, 6, 7}) EXPECT_STREQ(parms[e].format, "%10.7f");
}

TEST_F(Glob, ColumnOptions) {
    struct {
        const char* option;
        int entry;
        const char* name;
        double* value;
        const char* format;
    } options[] = {
        {"-p1=21%9.6f", 1, "s1", &s1, "%9.6f"},   // a code
        {"-p2:s1%9.6f", 2, "s1", &s1, "%9.6f"},   // a name
        {"-p3:s1/9.6f", 3, "s1", &s1, "%9.6f"},   // '/' for a '%' the shell would eat
        {"-p4epsX%12.4e", 4, "epsX", &epsX, "%12.4e"},  // no ':' or '='
        {"-p7:%8.5f", 7, nullptr, nullptr, "%8.5f"},   // a digit names the entry
        {"-pT:%8.3g", 5, nullptr, nullptr, "%8.3g"},
        {"-pp:%lf", 6, nullptr, nullptr, "%lf"},
        {"-p0:%6.4f", 0, "x", nullptr, "%6.4f"},
        {"-p2:33%5.1f%%", 2, "epsX", &epsX, "%5.1f%%"},
    };
    for (auto o : options) {
        std::string s = written([&] { setparm(o.option); });
        EXPECT_EQ(s, "") << o.option;
        EXPECT_STREQ(parms[o.entry].format, o.format) << o.option;
        if (o.name) {
            EXPECT_STREQ(parms[o.entry].name, o.name) << o.option;
        }
        if (o.value) {
            EXPECT_EQ(parms[o.entry].value, o.value) << o.option;
        }
    }
    EXPECT_EQ(parms[1].code, 21);
    EXPECT_EQ(parms[2].code, 33);
    // The option text may go away: the table keeps its own copies.
    char text[] = "-p1:a1%7.3f";
    setparm(text);
    strcpy(text, "garbage....");
    EXPECT_STREQ(parms[1].name, "a1");
    EXPECT_STREQ(parms[1].format, "%7.3f");
}

// A format that is not one conversion of a double is reported and not used: the column
// keeps its format, so the res-file writer never hands a double to %d or %s.
TEST_F(Glob, BadFormatsAreNotUsed) {
    for (const char* option : {"-p1:a1%9.6d", "-p1:a1%9.6f%s", "-p1:a1%*f", "-p1:a1%Lf",
                               "-p1:a1%n%f", "-p1:a1%f%f"}) {
        setparms();
        std::string s = written([&] { setparm(option); });
        EXPECT_NE(s.find("WARNING"), std::string::npos) << option;
        EXPECT_NE(s.find(" bad format"), std::string::npos) << option;
        EXPECT_STREQ(parms[1].format, "%9.7f") << option;
        EXPECT_STREQ(parms[1].name, "a1") << option;  // the rest of the option still counts
    }
    std::string s = written([] { setparm("-p1:a1%9.6d"); });
    EXPECT_NE(s.find("%9.6d bad format"), std::string::npos) << s;
}

TEST(GlobDeathTest, OptionErrors) {
    struct {
        const char* option;
        const char* message;
    } errors[] = {
        {"-pz:%g", "-pz:%g: one of \\{Tpx1234\\} expected after -p"},
        {"-p8:%g", "-p8:%g: one of \\{Tpx1234\\} expected after -p"},
        {"-p", "-p: one of \\{Tpx1234\\} expected after -p"},
        {"-p1:a1", "format missing in -p1:a1"},
        {"-p1:zz%g", "-p1:zz%g unknown parm"},
        {"-p1:5%g", "-p1:5%g unknown parm"},
        {"-p1:abcdefghijklmnopq%g", "-p1:abcdefghijklmnopq%g bad format"},
    };
    for (auto e : errors) {
        EXPECT_EXIT(
            {
                out = tmpfile();
                setparm(e.option);
            },
            ::testing::ExitedWithCode(1), e.message)
            << e.option;
    }
    // Interactively ignored: the entry keeps what it had, but for a stored format.
    EXPECT_EXIT(
        {
            setparms();
            feedstdin("i\n");
            setparm("-p1:zz%5.2f");
            bool ok = !strcmp(parms[1].name, "aX") && parms[1].value == &aX &&
                      !strcmp(parms[1].format, "%5.2f");
            fprintf(stderr, ok ? "went on" : "wrong");
            exit(42);
        },
        ::testing::ExitedWithCode(42), "went on");
    EXPECT_EXIT(
        {
            out = tmpfile();
            tosolve(4);
        },
        ::testing::ExitedWithCode(1), "invalid solve=4");
    EXPECT_EXIT(
        {
            feedstdin("i\n");
            double* a = tosolve(4);
            fprintf(stderr, a && *a == 0 && a != &a1 ? "placeholder" : "wrong");
            exit(42);
        },
        ::testing::ExitedWithCode(42), "placeholder");
}

TEST_F(Glob, SecantOnAParameter) {
    // The first call steps back by dpar whatever f is; then secant steps on a linear residual
    // find its zero at once, and the next call reports convergence.
    double par = 1, fold = 0, dpar = 0.001;
    addrtosolve = &par;
    EXPECT_EQ(nextglobsecant(&par, 0.25, &fold, &dpar, 1e-6), 1);
    EXPECT_DOUBLE_EQ(par, 0.999);
    EXPECT_EQ(fold, 0.25);
    auto f = [](double u) { return 2 * (u - 0.7); };
    int calls = 0;
    while (nextglobsecant(&par, f(par), &fold, &dpar, 1e-6) && calls < 20) calls++;
    EXPECT_LE(calls, 2);
    EXPECT_NEAR(par, 0.7, 1e-12);
    // An exact zero at the start still steps away once.
    par = 2, fold = 0, dpar = 0.01;
    EXPECT_EQ(nextglobsecant(&par, 0, &fold, &dpar, 1e-6), 1);
    EXPECT_DOUBLE_EQ(par, 1.99);
    // The parameter is in use at once: setconst ran.
    a1 = 1;
    fold = 0, dpar = 1;
    nextglobsecant(&a1, 1, &fold, &dpar, 1e-6);
    EXPECT_EQ(a1, 0);
    EXPECT_NEAR(P(2, 1, 1), 1 / (2 - (double)pi6), 1e-15);
    a1 = 1;
    setconst();
}

TEST_F(Glob, SecantTraceAndInterrupt) {
    double par = 1, other = 1, fold = 0, dpar = 0.5;
    addrtosolve = &par;
    msglev = 0x10;
    std::string s = written([&] { nextglobsecant(&par, 0.125, &fold, &dpar, 1e-6); });
    EXPECT_EQ(s, "=========== f=1.250000e-01  1.000000000000 -->0.500000000000 ===========\n");
    fold = 0, dpar = 0.5;
    s = written([&] { nextglobsecant(&other, 0.125, &fold, &dpar, 1e-6); });
    EXPECT_EQ(s, "########### f=1.250000e-01  1.000000000000 -->0.500000000000 ###########\n");
    msglev = 0x30;
    fold = 0, dpar = 0.5, par = 1;
    s = written([&] { nextglobsecant(&par, 0.125, &fold, &dpar, 1e-6); });
    EXPECT_EQ(s, "\n=========== f=1.250000e-01  1.000000000000 -->0.500000000000 ===========\n\n");
    msglev = 0;
    sig = 1;  // an interrupt ends the iteration
    fold = 0, dpar = 0.5, par = 1;
    EXPECT_EQ(nextglobsecant(&par, 0.125, &fold, &dpar, 1e-6), 0);
    sig = 0;
}

// A residual that does not change or is not a number gives no secant step: the computation
// is abandoned instead of putting inf or NaN into the parameter.
TEST_F(Glob, SecantWithoutSlopeJumps) {
    double par = 1, fold = 0.5, dpar = 0.01;
    EXPECT_EQ(jumpmessage([&] { nextglobsecant(&par, 0.5, &fold, &dpar, 1e-6); }),
              "secant: residual unchanged, f=0.5");
    EXPECT_EQ(par, 1);
    EXPECT_EQ(jumpmessage([&] { nextglobsecant(&par, NAN, &fold, &dpar, 1e-6); }),
              "secant: residual f=nan");
    EXPECT_EQ(par, 1);
}

TEST_F(Glob, SolveIsTrace) {
    addrtosolve = &a2;
    addrtotrace = &s2;
    EXPECT_EQ(jumpmessage([] { solveistrace(); }), "");
    addrtotrace = &a2;
    EXPECT_EQ(jumpmessage([] { solveistrace(); }), "solve==trace: wrong key table");
}

TEST_F(Glob, ChecksWarn) {
    struct {
        double pexp;
        int minpar;
        double ipred, deps, deps2;
        const char* warning;  // "" for none
    } cases[] = {
        {6, 0, 0.8, 6, 12, ""},
        {0.01, 0, 0.8, 6, 12, "pexp=0.01 is suspicious"},
        {-200, 0, 0.8, 6, 12, "pexp=-200 is suspicious"},
        {6, 11, 0.8, 6, 12, "minpar=11 is suspicious"},
        {6, -11, 0.8, 6, 12, "minpar=-11 is suspicious"},
        {6, 0, 0, 6, 12, ""},  // ipred 0 is not suspicious
        {6, 0, 0.05, 6, 12, "ipred=0.05 is suspicious"},
        {6, 0, 3, 6, 12, "ipred=3 is suspicious"},
        {6, 0, 0.8, 1e-4, 12, "deps=0.0001 is suspicious"},
        {6, 0, 0.8, 6, 2000, "deps2=2000 is suspicious"},
    };
    for (auto c : cases) {
        pexp = c.pexp, minpar = c.minpar, ipred = c.ipred, deps = c.deps, deps2 = c.deps2;
        std::string s = written([] { globchecks(); });
        if (*c.warning) {
            EXPECT_NE(s.find("WARNING"), std::string::npos) << c.warning;
            EXPECT_NE(s.find(c.warning), std::string::npos) << s;
        } else {
            EXPECT_EQ(s, "");
        }
        EXPECT_EQ(pexp, c.pexp);  // warnings change nothing
        EXPECT_EQ(deps, c.deps);
    }
    pexp = 6, minpar = 0, ipred = 0.8, deps = 6, deps2 = 12;
}

TEST(GlobDeathTest, ChecksCorrect) {
    EXPECT_EXIT(
        {
            out = tmpfile();
            pexp = 0;
            globchecks();
        },
        ::testing::ExitedWithCode(1), "wrong pexp=0, changed to 1");
    EXPECT_EXIT(
        {
            out = tmpfile();
            deps = 0;
            globchecks();
        },
        ::testing::ExitedWithCode(1), "deps=0");
    EXPECT_EXIT(
        {
            feedstdin("i\ni\ni\n");
            initscroll(1 << 16);
            pexp = 0;
            deps = 0;
            deps2 = 0;
            globchecks();
            bool said = strstr(_S_buf, "wrong pexp=0, changed to 1") && strstr(_S_buf, "deps=0") &&
                        strstr(_S_buf, "deps2=0");
            fprintf(stderr, said && pexp == 1 && deps == 6 && deps2 == 12 ? "corrected" : "wrong");
            exit(42);
        },
        ::testing::ExitedWithCode(42), "corrected");
}
