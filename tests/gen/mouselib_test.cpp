// The button map and the logical button queries.
#include "gen/mouselib.h"

#include <gtest/gtest.h>

#include "gen/draw.h"

namespace {

struct MapCase {
    const char* text;
    int changed;
    int left, right, middle;   // map[1], map[2], map[4] afterwards
};
const MapCase mapCases[] = {
    {"123", 1, 1, 2, 4},
    {"321", 1, 2, 1, 4},   // left and right swapped
    {"132", 1, 1, 4, 2},   // X button 3 serves as middle, X button 2 as right
    {"12", 0, 1, 2, 4},    // too short
    {"112", 0, 1, 2, 4},   // not a permutation
    {"124", 0, 1, 2, 4},
};

TEST(Mouselib, MapTable) {
    for (const auto& c : mapCases) {
        int map[8] = {0, 1, 2, 3, 4, 5, 6, 7};
        EXPECT_EQ(mousemap(c.text, map), c.changed) << c.text;
        EXPECT_EQ(map[1], c.left) << c.text;
        EXPECT_EQ(map[2], c.right) << c.text;
        EXPECT_EQ(map[4], c.middle) << c.text;
        EXPECT_EQ(map[3], map[1] + map[2]) << c.text;
        EXPECT_EQ(map[5], map[1] + map[4]) << c.text;
        EXPECT_EQ(map[6], map[2] + map[4]) << c.text;
    }
}

TEST(Mouselib, GetButtonFollowsTheMap) {
    int saved[8];
    std::copy(Map, Map + 8, saved);
    dosmouse = {0, 0, 0, 1, 0};    // X button 3 held
    EXPECT_EQ(getButton(1), 1);
    EXPECT_EQ(getButton(2), 0);
    EXPECT_EQ(getButton(4), 1);
    EXPECT_EQ(getButton(3), 0);    // no single button
    mousemap("321", Map);
    EXPECT_EQ(getButton(1), 0);    // the left button is now X button 3
    EXPECT_EQ(getButton(2), 1);
    std::copy(saved, saved + 8, Map);
    dosmouse = {0, 0, 0, 0, 0};
}

}  // namespace
