// The variable table: data entry over the 69 variables, its checks and corrections, and the
// status display.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "capture.h"
#include "gen/ground.h"
#include "qor/qor.h"
#include "qor/qorglob.h"
#include "qor/qorsys.h"

namespace {

// Runs one data entry on text in batch use and returns what it printed.
std::string enter(const char* text) {
    FILE* savedin = in;
    in = fmemopen((void*)text, strlen(text), "r");
    _Id.echo = 0;
    std::string s = written([] { GetData(); });
    fclose(in);
    in = savedin;
    return s;
}

std::string display() { return written([] { PutData(); }); }

class VariableTable : public ::testing::Test {
  protected:
    void SetUp() override {
        realprec = machprec();
        setparms();
        prec = 7 * realprec;
        eps = 1e-6;
    }
};

}  // namespace

TEST_F(VariableTable, IntsTruncateTowardZero) {
    enter("key=2.9;");
    EXPECT_EQ(key, 2);
    enter("key=-2.9;");
    EXPECT_EQ(key, -2);
    enter("line=7 gr=-3 T=300 x=0.25;");
    EXPECT_EQ(pline, 7);  // the variable "line" is pline
    EXPECT_EQ(gr, 3);     // gr is made non-negative
    EXPECT_EQ(T, 300);
    EXPECT_EQ(x, 0.25);
    enter("line=0 gr=1;");
}

TEST_F(VariableTable, ListsAllVariablesInTableOrder) {
    std::string s = enter("??;");
    const char* expect =
        "s1 s2 epsX body1 a1 a2 aX body2 key history red msglev ref.T ref.p ref.V \n"
        "maxpack minT res tvp pred line aspect forT q qq predlevel dpredq solve trace \n"
        "ipred bump sort pn stable psun allv minkey minpar pexp maxit x y z w gr n zoom \n"
        "x0 x1 dx eps deps deps2 prec order T V p roots I.x I.xx I.y I.z I.w solve2 aux \n"
        "Ttvp diagram minV \n";
    EXPECT_NE(s.find(expect), std::string::npos) << s;
}

TEST_F(VariableTable, WarningsInformAndCorrect) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"eps=5;", "eps=5: replaced by "},  // a digit count never survives data entry
        {"aspect=1e-5;", "aspect=1e-05 is suspicious"},
        {"q=2000;", "q=2000 is suspicious"},
        {"qq=-2000;", "qq=-2000 is suspicious"},
        {"predlevel=12;", "too slow with predlevel=12"},
        {"pexp=200;", "pexp=200 is suspicious"},
    };
    for (const Case& c : cases) {
        std::string s = enter(c.text);
        EXPECT_NE(s.find(c.message), std::string::npos) << c.text << "\n" << s;
        EXPECT_NE(s.find("*** WARNING in"), std::string::npos) << c.text;
    }
    EXPECT_DOUBLE_EQ(eps, std::sqrt(prec));
    enter("aspect=2 q=1 qq=1 predlevel=3 pexp=6;");
}

TEST_F(VariableTable, SmallPrecWarnsOncePerValue) {
    EXPECT_NE(enter("prec=1e-20;").find("prec=1e-20 < realprec="), std::string::npos);
    EXPECT_EQ(enter("prec=1e-20;").find("realprec"), std::string::npos);
    EXPECT_NE(enter("prec=1e-21;").find("prec=1e-21 < realprec="), std::string::npos);
    prec = 7 * realprec;
}

TEST_F(VariableTable, IterationLimitOfTheSolver) {
    enter("maxit=30 msglev=55;");  // bit 32 asks for the solver's trace lines
    EXPECT_EQ(s2maxit, 30);
    enter("msglev=23;");
    EXPECT_EQ(s2maxit, -30);
    enter("maxit=25;");
}

// An error of level 1 ends a batch run with status 1; interactively, "i" applies the correction.
TEST(VariableTableDeathTest, ErrorsEndBatchOrCorrect) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"maxit=0;", "invalid maxit"},
        {"predlevel=1;", "bad predlevel=1, changed to 3"},
        {"roots=4;", "roots=4 too big"},
        {"tvp=5;", "invalid tvp"},
        {"deps=0;", "deps=0"},
        {"I.xx=7;", "I.xx=7 out of range"},
        {"history=100;", "history=100 out of range"},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(enter(c.text), ::testing::ExitedWithCode(1), "") << c.text;
    }
    // Interactive: the error is ignored and the corrected value stays.
    EXPECT_EXIT(
        {
            FILE* f = fopen("/tmp/qor_getdata_in", "w");
            fputs("maxit=-3 roots=5 tvp=2;\ni\ni\ni\n", f);
            fclose(f);
            if (!freopen("/tmp/qor_getdata_in", "r", stdin)) exit(9);
            in = stdin;
            out = stdout;
            realprec = machprec();
            prec = 7 * realprec;
            eps = 1e-6;
            GetData();
            fprintf(stderr, "maxit=%d roots=%d tvp=%d\n", maxit, roots, tvp);
            exit(0);
        },
        ::testing::ExitedWithCode(0), "maxit=25 roots=2 tvp=1");
}

TEST_F(VariableTable, StatusDisplay) {
    nv = 0;
    resfile = nullptr;
    q = 1 + 2e-7;
    w = -1;
    std::string s = display();
    EXPECT_NE(s.find("q=1+2e-07\n"), std::string::npos) << s;
    EXPECT_EQ(s.find("  w="), std::string::npos);  // w outside [0,1] is not shown
    q = 1.25;
    w = 0.5;
    s = display();
    EXPECT_NE(s.find("q=1.25\n"), std::string::npos) << s;
    EXPECT_NE(s.find(std::string(36, ' ') + "w=0.5"), std::string::npos) << s;
    q = 1;
    s = display();
    EXPECT_NE(s.find("       q=1\n"), std::string::npos) << s;
    // The header and the key line fill 79 columns.
    size_t h = s.find("=== van der Waals");
    ASSERT_NE(h, std::string::npos);
    EXPECT_EQ(s.find('\n', h) - h, 79u) << s;
    size_t k = s.find("\nkey=") + 1;
    EXPECT_EQ(s.find('\n', k) - k, 79u) << s;
    w = -1;
}

TEST_F(VariableTable, DiagramInfo) {
    diagram = 2;
    EXPECT_STREQ(diagraminfo(0), ":p:T");
    diagram = 3;
    EXPECT_STREQ(diagraminfo(0), ":GPD");
    solve = 2;
    trace = 22;
    EXPECT_STREQ(diagraminfo(1), ":a2:s2");
}
