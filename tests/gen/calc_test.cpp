// The expression calculator: precedence, functions, operands and its limits.
#include "gen/calc.h"
#include "gen/ground.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const double pi = 3.141592653589793;

struct CalcCase {
    const char* text;
    double value;
    const char* rest;
};

const CalcCase calcCases[] = {
    {"1+2*3", 7, ""},
    {"(1+2)*3", 9, ""},
    {"7/2", 3.5, ""},
    {"10%3", 1, ""},
    {"10:3", 1, ""},
    {"-7%3", -1, ""},       // the quotient is truncated toward zero
    {"7.5%2", 1.5, ""},
    {"2^3^2", 64, ""},      // ^ is left-associative
    {"-2^2", -4, ""},       // unary minus binds looser than ^
    {"2^-1", 0.5, ""},
    {"-2*3", -6, ""},
    {"2*-3", -6, ""},
    {"--3", 3, ""},
    {"+4", 4, ""},
    {"1-2-3", -4, ""},      // left-associative minus
    {"8/4/2", 1, ""},
    {"2 b=1", 2, "b=1"},    // the expression ends where the next statement starts
    {"1;", 1, ";"},
    {"  3 * ( 2 + 1 )  x", 9, "x"},
    {"1e3+.5", 1000.5, ""},
    {"2.5e-1", 0.25, ""},
    {"0x10", 0, "x10"},     // plain decimal numbers only
    {"sqrt 16", 4, ""},
    {"sqrt(16)+1", 5, ""},
    {"sqrt 16+1", 5, ""},   // a function binds tightest
    {"abs -3", 3, ""},
    {"int -2.7", -2, ""},
    {"int 2.7", 2, ""},
    {"log 1", 0, ""},
    {"ln 1", 0, ""},
    {"dlog 100", 2, ""},
    {"exp 0", 1, ""},
    {"fac 0", 1, ""},
    {"fac 3", 6, ""},
    {"fact 4", 24, ""},
    {"fac 2.5", 1.875, ""},
    {"sin 0", 0, ""},
    {"tan 0", 0, ""},
    {"asin 1", pi / 2, ""},
    {"acos 1", 0, ""},
    {"atan 1", pi / 4, ""},
    {"cos(PI/3)", 0.5, ""},
    {"pi", pi, ""},
    {"PI/2", pi / 2, ""},
    {"2*pi", 2 * pi, ""},
    {"'A'", 65, ""},
    {"''", 0, ""},
    {"'a'-'A'", 32, ""},
};

TEST(Calc, EvaluatesTable) {
    for (const auto& c : calcCases) {
        const char* end = nullptr;
        EXPECT_DOUBLE_EQ(Calc(c.text, &end), c.value) << c.text;
        ASSERT_NE(end, nullptr) << c.text;
        EXPECT_STREQ(end, c.rest) << c.text;
    }
}

TEST(Calc, SinOfSquareIsSquareOfSin) {
    const char* end;
    EXPECT_DOUBLE_EQ(Calc("sin 1^2", &end), std::pow(std::sin(1.0), 2));
    EXPECT_DOUBLE_EQ(Calc("sin(2*1)", &end), std::sin(2.0));
}

TEST(Calc, FactorialIsCappedAndOverflows) {
    const char* end;
    double big = Calc("fac 1e6", &end);
    EXPECT_TRUE(std::isinf(big));
    EXPECT_EQ(big, Calc("fac 1000", &end));
    EXPECT_DOUBLE_EQ(Calc("fac 20", &end), 2432902008176640000.0);
}

TEST(Calc, FloatingResultsAreNotErrors) {
    const char* end;
    EXPECT_TRUE(std::isinf(Calc("1/0", &end)));
    EXPECT_STREQ(end, "");
    EXPECT_TRUE(std::isnan(Calc("sqrt -1", &end)));
    EXPECT_STREQ(end, "");
}

// Each fails: the result is 0 and the end is the start of the text.
const char* const calcFailures[] = {
    "",        "   ",     "(2",      "2)",     "*3",   "2*",   "1+;",      "Pi",
    "pI",      "nosuch",  "sinx",    "fac -1", "'ab'", "'a",   "'",        "()",
    ".",       "2+(3",    "((1)",    "1))",    "#*",   "%3",   "sin",      "-",
    "\t1",     "1+\x01",  "\xAB" "1", "pi_",   "abs(", "!1",  "1+2+)",    "e",
};

TEST(Calc, FailuresConsumeNothing) {
    for (const char* t : calcFailures) {
        const char* end = nullptr;
        EXPECT_EQ(Calc(t, &end), 0) << t;
        EXPECT_EQ(end, t) << "[" << t << "]";
    }
}

// Sets up a list of data-entry variables for the calculator to read.
struct Vars : ::testing::Test {
    void add(const char* name, double v) {
        IdNode* n = (IdNode*)malloc(sizeof(IdNode));
        n->next = _Id.list;
        n->val = v;
        n->name = strdup(name);
        _Id.list = n;
    }
    void TearDown() override {
        while (IdNode* n = _Id.list) {
            _Id.list = n->next;
            free(n->name);
            free(n);
        }
    }
};

TEST_F(Vars, ReadsVariablesAndLastValue) {
    add("T", 300);
    add("x_1.a", 0.25);
    add("sin", 5);  // a variable wins over the function of the same name
    _Id.val = 6;
    const char* end;
    EXPECT_DOUBLE_EQ(Calc("T/3", &end), 100);
    EXPECT_DOUBLE_EQ(Calc("x_1.a*4", &end), 1);
    EXPECT_DOUBLE_EQ(Calc("sin+1", &end), 6);
    EXPECT_DOUBLE_EQ(Calc("#+1", &end), 7);
    EXPECT_DOUBLE_EQ(Calc("# #", &end), 6);
    EXPECT_STREQ(end, "#");
    const char* t = "Tx";
    EXPECT_EQ(Calc(t, &end), 0);
    EXPECT_EQ(end, t);
}

TEST_F(Vars, LongNamesDoNotOverrunTheNameBuffer) {
    std::string n59(59, 'a'), n60(60, 'a'), n500(500, 'b');
    add(n59.c_str(), 2);
    const char* end;
    EXPECT_EQ(Calc((n59 + "*3").c_str(), &end), 6);  // 59 characters and the zero fit
    std::string t = n60 + "*3";
    EXPECT_EQ(Calc(t.c_str(), &end), 0);              // longer names are rejected
    EXPECT_EQ(end, t.c_str());
    t = n500 + "+1";
    EXPECT_EQ(Calc(t.c_str(), &end), 0);
    EXPECT_EQ(end, t.c_str());
}

std::string repeat(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; i++) r += s;
    return r;
}

TEST(Calc, SixteenValuesMayWait) {
    // 1+(1+(...(1)...)): k "1+(" leave k+1 values waiting before the innermost 1 is reduced.
    const char* end;
    std::string ok = repeat("1+(", 15) + "1" + repeat(")", 15);
    EXPECT_EQ(Calc(ok.c_str(), &end), 16);
    EXPECT_STREQ(end, "");
    std::string over = repeat("1+(", 16) + "1" + repeat(")", 16);
    EXPECT_EQ(Calc(over.c_str(), &end), 0);
    EXPECT_EQ(end, over.c_str());
}

TEST(Calc, SixtyTwoOperatorsMayBePending) {
    const char* end;
    struct {
        std::string open;
        std::string close;
    } kinds[] = {{"(", ")"}, {"-", ""}, {"abs ", ""}};
    for (const auto& k : kinds) {
        std::string ok = repeat(k.open, 62) + "1" + repeat(k.close, 62);
        EXPECT_EQ(std::fabs(Calc(ok.c_str(), &end)), 1) << k.open;
        EXPECT_STREQ(end, "") << k.open;
        std::string over = repeat(k.open, 63) + "1" + repeat(k.close, 63);
        EXPECT_EQ(Calc(over.c_str(), &end), 0) << k.open;
        EXPECT_EQ(end, over.c_str()) << k.open;
    }
    // Binary operators count too: the * and 61 parentheses are 62.
    std::string mixed = "2*" + repeat("(", 61) + "1" + repeat(")", 61);
    EXPECT_EQ(Calc(mixed.c_str(), &end), 2);
    mixed = "2*" + repeat("(", 62) + "1" + repeat(")", 62);
    EXPECT_EQ(Calc(mixed.c_str(), &end), 0);
}

}  // namespace
