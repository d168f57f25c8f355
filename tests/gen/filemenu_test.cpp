// The file menu: listing by mask, the prompt, the extension, the answer's bounds.
#include "gen/filemenu.h"
#include "gen/ground.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A directory with a few files; masks are given with its path.
class FileMenu : public ::testing::Test {
  protected:
    std::string dir;
    void SetUp() override {
        char name[] = "/tmp/qorfmenuXXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        for (const char* f : {"a1.img", "a2.img", "b.img", "x;rm -rf y.img", "notes.txt"}) {
            FILE* fp = fopen((dir + "/" + f).c_str(), "w");
            fclose(fp);
        }
    }
    void TearDown() override {
        for (const char* f : {"a1.img", "a2.img", "b.img", "x;rm -rf y.img", "notes.txt"})
            remove((dir + "/" + f).c_str());
        rmdir(dir.c_str());
    }
};

// In a death-test child: answers on the standard input, the standard output to a file.
// Runs fmenu and ends the child with status 0 when the result and the output are as expected;
// otherwise the differences are written to the standard error stream and the status is 3.
[[noreturn]] void expectmenu(const std::string& mask, const std::string& answers,
                             const char* result, const std::string& output) {
    char name[] = "/tmp/qorfmenuinXXXXXX";
    int fd = mkstemp(name);
    FILE* f = fdopen(fd, "w");
    fputs(answers.c_str(), f);
    fclose(f);
    if (!freopen(name, "r", stdin)) abort();
    remove(name);
    FILE* o = tmpfile();
    fflush(stdout);
    dup2(fileno(o), 1);
    char* r = fmenu(mask.c_str(), 0);
    fflush(stdout);
    rewind(o);
    std::string s;
    for (int c; (c = fgetc(o)) != EOF;) s += (char)c;
    bool ok = s == output && (result ? r && strcmp(r, result) == 0 : r == nullptr);
    if (!ok) fprintf(stderr, "result [%s]\noutput [%s]\n", r ? r : "(null)", s.c_str());
    exit(ok ? 0 : 3);
}

TEST_F(FileMenu, MaskWithExtension) {
    std::string listing = dir + "/a1.img\n" + dir + "/a2.img\n";
    EXPECT_EXIT(expectmenu(dir + "/a*.img", "abc\n", "abc.img",
                           listing + "enter file name without extension .img : "),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(FileMenu, MaskWithoutExtension) {
    // The last dot is followed by a wildcard: no extension, the answer is returned as typed.
    std::string listing =
        dir + "/a1.img\n" + dir + "/a2.img\n" + dir + "/b.img\n" + dir + "/x;rm -rf y.img\n";
    EXPECT_EXIT(expectmenu(dir + "/*.im?", "  abc.def  rest\n", "abc.def",
                           listing + "enter file name : "),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(FileMenu, AnswerThatIsAMaskListsAgain) {
    // x* under the extension .img lists x*.img, whose one file has shell characters in its
    // name: it is listed as it is, nothing reaches a shell.
    std::string prompt = "enter file name without extension .img : ";
    std::string first = dir + "/a1.img\n" + dir + "/a2.img\n";
    std::string second = dir + "/x;rm -rf y.img\n";
    EXPECT_EXIT(expectmenu(dir + "/a*.img", dir + "/x*\nchosen\n", "chosen.img",
                           first + prompt + second + prompt),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(FileMenu, PlainNameIsListedAndAskedOnce) {
    EXPECT_EXIT(expectmenu(dir + "/notes.txt", "other\n", "other.txt",
                           dir + "/notes.txt\nenter file name without extension .txt : "),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(FileMenu, EndOfInputGivesNoName) {
    std::string prompt = "enter file name without extension .img : ";
    EXPECT_EXIT(expectmenu(dir + "/b*.img", "", nullptr, dir + "/b.img\n" + prompt),
                ::testing::ExitedWithCode(0), "");
    // Also after a mask answer: the menu gives up instead of asking for ever.
    EXPECT_EXIT(
        expectmenu(dir + "/b*.img", "  \n\nq*", nullptr, dir + "/b.img\n" + prompt + prompt),
                ::testing::ExitedWithCode(0), "no file matches");
}

TEST_F(FileMenu, AnswerIsBoundedTo127Characters) {
    std::string longword(300, 'n');
    std::string prompt = "enter file name without extension .img : ";
    std::string cut = std::string(123, 'n') + ".img";  // 127 characters with the extension
    EXPECT_EXIT(
        expectmenu(dir + "/b*.img", longword + "\n", cut.c_str(), dir + "/b.img\n" + prompt),
                ::testing::ExitedWithCode(0), "");
    std::string plain(127, 'n');
    EXPECT_EXIT(expectmenu("/nonexistent/*", longword + "\n", plain.c_str(), "enter file name : "),
                ::testing::ExitedWithCode(0), "no file matches /nonexistent/\\*");
}

TEST(FileMenuGraphics, RingsTheBellAndAsksNothing) {
    fflush(stderr);
    int saved = dup(2);
    FILE* e = tmpfile();
    dup2(fileno(e), 2);
    char* r = fmenu("a*.img", 1);
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    rewind(e);
    EXPECT_EQ(r, nullptr);
    EXPECT_EQ(fgetc(e), '\a');
    EXPECT_EQ(fgetc(e), EOF);
    fclose(e);
}

}  // namespace
