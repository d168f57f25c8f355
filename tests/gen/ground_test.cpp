// Console output, capture, headers and error reports.
#include "gen/ground.h"

#include "capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {


}  // namespace

TEST(Output, PutlineAndHeader) {
    EXPECT_EQ(written([] { putline('-', -5); }), "-----");
    EXPECT_EQ(written([] { putline('-', 0); }), "");
    EXPECT_EQ(written([] { putline('*', 3); }), "***\n");
    // header("") before any titled header prints nothing; afterwards it repeats the rule.
    EXPECT_EQ(written([] { header(""); }), "");
    EXPECT_EQ(written([] { header("Results"); }), "\n=======\nResults\n-------\n");
    EXPECT_EQ(written([] { header(""); }), "=======\n");
    EXPECT_EQ(written([] { header("#key"); }), "\n####\n#key\n####\n");
    EXPECT_EQ(written([] { header("\\x"); }), "\n\\\\\n\\x\n\\\\\n");
}

TEST(Output, PrtFamily) {
    EXPECT_EQ(written([] { prt("%d-%s", 7, "a"); prt_("x"); prts("y"); prts_("z"); prtc('!'); }),
              "7-a\nxy\nz!");
    std::string longtext(5000, 'q');
    EXPECT_EQ(written([&] { prt_("%s", longtext.c_str()); }), longtext);
    EXPECT_EQ(written([] { EXPECT_EQ(prt_("%5.2f", 3.14159), 5); }), " 3.14");
}

TEST(Capture, HalvesWhenMoreThanHalfFull) {
    ASSERT_EQ(initscroll(1024), 0);
    EXPECT_EQ(S.size, 1024);
    EXPECT_EQ(S.len, 1);
    EXPECT_EQ(_S_buf[0], '\n');
    FILE* saved = out;
    out = stdout;
    for (int i = 1; i <= 600; i++) {
        prtc('a' + i % 26);
        if (i == 511) {
            EXPECT_EQ(S.len, 512);
        }
        if (i == 512) {
            EXPECT_EQ(S.len, 1);                 // the 512th character moved to the front
            EXPECT_EQ(_S_buf[0], 'a' + 512 % 26);
        }
    }
    EXPECT_EQ(S.len, 89);
    EXPECT_EQ((int)strlen(_S_buf), S.len);
    // A single text longer than the whole buffer never writes past its end.
    std::string big(3000, 'z');
    prts_(big.c_str());
    EXPECT_LE(S.len, S.size / 2);
    EXPECT_EQ((int)strlen(_S_buf), S.len);
    prt_("%s", big.c_str());
    EXPECT_EQ((int)strlen(_S_buf), S.len);
    out = saved;
    // An odd size loses one byte; the environment sets the pager's screen.
    setenv("SCROLL", "L40C100", 1);
    ASSERT_EQ(initscroll(1001), 0);
    EXPECT_EQ(S.size, 1000);
    EXPECT_EQ(S.lines, 40);
    EXPECT_EQ(S.cols, 100);
    unsetenv("SCROLL");
    setscroll(25, 80, 1);
    EXPECT_EQ(initscroll(0), -1);
}

TEST(Capture, OnlyWhileOutIsStandardOutput) {
    ASSERT_EQ(initscroll(1024), 0);
    written([] { prts("not captured"); });
    EXPECT_EQ(S.len, 1);
}

// ---- Error reports in batch use (out is a file, so there is no menu) ----

TEST(ErrorsBatch, WarningGoesOn) {
    std::string s = written([] { MYERROR(0, "qorfunc", "root %d lost", 3); });
    EXPECT_NE(s.find("\n*** WARNING in \"qorfunc\", line "), std::string::npos) << s;
    EXPECT_NE(s.find("\n*** root 3 lost\n\n"), std::string::npos) << s;
}

// Before the mode is known out is the standard error: the report must not show twice there.
TEST(ErrorsBatch, ReportShownOnceWhenOutIsStandardError) {
    std::string s = stderrof([] { MYERROR(0, "qor", "unknown option %s", "-h"); });
    EXPECT_EQ(s.find("unknown option -h"), s.rfind("unknown option -h")) << s;
    EXPECT_NE(s.find("unknown option -h"), std::string::npos) << s;
}

TEST(ErrorsBatchDeathTest, LevelIsExitStatus) {
    struct { int level; int status; } cases[] = {{1, 1}, {2, 2}, {7, 2}};  // unknown level -> 2
    for (auto c : cases) {
        EXPECT_EXIT(
            {
                out = tmpfile();
                MYERROR(c.level, "ground", "bad");
            },
            ::testing::ExitedWithCode(c.status), "ERROR|DISASTER")
            << c.level;
    }
    EXPECT_EXIT(
        {
            out = tmpfile();
            extError("alloc", "alloc", 1);
        },
        ::testing::ExitedWithCode(97), "alloc:1 ERROR alloc");
    EXPECT_EXIT(
        {
            out = tmpfile();
            extError("", "x", 1);
        },
        ::testing::ExitedWithCode(1), "");
}

// ---- Interactive menus (in and out are the terminal streams) ----

TEST(ErrorsMenuDeathTest, Choices) {
    // A warning answered with i goes on like c; at level 2, c and i are not accepted.
    EXPECT_EXIT(
        {
            feedstdin("i\n");
            MYERROR(0, "t", "w");
            fprintf(stderr, "went on");
            exit(42);
        },
        ::testing::ExitedWithCode(42), "went on");
    EXPECT_EXIT(
        {
            feedstdin("c\ni\nx\ne\n");
            MYERROR(2, "t", "d");
        },
        ::testing::ExitedWithCode(2), "select:  \\(a\\)bort  \\(e\\)xit\n");
    EXPECT_EXIT(
        {
            feedstdin("");
            MYERROR(1, "t", "end of input");
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(
        {
            feedstdin("r\n");
            extError("data:index", "x", 3);
            exit(43);
        },
        ::testing::ExitedWithCode(43), "");
    EXPECT_EXIT(
        {
            feedstdin("e\n");
            extError("data:index", "x", 3);
        },
        ::testing::ExitedWithCode('d'), "");
}

TEST(ErrorsMenuDeathTest, TwentyFirstAnswerEnds) {
    std::string twenty;
    for (int i = 0; i < 20; i++) twenty += "zz\n";
    // Twenty unrecognised answers are tolerated: the 20th is followed by c and the run goes on.
    EXPECT_EXIT(
        {
            feedstdin((twenty + "c\n").c_str());
            MYERROR(0, "t", "w");
            exit(44);
        },
        ::testing::ExitedWithCode(0), "");
    std::string nineteen;
    for (int i = 0; i < 19; i++) nineteen += "zz\n";
    EXPECT_EXIT(
        {
            feedstdin((nineteen + "c\n").c_str());
            MYERROR(0, "t", "w");
            exit(44);
        },
        ::testing::ExitedWithCode(44), "");
}

TEST(Capture, ScrollSizesThePagerCannotUseAreIgnored) {
    setscroll(25, 80, 1);
    for (const char* env : {"L1C0", "L99999999999999999999C99999999999999999999", "L-3C-3", "LC"}) {
        setenv("SCROLL", env, 1);
        ASSERT_EQ(initscroll(64), 0);
        EXPECT_EQ(S.lines, 25) << env;
        EXPECT_EQ(S.cols, 80) << env;
    }
    unsetenv("SCROLL");
}

TEST(Ends, ExitHookRunsBeforeAnythingIsClosed) {
    struct Ended {
        int status;
    };
    FILE* saved = out;
    out = tmpfile();
    FILE* mine = out;
    exithook = [](int status) { throw Ended{status}; };
    int status = 0;
    try {
        extError("data:index", "v", 3);  // batch use: would end the program
    } catch (const Ended& e) {
        status = e.status;
    }
    exithook = nullptr;
    EXPECT_EQ(status, 'd');
    EXPECT_EQ(out, mine);  // still open: the driver goes on
    fclose(out);
    out = saved;
}

TEST(Includes, NestAndReturnInOrder) {
    FILE* base = tmpfile();
    in = base;
    std::vector<FILE*> files;
    for (;;) {
        FILE* f = tmpfile();
        if (!includein(f)) {
            fclose(f);
            break;
        }
        files.push_back(f);
        ASSERT_LT(files.size(), 100u);
    }
    EXPECT_EQ(files.size(), 9u);  // masterin and eight outer streams behind it
    EXPECT_EQ(in, files.back());
    for (size_t k = files.size(); k-- > 0;) {
        EXPECT_EQ(in, files[k]);
        EXPECT_EQ(endinclude(), 1);
    }
    EXPECT_EQ(in, base);
    EXPECT_EQ(masterin, nullptr);
    EXPECT_EQ(endinclude(), 0);
    fclose(base);
    in = stdin;
}
