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
