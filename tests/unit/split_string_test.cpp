#include "players/SplitString.h"

#include <gtest/gtest.h>

#include <string>

TEST(SplitStringTest, CutsAtEverySeparatorUpToTheLimit) {
    char text[] = "5,0,50,1,50,1";
    char* pieces[6] = {};
    EXPECT_EQ(SplitString(text, ",", pieces, 6), 5);
    EXPECT_STREQ(pieces[0], "5");
    EXPECT_STREQ(pieces[5], "1");

    char reload[] = "8,1";
    char* two[6] = {};
    EXPECT_EQ(SplitString(reload, ",", two, 6), 1);
    EXPECT_STREQ(two[0], "8");
    EXPECT_STREQ(two[1], "1");
}

TEST(SplitStringTest, StopsAtTheLimitAndReportsNoSeparator) {
    char text[] = "a,b,c,d";
    char* pieces[2] = {};
    EXPECT_EQ(SplitString(text, ",", pieces, 2), 2);
    EXPECT_STREQ(pieces[0], "a");
    EXPECT_STREQ(pieces[1], "b");

    char none[] = "abc";
    char* one[3] = {};
    EXPECT_EQ(SplitString(none, ",", one, 3), 0);
    EXPECT_STREQ(one[0], "abc");

    char spaces[] = "1  2,1";  // two spaces make an empty piece
    char* parts[3] = {};
    EXPECT_EQ(SplitString(spaces, " ", parts, 3), 2);
    EXPECT_STREQ(parts[1], "");
    EXPECT_STREQ(parts[2], "2,1");
}
