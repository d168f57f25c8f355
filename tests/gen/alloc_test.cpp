// Memory blocks, the release heap, the string pool and small math.
#include "gen/alloc.h"
#include "gen/func.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

TEST(Func, Powers) {
    struct { double x; int n; double r; } cases[] = {
        {2, -3, 0.125}, {0, 0, 1}, {7.5, 0, 1}, {3, 5, 243}, {-2, 3, -8}, {1.5, 2, 2.25},
        {2, 30, 1073741824.0}, {10, -2, 0.01},
    };
    for (auto c : cases) EXPECT_DOUBLE_EQ(powi(c.x, c.n), c.r) << c.x << "^" << c.n;
    EXPECT_EQ(sqr(3), 9);
    EXPECT_EQ(cub(-2), -8);
    EXPECT_EQ(pow4(2), 16);
    EXPECT_EQ(pow5(2), 32);
    EXPECT_EQ(pow6(2), 64);
}

TEST(Func, IntsTruncateWithinRange) {
    struct { double v; int i; } cases[] = {
        {2.9, 2}, {-2.9, -2}, {0.0, 0}, {1e300, 2147483647}, {-1e300, -2147483647 - 1},
        {2147483647.5, 2147483647}, {std::nan(""), 0},
    };
    for (auto c : cases) EXPECT_EQ(toint(c.v), c.i) << c.v;
}

TEST(Func, MaxMinWithNaN) {
    double nan = std::nan("");
    EXPECT_TRUE(std::isnan(dmax(nan, 1)));  // first argument wins
    EXPECT_EQ(dmin(nan, 1), 1);             // second argument wins
    EXPECT_EQ(dmax(2, 3), 3);
    EXPECT_EQ(dmin(2, 3), 2);
}

TEST(Alloc, ReleaseHeapOpensSecondBlockAndFreesAll) {
    ASSERT_EQ(rheap, nullptr);
    double* first = nullptr;
    double* p = nullptr;
    myralloc(&first, 8 * sizeof(double), 1);
    for (int i = 1; i < 33; i++) myralloc(&p, 16, 0);
    ASSERT_NE(rheap, nullptr);
    EXPECT_EQ(rheap->n, 1);  // the 33rd allocation opened a second block
    ASSERT_NE(rheap->prev, nullptr);
    EXPECT_EQ(rheap->prev->n, 32);
    EXPECT_EQ(first[7], 0.0);
    myrelease(&first);
    EXPECT_EQ(rheap, nullptr);
}

TEST(Alloc, ReleaseFreesNewerOnly) {
    double *a = nullptr, *b = nullptr, *c = nullptr;
    myralloc(&a, 8, 0);
    myralloc(&b, 8, 0);
    myralloc(&c, 8, 0);
    myrelease(&b);  // frees c and b
    ASSERT_NE(rheap, nullptr);
    EXPECT_EQ(rheap->n, 1);
    EXPECT_EQ(rheap->slots[0], a);
    myrelease(&a);
    EXPECT_EQ(rheap, nullptr);
}

TEST(Alloc, SizeLimit) {
    char* p = nullptr;
    mymalloc(&p, AllocSizeLim, 0);  // exactly the limit is handed out
    ASSERT_NE(p, nullptr);
    myfree(&p);
    EXPECT_EQ(p, nullptr);
}

TEST(AllocDeathTest, Reports) {
    EXPECT_EXIT(
        {
            out = tmpfile();
            char* p = nullptr;
            mymalloc(&p, AllocSizeLim + 1, 0);
        },
        ::testing::ExitedWithCode(97), "alloc");
    EXPECT_EXIT(
        {
            out = tmpfile();
            char* p = nullptr;
            myfree(&p);
        },
        ::testing::ExitedWithCode(102), "free\\(NULL\\)");
    EXPECT_EXIT(
        {
            out = tmpfile();
            double* p = nullptr;
            myrelease(&p);
        },
        ::testing::ExitedWithCode(114), "release");
    // A pointer that is not on the release heap frees the whole heap, then reports.
    EXPECT_EXIT(
        {
            out = tmpfile();
            double* a = nullptr;
            double x = 0;
            double* stray = &x;
            myralloc(&a, 8, 0);
            myrelease(&stray);
        },
        ::testing::ExitedWithCode(114), "release");
}

TEST(Strings, PoolRotatesThroughThreeBuffers) {
    char* s1 = string("%d", 1);
    char* s2 = string("%s", "two");
    char* s3 = string("%.1f", 3.0);
    char* s4 = string("four");
    EXPECT_STREQ(s2, "two");
    EXPECT_STREQ(s3, "3.0");
    EXPECT_EQ(s4, s1);  // the fourth call reuses the first buffer
    EXPECT_STREQ(s1, "four");
    std::string longer(200, 'x');
    char* s5 = string("%s", longer.c_str());
    EXPECT_EQ(strlen(s5), 79u);  // cut to the buffer
    stringinit(10, 2);
    EXPECT_EQ(string("a"), string_area[1]);
    EXPECT_EQ(string("b"), string_area[0]);
}

TEST(Alloc, ReleaseAllEmptiesTheHeap) {
    double* p = nullptr;
    for (int i = 0; i < 70; i++) myralloc(&p, 8, 0);
    releaseall();
    EXPECT_EQ(rheap, nullptr);
    releaseall();  // an empty heap is no error
    EXPECT_EQ(rheap, nullptr);
}
