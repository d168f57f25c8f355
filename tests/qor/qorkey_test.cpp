// The key dispatcher: keys refused by the kind of diagram, forT set by the composition
// diagrams, undefined keys, and the command keys that need no computation.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "capture.h"
#include "gen/ground.h"
#include "qor/qor.h"
#include "qor/qorglob.h"
#include "qor/qorsys.h"

namespace {

// Dispatches key in the given diagram with out going to a file; returns the result and what
// was printed.
int dispatch(int k, int diag, std::string* printed) {
    key = k;
    oldkey = 77;
    diagram = diag;
    int r = 0;
    *printed = written([&] { r = SwitchKey(); });
    return r;
}

}  // namespace

TEST(Dispatcher, DiagramsAdmitTheirKeys) {
    struct Case {
        int key, diagram;
        const char* report;  // the report expected, or null for an accepted key
        int forT;            // forT after an accepted key in a composition diagram, else -1
    } cases[] = {
        {7, 0, nullptr, 0},   // a line key in T:x steps p
        {5, 0, nullptr, 1},   // ... except the two-phase key, which steps T
        {7, 1, nullptr, 1},   // in p:x the other way round
        {5, 1, nullptr, 0},
        {3, 0, "illegal key for diagram=0", -1},  // a point key in a composition diagram
        {9, 1, "illegal key for diagram=1", -1},
        {12, 2, "illegal key for diagram=2", -1},  // p:T refuses a solved parameter
        {64, 2, "illegal key for diagram=2", -1},
    };
    for (const Case& c : cases) {
        std::string s;
        forT = 5;
        EXPECT_EQ(dispatch(c.key, c.diagram, &s), 1) << c.key;
        if (c.report) {
            EXPECT_NE(s.find(c.report), std::string::npos) << c.key << "\n" << s;
            EXPECT_EQ(forT, 5) << c.key;
        } else {
            // not refused: forT is set, and the key (not built here) is undefined
            EXPECT_EQ(s.find("illegal key"), std::string::npos) << c.key;
            EXPECT_EQ(forT, c.forT) << c.key;
        }
    }
    // In the global phase diagram every key passes, and keys without flags are never refused.
    std::string s;
    EXPECT_EQ(dispatch(64, 3, &s), 1);
    EXPECT_NE(s.find("key=64 undefined"), std::string::npos) << s;
    EXPECT_EQ(dispatch(20 + 1000, 0, &s), 1);
    EXPECT_NE(s.find("key=1020 undefined"), std::string::npos) << s;
    forT = 0;
    diagram = 3;
}

TEST(Dispatcher, CommandKeysRestoreTheKey) {
    std::string s;
    solve = 2, trace = 22;
    EXPECT_EQ(dispatch(-19, 3, &s), 1);  // exchange solve and trace
    EXPECT_EQ(solve, 22);
    EXPECT_EQ(trace, 2);
    EXPECT_EQ(key, 77);
    solve = 2, trace = 22;
    EXPECT_EQ(dispatch(11, 3, &s), 1);
    EXPECT_EQ(key, 77);
    EXPECT_EQ(dispatch(4, 3, &s), 0);  // the current state is the point
    EXPECT_EQ(key, 4);
    realprec = machprec();
    setEps();
    x = 1, a1 = 1, s1 = 1;
    setconst();
    EXPECT_EQ(dispatch(13, 2, &s), 1);  // the closed-form pure critical point; key 3 next
    EXPECT_EQ(key, 3);
    EXPECT_NEAR(T, 0.5658842421045168, 1e-15);
    x = 0.5;
    EXPECT_EQ(dispatch(13, 2, &s), 0);  // not at a pure species: a warning, key stays 13
    EXPECT_EQ(key, 13);
    EXPECT_NE(s.find("must x==0 or x==1"), std::string::npos) << s;
    vs[0] = 3, T = 1;
    EXPECT_EQ(dispatch(10, 2, &s), 0);  // pressure against -dA/dV
    EXPECT_NE(s.find("P=0.29"), std::string::npos) << s;
    EXPECT_NE(s.find("-dA/dV=0.29"), std::string::npos) << s;
    EXPECT_NEAR(p, 0.2927, 1e-4);
    x = 0;
}
