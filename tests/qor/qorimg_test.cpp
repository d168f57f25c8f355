// Image files (96 big-endian fields) and the history of images.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "gen/ground.h"
#include "qor/qor.h"
#include "qor/qorglob.h"
#include "qor/qorimg.h"
#include "qor/qorsys.h"

namespace {

std::vector<unsigned char> slurp(const char* name) {
    std::vector<unsigned char> b;
    FILE* f = fopen(name, "rb");
    if (!f) return b;
    for (int c; (c = fgetc(f)) != EOF;) b.push_back((unsigned char)c);
    fclose(f);
    return b;
}

// The field at index k (from 0) read as a big-endian double.
double field(const std::vector<unsigned char>& b, int k) {
    uint64_t u = 0;
    for (int i = 0; i < 8; i++) u = u << 8 | b[(size_t)(8 * k + i)];
    double v;
    memcpy(&v, &u, 8);
    return v;
}

class Images : public ::testing::Test {
  protected:
    char dir[32] = "/tmp/qorimgXXXXXX";
    char cwd[1024];
    FILE* savedout;
    void SetUp() override {
        ASSERT_TRUE(mkdtemp(dir));
        ASSERT_TRUE(getcwd(cwd, sizeof cwd));
        ASSERT_EQ(chdir(dir), 0);
        realprec = machprec();
        prec = 7 * realprec;
        eps = std::pow(prec, 1 / 2.3);
        reverse = 0;
        savedout = out;
        out = tmpfile();  // no menus; the reports go to a file
    }
    void TearDown() override {
        fclose(out);
        out = savedout;
        EXPECT_EQ(chdir(cwd), 0);
        std::string cmd = std::string("rm -rf ") + dir;
        EXPECT_EQ(system(cmd.c_str()), 0);
    }
    void write(const char* name) {
        img = fopen(name, "wb");
        writeimage(0);
    }
    void read(const char* name) {
        img = fopen(name, "rb");
        readimage(0);
    }
};

}  // namespace

TEST_F(Images, FieldsAtTheirOffsetsBigEndian) {
    s1 = 1.25, T = 0.75, p = 0.0625, key = 7, x = 0.3, deps2 = 11, vs[4] = 2.5, diagram = 2;
    write("a.img");
    std::vector<unsigned char> b = slurp("a.img");
    ASSERT_EQ(b.size(), 768u);
    struct {
        int k;  // field number from 1
        double v;
    } cases[] = {{1, 1.25}, {30, 0.75}, {31, 0.0625}, {48, 7}, {18, 0.3}, {91, 11},
                 {45, 2.5}, {90, 2},     {92, 0},     {96, 0}};
    for (auto c : cases) EXPECT_EQ(field(b, c.k - 1), c.v) << "field " << c.k;
    // eps and prec are stored in their digit-counting forms.
    EXPECT_NEAR(field(b, 24), std::log(prec) / std::log(eps), 1e-12);
    EXPECT_NEAR(field(b, 25), 7, 1e-12);
    EXPECT_EQ(b[0], 0x3F);  // 1.25 = 0x3FF4000000000000, most significant byte first
    EXPECT_EQ(b[1], 0xF4);
}

TEST_F(Images, RoundTripRestoresEveryVariable) {
    a1 = 1.1, a2 = 1.2, aX = 0.9, s1 = 1.05, s2 = 1.3, epsX = 0.97, body1 = 2, body2 = 3;
    T = 0.61, p = 0.071, x = 0.41, y = 0.52, z = 0.63, w = 0.74, q = 1.03, qq = 1.5;
    key = 5, pline = -1, pred = 2, res = 3, tvp = 13, forT = 1, msglev = 55, maxit = 33;
    ref = {2, 3, 4}, crit = {5, 6, 7}, pr = {1, 2, 3, 4, 5, 6}, oldgl = {0.5, 0.6};
    prgl = {0.7, 0.8}, I = {1, 0, 2, 1, 0}, history = 5, minkey = 2, Ttvp = 0.9;
    double savedeps = eps, savedprec = prec;
    write("r.img");
    EXPECT_EQ(eps, savedeps);  // writing leaves eps and prec as they were
    EXPECT_EQ(prec, savedprec);
    a1 = a2 = aX = s1 = s2 = epsX = 0;
    body1 = body2 = 1;
    T = p = x = y = z = w = q = qq = 0;
    key = pline = pred = res = tvp = forT = msglev = maxit = 0;
    ref = crit = {0, 0, 0};
    pr = {0, 0, 0, 0, 0, 0}, oldgl = prgl = {0, 0}, I = {0, 0, 0, 0, 0};
    history = minkey = 0, Ttvp = 0;
    read("r.img");
    EXPECT_EQ(a1, 1.1);
    EXPECT_EQ(a2, 1.2);
    EXPECT_EQ(aX, 0.9);
    EXPECT_EQ(s1, 1.05);
    EXPECT_EQ(s2, 1.3);
    EXPECT_EQ(epsX, 0.97);
    EXPECT_EQ(body1, 2);
    EXPECT_EQ(body2, 3);
    EXPECT_EQ(T, 0.61);
    EXPECT_EQ(p, 0.071);
    EXPECT_EQ(w, 0.74);
    EXPECT_EQ(qq, 1.5);
    EXPECT_EQ(key, 5);
    EXPECT_EQ(pline, -1);
    EXPECT_EQ(tvp, 13);
    EXPECT_EQ(msglev, 55);
    EXPECT_EQ(maxit, 33);
    EXPECT_EQ(ref.V, 4);
    EXPECT_EQ(crit.p, 6);
    EXPECT_EQ(pr.w, 6);
    EXPECT_EQ(oldgl.solve, 0.6);
    EXPECT_EQ(prgl.trace, 0.7);
    EXPECT_EQ(I.x, 1);
    EXPECT_EQ(I.y, 2);
    EXPECT_EQ(history, 5);
    EXPECT_EQ(Ttvp, 0.9);
    EXPECT_NEAR(eps, savedeps, savedeps * 1e-12);  // back from the digit-counting forms
    EXPECT_NEAR(prec, savedprec, savedprec * 1e-12);
    body1 = body2 = 1;
    setconst();
}

TEST_F(Images, ReverseFlipsEveryField) {
    T = 0.75;
    write("n.img");
    reverse = 2;
    write("r.img");
    std::vector<unsigned char> n = slurp("n.img"), r = slurp("r.img");
    ASSERT_EQ(r.size(), 768u);
    for (size_t k = 0; k < 96; k++)
        for (size_t i = 0; i < 8; i++) ASSERT_EQ(r[8 * k + i], n[8 * k + 7 - i]) << k;
    T = 0;
    read("r.img");  // read with the same setting it was written with
    EXPECT_EQ(T, 0.75);
    reverse = 0;
}

// A truncated image reports every missing field; ignoring keeps the current values.
TEST(ImagesDeathTest, TruncatedImageKeepsMissingFields) {
    EXPECT_EXIT(
        {
            realprec = machprec();
            prec = 7 * realprec;
            eps = 1e-6;
            out = tmpfile();
            img = fopen("/tmp/qor_trunc.img", "wb");
            writeimage(0);
            // Keep the first 30 fields: T is field 30, p field 31.
            if (truncate("/tmp/qor_trunc.img", 8 * 30) != 0) exit(8);
            FILE* f = fopen("/tmp/qor_answers", "w");
            for (int i = 0; i < 66; i++) fputs("i\n", f);
            fclose(f);
            if (!freopen("/tmp/qor_answers", "r", stdin)) exit(9);
            in = stdin;
            out = stdout;
            p = 0.125;
            img = fopen("/tmp/qor_trunc.img", "rb");
            readimage(0);
            fprintf(stderr, "p=%g\n", p);
            if (fgetc(stdin) != EOF) exit(7);  // one answer for each of the 66 missing fields
            exit(0);
        },
        ::testing::ExitedWithCode(0), "p=0.125");
    EXPECT_EXIT(
        {
            FILE* f = fopen("/tmp/qor_trunc.img", "wb");
            fclose(f);
            out = tmpfile();
            img = fopen("/tmp/qor_trunc.img", "rb");
            readimage(0);
        },
        ::testing::ExitedWithCode(1), "img: reading s1 \\[current value=");
}

TEST_F(Images, HistoryKeepsSlotsAndWalksBack) {
    history = 3;
    for (int k = 1; k <= 5; k++) {
        T = k;
        pushhistory(0);
    }
    for (int k = 0; k <= 3; k++) EXPECT_EQ(slurp(historyname(k)).size(), 768u) << k;
    EXPECT_TRUE(slurp(historyname(4)).empty());
    T = 99;
    pophistory(0, 0);  // the newest state comes back and the rest move up
    EXPECT_EQ(T, 5);
    pushhistory(0);  // skipped once after a step back
    pophistory(0, 0);
    EXPECT_EQ(T, 4);
    pophistory(0, 0);
    EXPECT_EQ(T, 3);
    pophistory(0, 0);  // the last slot stays so that it can be restored again
    EXPECT_EQ(T, 2);
    T = 0;
    pophistory(0, 0);
    EXPECT_EQ(T, 2);
    EXPECT_STREQ(historyname(60), "historyl.img");
    history = 0;
    T = 7;
    remove(historyname(0));
    pushhistory(0);
    pushhistory(0);
    EXPECT_TRUE(slurp(historyname(0)).empty());
    history = 3;
}
