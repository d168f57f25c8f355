// The key table.
#include "qor/qorres.h"

#include <sstream>

#include "modeltest.h"

using namespace modeltest;

TEST(KeyTable, Keystat) {
    struct {
        int key, flags;
    } cases[] = {{0, 0},     {1, 0},      {-5, 0},      {-102, 0},    {2, 0x09},   {5, 0x02},
                 {15, 0x20}, {20, 0},     {21, 0},      {64, 0x6A},   {83, 0x4A},  {89, 0},
                 {99, 0},    {100, 0},    {101, 0},     {102, 0x09},  {164, 0x6A}, {189, 0},
                 {190, 0},   {202, 0x09}, {-2147483647 - 1, 0}};
    for (auto c : cases) EXPECT_EQ(keystat(c.key), c.flags) << c.key;
}

// The listing: the 48 keys of the table with phases, C, A and degrees of freedom, in order.
TEST(KeyTable, Keylist) {
    std::string s = written([] { keylist(); });
    const char* expect[] = {
        " 2=?                   1 C   1", " 3=?                   1 C   0",
        " 4=?                   1     2", " 5=?                   2     2",
        " 6=?                   1  A  1", " 7=?                   3     1",
        " 8=?                   2  A  0", " 9=?                   2 C   0",
        " 12=?                  1    -1", " 13=?                  1 C   0",
        " 14=?                  1 C  -1", " 15=?                  0    -1",
        " 16=?                  1 CA -1", " 17=?                  4     0",
        " 18=?                  2  A -1", " 19=?                  2 C  -1",
        " 22=?                  1     0", " 23=?                  1    -1",
        " 24=?                  1 C   0", " 25=?                  4    -1",
        " 26=?                  1    -1", " 27=?                  4    -1",
        " 28=?                  2  A -1", " 29=?                  2 C  -1",
        " 32=?                  2 C  -1", " 34=?                  1  A  0",
        " 36=?                  2 CA -1", " 37=?                  1  A -1",
        " 38=?                  3  A -1", " 39=?                  3 C  -1",
        " 43=?                  1 CA -1", " 44=?                  1  A -1",
        " 46=?                  1  A -1", " 48=?                  2  A -1",
        " 49=?                  1  A -1", " 61=?                  2 CA -2",
        " 64=?                  2 C  -2", " 66=?                  3 CA -2",
        " 68=?                  3  A -2", " 69=?                  3 C  -2",
        " 70=?                  2  A -2", " 71=?                  2  A -2",
        " 72=?                  2 C  -2", " 73=?                  2 C  -2",
        " 80=?                  2  A  0", " 81=?                  2  A  0",
        " 82=?                  2 C   0", " 83=?                  2 C   0",
    };
    std::string want = "\n==============================\nkey=phenomenon        #ph x  f\n"
                       "------------------------------\n";
    for (const char* line : expect) want += std::string(line) + "\n";
    want += "==============================\n";
    EXPECT_EQ(sizeof expect / sizeof *expect, 48u);
    EXPECT_EQ(s, want);
}

// ---- Res-file and plot files ---------------------------------------------------------------

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <regex>

#include "qor/qorglob.h"

namespace {

std::string readfile(const std::string& name) {
    std::string s;
    FILE* f = fopen(name.c_str(), "r");
    if (!f) return "<none>";
    for (int c; (c = fgetc(f)) != EOF;) s += (char)c;
    fclose(f);
    return s;
}

std::vector<std::string> splitlines(const std::string& s) {
    std::vector<std::string> v;
    std::istringstream is(s);
    for (std::string l; std::getline(is, l);) v.push_back(l);
    return v;
}

// A data line read back the way the res-file reader reads it.
struct DataLine {
    int key = 0, nx = -9, nrho = -9;
    double T = 0, p = 0, x = 0, col[4] = {};
    std::vector<double> comp, rho;
    bool ok = false;
};
DataLine parse(const std::string& line) {
    DataLine d;
    std::istringstream is(line);
    is >> d.key >> d.T >> d.p >> d.x >> d.col[0] >> d.col[1] >> d.col[2] >> d.col[3] >> d.nx;
    for (int i = 0; is && i < d.nx; i++) {
        double v;
        is >> v;
        d.comp.push_back(v);
    }
    is >> d.nrho;
    for (int i = 0; is && i < d.nrho; i++) {
        double v;
        is >> v;
        d.rho.push_back(v);
    }
    std::string rest;
    d.ok = !is.fail() && !(is >> rest);
    return d;
}

// Each test writes into a directory of its own.
class Res : public ::testing::Test {
  protected:
    std::string dir, cwd;
    void SetUp() override {
        resetmodel();
        setparms();
        char tmpl[] = "/tmp/qorresXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        char buf[4096];
        ASSERT_NE(getcwd(buf, sizeof buf), nullptr);
        cwd = buf;
        setres(dir + "/run.res");
        crit = {1, 1, 1};
        x = 0.3, y = 1, z = -1, w = -1;
        tvp = 0;
        Ttvp = 0;
        sortg = 0;
        key = -12;
        write2res(1, 1, &Ttvp);  // both headers before the next line
    }
    void TearDown() override {
        if (chdir(cwd.c_str())) ADD_FAILURE() << "chdir";
        std::filesystem::remove_all(dir);
        free(resfile);
        resfile = nullptr;
        resetmodel();
        setparms();
        crit = {1, 1, 1};
    }
    void setres(const std::string& name) {
        free(resfile);
        resfile = strdup(name.c_str());
    }
    std::string res() { return readfile(dir + "/run.res"); }
    // Writes the point with key k and returns what the console showed.
    std::string put(int k, double p, double T) {
        key = k;
        return written([&] { write2res(p, T, &Ttvp); });
    }
    void unlike() {
        a2 = 2.5, aX = 0.85, s2 = 1.3;
        setconst();
    }
};

// The data lines of a res-file text.
std::vector<std::string> datalines(const std::string& s) {
    std::vector<std::string> v;
    for (const std::string& l : splitlines(s))
        if (!iscomment(l.c_str())) v.push_back(l);
    return v;
}

}  // namespace

TEST(ResComment, Iscomment) {
    const char* saved = gcomment;
    struct {
        const char *prefix, *line;
        int result;
    } cases[] = {
        {"#", "# order=4", ' '}, {"#", "#k------T", 'k'}, {"#", "#", '\n'}, {"#", "#\n", '\n'},
        {"#", " 2 1.0", 0},      {"#", "", 0},            {"%%", "%%k-", 'k'}, {"%%", "%k", 0},
    };
    for (auto c : cases) {
        gcomment = c.prefix;
        EXPECT_EQ(iscomment(c.line), c.result) << c.prefix << " " << c.line;
    }
    gcomment = saved;
}

// The first line after -12: the parameter block, the small header and the column header,
// each a comment; with the default formats the column header is exactly this.
TEST_F(Res, HeadersBeforeTheFirstLine) {
    unlike();
    epsX = 1.05;
    std::string shown = put(2, 0.1, 0.6);
    EXPECT_EQ(shown, "WRITTEN\n");
    EXPECT_EQ(qor01info[0], 2);
    EXPECT_STREQ(qor01info + 1, "  WRITTEN");
    std::vector<std::string> l = splitlines(res());
    ASSERT_EQ(l.size(), 6u) << res();
    // each item: the name right-aligned in 5, "=", the value left-aligned in 13; one blank
    // between items and after the prefix
    const std::string v1 = "1            ", v13 = "1.3          ", v105 = "1.05         ",
                      v25 = "2.5          ", v085 = "0.85         ";
    EXPECT_EQ(l[0], "#    s1=" + v1 + "    s2=" + v13 + "  epsX=" + v105 + " body1=" + v1);
    EXPECT_EQ(l[1], "#    a1=" + v1 + "    a2=" + v25 + "    aX=" + v085 + " body2=" + v1);
    EXPECT_TRUE(std::regex_match(l[2], std::regex("# order=4 prec=[0-9]\\.[0-9]{3}e-[0-9]{2} "
                                                  "eps=[0-9]\\.[0-9]{3}e-[0-9]{2}")))
        << l[2];
    char want[64];
    snprintf(want, sizeof want, "# order=4 prec=%.3e eps=%.3e", prec, eps);
    EXPECT_EQ(l[2], want);
    EXPECT_TRUE(std::regex_match(
        l[3], std::regex("# key=2=\\? at [A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] "
                         "[0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}")))
        << l[3];
    EXPECT_EQ(l[4],
              "#k------T----------p----------x---------aX--------a2---------s2----/"
              "-nx-[y...]--nrho--rho--[rho...]");
    EXPECT_EQ(iscomment(l[4].c_str()), 'k');
    EXPECT_EQ(iscomment(l[5].c_str()), 0);
}

// The headers come after -11 (without the parameter block, which waits for -12) and after -12
// (with it); after -13 no headers come, and the parameter block stays off until -12.
TEST_F(Res, HeaderSequence) {
    auto seq = [](const std::string& s) {
        std::string r;
        for (const std::string& l : splitlines(s)) {
            int c = iscomment(l.c_str());
            r += !c                                       ? 'D'
                 : c == 'k'                               ? 'C'
                 : l.find("s1=") != std::string::npos ||
                         l.find("a1=") != std::string::npos ? 'P'
                                                            : 'S';
        }
        return r;
    };
    put(2, 0.1, 0.6);
    put(2, 0.1, 0.6);
    EXPECT_EQ(seq(res()), "PPSSCDD");
    put(-11, 0, 0);
    put(2, 0.1, 0.6);
    EXPECT_EQ(seq(res()), "PPSSCDDSSCD");
    put(-13, 0, 0);
    put(2, 0.1, 0.6);
    put(-11, 0, 0);
    put(2, 0.1, 0.6);
    EXPECT_EQ(seq(res()), "PPSSCDDSSCDDSSCD");
    put(-12, 0, 0);
    put(-13, 0, 0);
    put(2, 0.1, 0.6);
    put(-12, 0, 0);
    put(2, 0.1, 0.6);
    EXPECT_EQ(seq(res()), "PPSSCDDSSCDDSSCDDPPSSCD");
    // Requests below -13 and keys without flags write nothing, not even headers.
    std::string before = res();
    for (int k : {-14, -50, 0, 1, 20, 21, 99, -5})
        EXPECT_EQ(put(k, 0.1, 0.6), "") << k;
    EXPECT_EQ(res(), before);
}

TEST_F(Res, FlaglessKeyCreatesNoFile) {
    EXPECT_EQ(put(20, 0.1, 0.6), "");
    EXPECT_EQ(res(), "<none>");
}

// A line read back: reduced T and p, x, the parameter columns, the compositions and the
// densities crit.V/V of each phase, the volumes found here from the cubic. Key 17 has four
// phases: nx = 3 and the densities of x, y, z, w in that order.
TEST_F(Res, FourPhaseLineRoundTrip) {
    unlike();
    crit = {1.3, 0.7, 2.1};
    x = 0.2, y = 0.45, z = 0.7, w = 0.9;
    const double p = 0.3, T = 1.2;  // far above both critical points: one root each
    put(17, p, T);
    std::vector<std::string> d = datalines(res());
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].substr(0, 3), "17 ");
    DataLine r = parse(d[0]);
    ASSERT_TRUE(r.ok) << d[0];
    EXPECT_EQ(r.key, 17);
    EXPECT_NEAR(r.T, T / 1.3, 5e-8);
    EXPECT_NEAR(r.p, p / 0.7, 5e-8);
    EXPECT_NEAR(r.x, 0.2, 5e-8);
    EXPECT_NEAR(r.col[0], 0.85, 5e-8);
    EXPECT_NEAR(r.col[1], 2.5, 5e-8);
    EXPECT_NEAR(r.col[2], 1.3, 5e-8);
    EXPECT_EQ(r.col[3], 0);
    ASSERT_EQ(r.nx, 3);
    EXPECT_EQ(r.comp, (std::vector<double>{0.45, 0.7, 0.9}));
    ASSERT_EQ(r.nrho, 4);
    Model m;
    m.a2 = 2.5, m.aX = 0.85, m.s2 = 1.3;
    const double comps[4] = {0.2, 0.45, 0.7, 0.9};
    for (int i = 0; i < 4; i++) {
        std::vector<real> v = trueroots(m, p, T, comps[i]);
        ASSERT_EQ(v.size(), 1u);
        EXPECT_NEAR(r.rho[i], 2.1 / (double)v[0], 5e-8) << i;
    }
    // The values field by field: the key in two columns, each value after one blank.
    // The fields: the key in two columns, then each value after one blank in its format.
    const std::string head = "17  0.9230769  0.4285714  0.2000000 0.8500000  2.5000000 1.3000000 "
                             "0 3  0.4500000  0.7000000  0.9000000 4";
    EXPECT_EQ(d[0].substr(0, head.size()), head);
    EXPECT_EQ(d[0].size(), head.size() + 4 * 11) << d[0];
    EXPECT_EQ(nv, 1);
}

// Key 8 at a pure end: one phase fewer (nx = 0), but the azeotrope flag still asks for the
// second root at x: nrho = 2, the liquid and the gas density of the pure species.
TEST_F(Res, AzeotropeEndAtPureSpecies) {
    x = 0;
    Model m;
    const real T = 0.8L * 8 / (27 * pi6);
    real pmin, pmax;
    ASSERT_TRUE(spinodals(m, T, 0, &pmin, &pmax));
    const double p = (double)(std::max(pmin, (real)0) + pmax) / 2;
    put(8, p, (double)T);
    std::vector<std::string> d = datalines(res());
    ASSERT_EQ(d.size(), 1u);
    DataLine r = parse(d[0]);
    ASSERT_TRUE(r.ok) << d[0];
    EXPECT_EQ(r.nx, 0);
    ASSERT_EQ(r.nrho, 2);
    std::vector<real> v = trueroots(m, p, T, 0);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_NEAR(r.rho[0], 1 / (double)v.front(), 5e-8);  // volume order: liquid first
    EXPECT_NEAR(r.rho[1], 1 / (double)v.back(), 5e-8);
    EXPECT_EQ(nv, 2);
    // Inside the mixture key 8 has its two phases (x and y) and three densities.
    x = 0.3, y = 0.6;
    put(8, p, (double)T);
    r = parse(datalines(res())[1]);
    EXPECT_EQ(r.nx, 1);
    EXPECT_EQ(r.nrho, 3);
}

// Key 15 is listed with no phase, yet it computes a point at x: written as one phase.
TEST_F(Res, ZeroPhaseKeyIsOnePhase) {
    put(15, 0.3, 1.2);
    DataLine r = parse(datalines(res())[0]);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.key, 15);
    EXPECT_EQ(r.nx, 0);
    EXPECT_EQ(r.nrho, 1);
}

// A name longer than its column still gets a dash; the column shows its value with its
// own format.
TEST_F(Res, LongLabelKeepsADash) {
    setparm("-p4:epsX%1.0f");
    epsX = 3;
    put(2, 0.3, 1.2);
    std::string s = res();
    EXPECT_NE(s.find("-----s2----epsX-nx-[y...]"), std::string::npos) << s;
    DataLine r = parse(datalines(s)[0]);
    EXPECT_EQ(r.col[3], 3);
}

// Write request -10: the key comes from the input; -99 (or nothing) writes nothing; a key
// without flags counts the compositions in [0, 1] as phases. (y = 1.5 has no phase: its
// density is written as 0.)
TEST(ResDeathTest, AskedKey) {
    auto run = [](const char* answer) {
        resetmodel();
        setparms();
        feedstdin(answer);
        char tmpl[] = "/tmp/qorresXXXXXX";
        if (!mkdtemp(tmpl)) exit(3);
        std::string name = std::string(tmpl) + "/run.res";
        resfile = strdup(name.c_str());
        x = 0.3, y = 1.5, z = 0.2, w = -1;
        sortg = 0;
        key = -12;
        write2res(0, 0, &Ttvp);
        key = -13;
        write2res(0, 0, &Ttvp);
        key = -10;
        write2res(0.3, 1.2, &Ttvp);
        std::string s = readfile(name);
        std::filesystem::remove_all(tmpl);
        fprintf(stderr, "[key=%d][%s]", key, s.c_str());
        exit(42);
    };
    EXPECT_EXIT(run("-99\n"), ::testing::ExitedWithCode(42),
                "write with key \\(-99:don't write\\) = \\[key=-99\\]\\[<none>\\]");
    EXPECT_EXIT(run(""), ::testing::ExitedWithCode(42), "\\[key=-10\\]\\[<none>\\]");
    EXPECT_EXIT(run("abc\n"), ::testing::ExitedWithCode(42), "\\[key=-10\\]\\[<none>\\]");
    EXPECT_EXIT(run("20\n"), ::testing::ExitedWithCode(42),
                "\\[key=20\\]\\[20  1\\.2000000  0\\.3000000  0\\.3000000 .* 1  1\\.5000000 2 "
                " [0-9]\\.[0-9]{7}  0\\.0000000\n\\]");
    // A key with flags keeps them: key 2 has one phase.
    EXPECT_EXIT(run("2\n"), ::testing::ExitedWithCode(42), "\\[key=2\\]\\[ 2 .* 0 1 +[0-9.]+\n\\]");
}

// The .tvp file: named after the res-file once, with the reduced critical point of species 2
// by key13 (tvp = 13) for keys of the one-parameter class.
TEST(ResDeathTest, TvpFile) {
    auto run = [](const char* resname, const char* tvpname) {
        resetmodel();
        setparms();
        out = tmpfile();  // batch: warnings go on
        char tmpl[] = "/tmp/qorresXXXXXX";
        if (!mkdtemp(tmpl) || chdir(tmpl) || mkdir("dir.old", 0700)) exit(3);
        resfile = strdup(resname);
        a2 = 2, s2 = 1.2;
        setconst();
        crit = {1.1, 0.9, 1.7};
        tvp = 13;
        Ttvp = 0;
        x = 0.4, y = 0.6;
        sortg = 0;
        key = -12;
        write2res(0, 0, &Ttvp);
        key = 12;  // flags 0x21
        write2res(0.3, 1.5, &Ttvp);
        // Later names of the res-file do not move the .tvp file.
        free(resfile);
        resfile = strdup("other.res");
        write2res(0.3, 1.5, &Ttvp);
        std::string t = readfile(tvpname);
        std::vector<std::string> l = splitlines(t);
        const double b = 0.5235987755982988 * 1.728, Vc = 3 * b, Tc = 8 * 2 / (27 * b),
                     pc = 2 / (27 * b * b);
        char want[200];
        snprintf(want, sizeof want, " %10.7f %10.7f %10.7f %10.7f %10.7f %10.7f", Tc / 1.1,
                 Vc / 1.7, pc / 0.9, std::cbrt(Vc / 1.7), std::log(Tc / 1.1),
                 std::log(Vc / 1.7) / 3);
        bool ok = l.size() == 7 && l[0].rfind("#    s1=", 0) == 0 &&
                  l[2].rfind("# order=4", 0) == 0 &&
                  l[4] == "#tau=Tc/Tcref Vc/Vcref Pc/Pcref lambda=(Vc/Vcref)^1/3 ln(tau) "
                          "ln(lambda)" &&
                  l[5] == want && l[6] == want && std::fabs(Ttvp - Tc) < 1e-15 &&
                  readfile("other.tvp") == "<none>" &&
                  datalines(readfile(resname)).size() == 1 &&
                  datalines(readfile("other.res")).size() == 1;
        std::filesystem::remove_all(tmpl);
        fprintf(stderr, ok ? "tvp ok" : "tvp wrong: %s", t.c_str());
        exit(42);
    };
    EXPECT_EXIT(run("run.res", "run.tvp"), ::testing::ExitedWithCode(42), "tvp ok");
    EXPECT_EXIT(run("dir.old/run", "dir.old/run.tvp"), ::testing::ExitedWithCode(42), "tvp ok");
    EXPECT_EXIT(run("run", "run.tvp"), ::testing::ExitedWithCode(42), "tvp ok");
}

// tvp values other than 13 ask for a numerical pure critical point that is not available:
// an error after the res-file line; no .tvp file.
TEST(ResDeathTest, TvpWithoutClosedForm) {
    EXPECT_EXIT(
        {
            resetmodel();
            setparms();
            feedstdin("i\n");
            initscroll(1 << 16);
            char tmpl[] = "/tmp/qorresXXXXXX";
            if (!mkdtemp(tmpl) || chdir(tmpl)) exit(3);
            resfile = strdup("run.res");
            tvp = 1;
            key = 12;
            write2res(0.3, 1.5, &Ttvp);
            bool ok = strstr(_S_buf,
                             "tvp=1: numerical pure critical point not available, use tvp=13") &&
                      strstr(_S_buf, "WRITTEN") && datalines(readfile("run.res")).size() == 1 &&
                      readfile("run.tvp") == "<none>";
            std::filesystem::remove_all(tmpl);
            fprintf(stderr, ok ? "went on" : "wrong");
            exit(42);
        },
        ::testing::ExitedWithCode(42), "went on");
}

// A res-file that cannot be opened: an error (the end of a batch run); interactively ignored,
// nothing is written and nothing is shown as written.
TEST(ResDeathTest, UnopenableResFile) {
    EXPECT_EXIT(
        {
            resetmodel();
            setparms();
            out = tmpfile();
            resfile = strdup("/nonexistent-qor-dir/run.res");
            key = 2;
            write2res(0.3, 1.5, &Ttvp);
        },
        ::testing::ExitedWithCode(1), "open \"/nonexistent-qor-dir/run.res\"");
    EXPECT_EXIT(
        {
            resetmodel();
            setparms();
            feedstdin("i\n");
            initscroll(1 << 16);
            resfile = strdup("/nonexistent-qor-dir/run.res");
            key = 2;
            write2res(0.3, 1.5, &Ttvp);
            bool ok = strstr(_S_buf, "open \"/nonexistent-qor-dir/run.res\"") &&
                      !strstr(_S_buf, "WRITTEN");
            fprintf(stderr, ok ? "nothing written" : "wrong");
            exit(42);
        },
        ::testing::ExitedWithCode(42), "nothing written");
}

// The isotherm p(rho): n densities at the midpoints of n intervals up to maxpack/b, and the
// pressure there from the equation of state written again here.
TEST_F(Res, IsothermTable) {
    ASSERT_EQ(chdir(dir.c_str()), 0);
    unlike();
    x = 0.4, n = 5, maxpack = 0.9;
    p2gnu(0.7);
    std::vector<std::string> l = splitlines(readfile("gnu"));
    ASSERT_EQ(l.size(), 10u);
    EXPECT_EQ(l[0].rfind("#    s1=", 0), 0u);
    Model m;
    m.a2 = 2.5, m.aX = 0.85, m.s2 = 1.3;
    real b = scal_b(m, 0.4L);
    char head[100];
    snprintf(head, sizeof head, "# T=0.7  maxpack=0.900000  maxrho=%g", (double)(1 / b));
    EXPECT_EQ(l[2], head);
    EXPECT_EQ(l[3], "#");
    EXPECT_EQ(l[4], "#          rho            P");
    for (int i = 0; i < 5; i++) {
        double rho, P;
        ASSERT_EQ(sscanf(l[5 + i].c_str(), "%lf %lf", &rho, &P), 2);
        real want = 0.9L / b / 5 * (i + 0.5L);
        EXPECT_NEAR(rho, (double)want, 1e-11 * (double)want);
        EXPECT_NEAR(P, (double)scal_P(m, 1 / want, 0.7L, 0.4L), 1e-10) << i;
    }
    maxpack = 1;
}

// The excess functions: five rows for n = 4; they vanish at both pure ends; at x = 1/2 they
// agree with G = A + pV, -S = dA/dT at fixed V and V itself from the closed-form root.
TEST_F(Res, ExcessTable) {
    ASSERT_EQ(chdir(dir.c_str()), 0);
    unlike();
    n = 4;
    const double p = 0.2, T = 1.3;  // one root at every composition
    excess2gnu(p, T);
    std::vector<std::string> l = splitlines(readfile("gnu"));
    ASSERT_EQ(l.size(), 9u);
    EXPECT_EQ(l[2], "#");
    EXPECT_EQ(l[3], "#     x         Gexcess        T*Sexcess        Hexcess         Vexcess");
    Model m;
    m.a2 = 2.5, m.aX = 0.85, m.s2 = 1.3;
    // vdW: A = T (x ln x + (1-x) ln(1-x)) - T ln(V - b) - a/V; -S = dA/dT at fixed V
    auto props = [&](real xx, real* G, real* Gt, real* V) {
        std::vector<real> r = trueroots(m, p, T, xx);
        *V = r.at(0);
        real b = scal_b(m, xx);
        *Gt = (xx > 0 ? xx * std::log(xx) : 0) + (xx < 1 ? (1 - xx) * std::log(1 - xx) : 0) -
              std::log(*V - b);
        *G = T * *Gt - scal_a(m, xx) / *V + p * *V;
    };
    real G0, Gt0, V0, G1, Gt1, V1, G, Gt, V;
    props(0, &G0, &Gt0, &V0);
    props(1, &G1, &Gt1, &V1);
    props(0.5L, &G, &Gt, &V);
    real Sid = std::log((real)2);
    real Gex = G - (G0 + G1) / 2 + T * Sid, TSex = T * ((Gt0 + Gt1) / 2 - Gt - Sid);
    const double want[5] = {0.5, (double)Gex, (double)TSex, (double)(Gex + TSex),
                            (double)(V - (V0 + V1) / 2)};
    for (int i = 0; i < 5; i++) {
        double v[5];
        ASSERT_EQ(sscanf(l[4 + i].c_str(), "%lf %lf %lf %lf %lf", v, v + 1, v + 2, v + 3, v + 4),
                  5);
        EXPECT_DOUBLE_EQ(v[0], i / 4.0);
        for (int k = 1; k < 5; k++) {
            if (i == 0 || i == 4) {
                EXPECT_NEAR(v[k], 0, 1e-12) << "row " << i << " column " << k;
            } else if (i == 2) {
                EXPECT_NEAR(v[k], want[k], 1e-6 * std::fabs(want[k]) + 1e-9) << "column " << k;
            }
        }
    }
    EXPECT_GT(std::fabs(want[1]), 1e-3);  // the mixture is far from ideal
}

TEST(ResDeathTest, ExcessWarnsOfSort) {
    EXPECT_EXIT(
        {
            resetmodel();
            char tmpl[] = "/tmp/qorresXXXXXX";
            if (!mkdtemp(tmpl) || chdir(tmpl)) exit(3);
            out = tmpfile();
            sort = 0;
            n = 2;
            excess2gnu(0.2, 1.3);
            size_t rows = splitlines(readfile("gnu")).size() - 4;
            std::filesystem::remove_all(tmpl);
            fprintf(stderr, "rows %zu", rows);
            exit(42);
        },
        ::testing::ExitedWithCode(42), "sort!=1(.|\n)*rows 3");
}

// A .tvp file that cannot be opened: an error, but the res-file line is written first (a batch
// run ends with the error).
static char tvpdir[32];
static void reportresline() {
    fprintf(stderr, "res lines %zu", datalines(readfile("run.res")).size());
    std::filesystem::remove_all(tvpdir);
}
TEST(ResDeathTest, UnopenableTvpFile) {
    auto setup = [] {
        resetmodel();
        setparms();
        strcpy(tvpdir, "/tmp/qorresXXXXXX");
        if (!mkdtemp(tvpdir) || chdir(tvpdir) || mkdir("run.tvp", 0700)) exit(3);
        resfile = strdup("run.res");
        tvp = 13;
        key = 12;
    };
    EXPECT_EXIT(
        {
            setup();
            out = tmpfile();
            atexit(reportresline);
            write2res(0.3, 1.5, &Ttvp);
        },
        ::testing::ExitedWithCode(1), "open \"run.tvp\"(.|\n)*res lines 1");
    EXPECT_EXIT(
        {
            setup();
            feedstdin("i\n");
            initscroll(1 << 16);
            write2res(0.3, 1.5, &Ttvp);
            bool ok = strstr(_S_buf, "open \"run.tvp\"") && strstr(_S_buf, "WRITTEN") &&
                      datalines(readfile("run.res")).size() == 1;
            std::filesystem::remove_all(tvpdir);
            fprintf(stderr, ok ? "went on" : "wrong");
            exit(42);
        },
        ::testing::ExitedWithCode(42), "went on");
}
