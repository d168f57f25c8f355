// Colours, the machine precision, the help file and its pager, external commands.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "capture.h"
#include "gen/ground.h"
#include "qor/qor.h"
#include "qor/qorsys.h"

#ifndef QOR_SOURCE_DIR
#define QOR_SOURCE_DIR "."
#endif

namespace {


void writefile(const char* name, const std::string& text) {
    FILE* f = fopen(name, "wb");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

std::string readfile(const char* name) {
    std::string s;
    FILE* f = fopen(name, "rb");
    if (!f) return s;
    for (int c; (c = fgetc(f)) != EOF;) s += (char)c;
    fclose(f);
    return s;
}

}  // namespace

TEST(System, MachinePrecision) {
    double r = machprec();
    EXPECT_GT(r, 1e-17);  // of the order of the double epsilon, 2.2e-16
    EXPECT_LT(r, 1e-14);
    EXPECT_EQ(r, machprec());
}

TEST(System, ColoursFollowTheirTables) {
    struct {
        int mode, n;
        const char* escape;
    } cases[] = {
        {1, 12, "\033[1;31m"}, {1, 7, "\033[1;37m"}, {2, 1, "\033[1;33m"}, {2, 0, "\033[1;37m"},
        {-1, 10, "\033[0;32m"}, {3, 13, "\033[1;0m"}, {3, 2, "\033[1;7m"}, {0, 12, ""},
        {5, 12, ""},  // an unknown mode is switched off
    };
    int saved = ansi;
    for (auto c : cases) {
        ansi = c.mode;
        EXPECT_EQ(stderrof([&] { ansicolor(c.n); }), c.escape) << c.mode << " " << c.n;
    }
    EXPECT_EQ(ansi, 0);
    ansi = saved;
}

TEST(System, ExternalCommandKeys) {
    std::string s = stderrof([] { prtexec(); });
    EXPECT_EQ(s, "shell calls key: -8=key-8 -7=sortres -6=q -5=qorpt -4=csh\n");
    setexec("-k6=vi");
    setexec("-k-7:sort -n");
    setexec("-k5");
    s = stderrof([] { prtexec(); });
    EXPECT_EQ(s, "shell calls key: -8=key-8 -7=sort -n -6=vi -5= -4=csh\n");
    exelist[1] = "sortres", exelist[2] = "q", exelist[3] = "qorpt";
}

TEST(SystemDeathTest, BadExecKey) {
    EXPECT_EXIT(
        {
            out = tmpfile();
            setexec("-k9=x");
        },
        ::testing::ExitedWithCode(1), "-k9=x bad key");
}

// The res-file name reaches the shell as one quoted word, whatever characters it holds.
TEST(System, SpawnQuotesTheResFileName) {
    char dir[] = "/tmp/qorspawnXXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    std::string log = std::string(dir) + "/args";
    std::string cmd = "-k5=printf '%s|' >" + log;
    setexec(strdup(cmd.c_str()));
    std::string name = std::string(dir) + "/a b;touch " + dir + "/INJECTED'x";
    resfile = strdup(name.c_str());
    std::string s = stderrof([] { spawnkey(-5); });
    EXPECT_NE(s.find("system return code=0"), std::string::npos) << s;
    EXPECT_EQ(readfile(log.c_str()), name + "|");
    EXPECT_EQ(access((std::string(dir) + "/INJECTED").c_str(), F_OK), -1);
    exelist[3] = "qorpt";
    std::string rm = std::string("rm -rf ") + dir;
    EXPECT_EQ(system(rm.c_str()), 0);
}

class HelpFile : public ::testing::Test {
  protected:
    char dir[32] = "/tmp/qorhelpXXXXXX";
    char cwd[1024];
    void SetUp() override {
        ASSERT_TRUE(mkdtemp(dir));
        ASSERT_TRUE(getcwd(cwd, sizeof cwd));
        ASSERT_EQ(chdir(dir), 0);
        memset(keykey, 0, sizeof keykey);
        setenv("QOR", dir, 1);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(cwd), 0);
        std::string cmd = std::string("rm -rf ") + dir;
        EXPECT_EQ(system(cmd.c_str()), 0);
        memset(keykey, 0, sizeof keykey);
    }
    std::string shipped() { return readfile(QOR_SOURCE_DIR "/data/qor.k99"); }
};

TEST_F(HelpFile, ShippedFileNamesEveryFlaggedKey) {
    writefile("qor.k99", shipped());
    std::string s = stderrof([] { checkhlp("/nowhere/qor"); });
    EXPECT_EQ(s.find("***"), std::string::npos) << s;  // no report
    EXPECT_NE(s.find("QOR=" + std::string(dir)), std::string::npos) << s;
    EXPECT_STRNE(keyinfo(2), "2=?");
    EXPECT_STRNE(keyinfo(-99), "-99=?");
    EXPECT_STREQ(keyinfo(57), "57=?");
    EXPECT_EQ(strncmp(keyinfo(13), "13=", 3), 0);
}

TEST_F(HelpFile, BrokenFilesAreReportedAndTheStartGoesOn) {
    std::string good = shipped();
    struct {
        std::string text;
        const char* report;
    } cases[] = {
        {"@QOR 9.99" + good.substr(good.find('\n')), "bad version 9.99 of help file qor.k99"},
        {"QOR 5.72" + good.substr(good.find('\n')), "bad format of help file qor.k99"},
        {good.substr(0, good.find("@key")), "missing or bad list of keys in qor.k99"},
        {good.substr(0, good.find("@key") + 400), "missing or bad list of keys in qor.k99"},
    };
    for (auto& c : cases) {
        writefile("qor.k99", c.text);
        std::string s = stderrof([] { checkhlp("qor"); });
        EXPECT_NE(s.find(c.report), std::string::npos) << c.report << "\n" << s;
    }
    remove("qor.k99");
    std::string s = stderrof([] { checkhlp("qor"); });
    EXPECT_NE(s.find("file \"qor.k99\" not found"), std::string::npos) << s;
}

TEST_F(HelpFile, PagerFindsTopicsAndPages) {
    std::string file = "@QOR 5.72\nintro line\n@p\nmaxit: the iteration limit\nsee x : y\n"
                       "the value: 3\n@p\nkey=12: a key\n" + std::string(80, 'z') + "\n@p\nlast\n";
    writefile("qor.k99", file);
    checkhlp("qor");
    int savedansi = ansi;
    ansi = 0;
    removenl = 80;
    auto run = [&](const char* answers) {
        FILE* savedin = in;
        in = fmemopen((void*)answers, strlen(answers), "r");
        std::string s = stderrof([] { help(); });
        fclose(in);
        in = savedin;
        return s;
    };
    // The first line read is the rest of the line that called the help.
    std::string s = run("\n12\nq\n");
    EXPECT_NE(s.find("key=12: a key\n"), std::string::npos) << s;
    EXPECT_NE(s.find(std::string(80, 'z') + "-----"), std::string::npos);  // line end removed
    EXPECT_EQ(s.find("maxit:"), std::string::npos);
    s = run("\nmaxit\n\nq\n");  // Enter shows the next page
    EXPECT_NE(s.find("maxit: the iteration limit"), std::string::npos) << s;
    EXPECT_NE(s.find("key=12: a key"), std::string::npos) << s;
    s = run("\nnothing\n.\n");
    EXPECT_NE(s.find("\anothing:not found in QOR.HLP"), std::string::npos) << s;
    s = run("\n12\nu\nq\n");  // up from the second page shows the first
    size_t a = s.find("key=12:"), b = s.find("maxit:");
    EXPECT_TRUE(a != std::string::npos && b != std::string::npos && a < b) << s;
    s = run("\n?\nt\nq\n");  // top: the page after the version line
    EXPECT_EQ(s.find("@QOR"), std::string::npos);
    size_t first = s.find("intro line"), second = s.find("intro line", first + 1);
    EXPECT_NE(second, std::string::npos) << s;
    s = run("\n?\n");  // end of input ends the help
    EXPECT_NE(s.find("intro line"), std::string::npos);
    ansi = savedansi;
    removenl = 81;
}

TEST_F(HelpFile, Highlighting) {
    writefile("qor.k99", "@QOR 5.72\neps: tolerance\nthe value: 3\nsee x : y\n@end\n");
    checkhlp("qor");
    int savedansi = ansi;
    ansi = 1;
    colorhook = ansicolor;
    FILE* savedin = in;
    const char* answers = "\n?\nq\n";
    in = fmemopen((void*)answers, strlen(answers), "r");
    std::string s = stderrof([] { help(); });
    fclose(in);
    in = savedin;
    // colour 14 (yellow, 33) before the topic word, the text colour 3 (cyan, 36) after it
    EXPECT_NE(s.find("\033[1;33meps:\033[1;36m tolerance"), std::string::npos) << s;
    EXPECT_NE(s.find("\033[1;33mthe value:\033[1;36m 3"), std::string::npos) << s;
    EXPECT_NE(s.find("\033[1;36msee x : y"), std::string::npos) << s;
    ansi = savedansi;
    colorhook = nullptr;
}
