// The dump writers on synthetic images, and the dump without a window.
#include "gen/dumpscr.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string written(void (*writer)(FILE*, const unsigned char*, int, int, int),
                    const std::vector<unsigned char>& idx, int w, int h, int inverted) {
    FILE* f = tmpfile();
    writer(f, idx.data(), w, h, inverted);
    rewind(f);
    std::string s;
    for (int c; (c = fgetc(f)) != EOF;) s += (char)c;
    fclose(f);
    return s;
}

TEST(Dumpscr, PpmPlainAndInverted) {
    const int w = 640, h = 480;
    std::vector<unsigned char> idx((size_t)w * h, 0);
    idx[1] = 15;                 // a white pixel
    idx[2] = 12;                 // a red one
    const std::string head = "P6\n640 480\n255\n";
    std::string s = written(writeppm, idx, w, h, 0);
    ASSERT_EQ(s.size(), head.size() + (size_t)w * h * 3);
    EXPECT_EQ(s.substr(0, head.size()), head);
    EXPECT_EQ(s.substr(head.size(), 9), std::string("\0\0\0\xff\xff\xff\xff\0\0", 9));
    s = written(writeppm, idx, w, h, 1);
    ASSERT_EQ(s.size(), head.size() + (size_t)w * h * 3);
    EXPECT_EQ(s.substr(head.size(), 9), std::string("\xff\xff\xff\0\0\0\0\xff\xff", 9));
}

TEST(Dumpscr, GrayPostScriptLayout) {
    const int w = 640, h = 480;
    std::vector<unsigned char> idx((size_t)w * h, 0);
    idx[0] = 15;
    std::string s = written(writegrayps, idx, w, h, 0);
    const std::string head =
        "%!PS-Adobe-2.0\n90 rotate 54 -550 translate 640.00 480 scale\n/DS 640 string def\n"
        "640 480 8 [ 640 0 0 -480 0 480 ]\n{ currentfile DS readhexstring pop } image";
    ASSERT_EQ(s.substr(0, head.size()), head);
    std::string body = s.substr(head.size());
    const std::string tail = "\nshowpage\n";
    ASSERT_EQ(body.substr(body.size() - tail.size()), tail);
    body.erase(body.size() - tail.size());
    // every row in lines of 20 values: 32 lines a row
    int lines = 0;
    for (char c : body) lines += c == '\n';
    EXPECT_EQ(lines, 480 * 32);
    EXPECT_EQ(body.substr(0, 9), "\nfd 00 00");            // white is 253
    EXPECT_EQ(body.size(), (size_t)w * h * 3);
    s = written(writegrayps, idx, w, h, 1);
    EXPECT_EQ(s.substr(head.size(), 9), "\n02 ff ff");     // inverted: white 02, black ff
    // the scale keeps the aspect ratio in single precision
    std::vector<unsigned char> small(7 * 3, 0);
    s = written(writegrayps, small, 7, 3, 0);
    EXPECT_NE(s.find("translate 1120.00 480 scale"), std::string::npos);
}

TEST(Dumpscr, PixelsToPaletteIndices) {
    const unsigned long coltab[16] = {5, 9, 9, 7, 1, 2, 3, 4, 6, 8, 10, 11, 12, 13, 14, 15};
    const unsigned long pix[] = {5, 9, 7, 15, 99};
    unsigned char idx[5];
    pixelindices(pix, 5, coltab, 16, idx);
    EXPECT_EQ(std::vector<int>(idx, idx + 5), (std::vector<int>{0, 1, 3, 15, 0}));  // first match; unknown 0
}

TEST(Dumpscr, WithoutWindowNothingIsWritten) {
    char dir[] = "/tmp/qordumpXXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    std::string name = std::string(dir) + "/shot";
    setenv("PRTSCR", name.c_str(), 1);
    testing::internal::CaptureStderr();
    DumpScr('m');
    std::string err = testing::internal::GetCapturedStderr();
    struct stat st;
    EXPECT_NE(stat(name.c_str(), &st), 0);
    EXPECT_NE(err.find("skipped"), std::string::npos) << err;
    setenv("PRTSCR", dir, 1);   // a directory is no file name
    testing::internal::CaptureStderr();
    DumpScr('p');
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("is no file name"), std::string::npos) << err;
    unsetenv("PRTSCR");
    rmdir(dir);
}

}  // namespace
