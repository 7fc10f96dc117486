#include "runtime/StartTime.h"

#include <gtest/gtest.h>

using Demo::GetStartTime;

TEST(StartTime, NoArgumentStartsAtZero)
{
    EXPECT_EQ(GetStartTime(""), 0);
    EXPECT_EQ(GetStartTime("r"), 0);
    EXPECT_EQ(GetStartTime("ruvo"), 0);
    EXPECT_EQ(GetStartTime("./ruvo"), 0);
    EXPECT_EQ(GetStartTime(nullptr), 0);
    // A quoted path stops at its closing quote and converts the empty rest.
    EXPECT_EQ(GetStartTime("\"C:/demo/ruvo.exe\""), 0);
}

TEST(StartTime, ReadsTheNumberAfterTheProgramName)
{
    EXPECT_EQ(GetStartTime("ruvo 60000"), 60000);
    EXPECT_EQ(GetStartTime("\"ruvo\" 60000"), 60000);
    EXPECT_EQ(GetStartTime("ruvo   60000"), 60000);
    EXPECT_EQ(GetStartTime("ruvo 60000 12"), 60000);
}

TEST(StartTime, QuotedPathWithSpaceStopsAtTheSpace)
{
    EXPECT_EQ(GetStartTime("\"/home/my demos/ruvo\" 60000"), 0);
    EXPECT_EQ(GetStartTime("\"/home/2024 demos/ruvo\" 60000"), 0);
    EXPECT_EQ(GetStartTime("\"/home/a 2024demos/ruvo\" 60000"), 2024);
}

TEST(StartTime, ConvertsLikeAtoi)
{
    EXPECT_EQ(GetStartTime("ruvo abc"), 0);
    EXPECT_EQ(GetStartTime("ruvo 123abc"), 123);
    EXPECT_EQ(GetStartTime("ruvo -5000"), -5000);
    EXPECT_EQ(GetStartTime("ruvo +42"), 42);
    EXPECT_EQ(GetStartTime("ruvo -"), 0);
    EXPECT_EQ(GetStartTime("ruvo "), 0);
}

TEST(StartTime, OutOfRangeNumbersSaturateInsteadOfWrapping)
{
    EXPECT_EQ(GetStartTime("ruvo 4294967296"), 2147483647);
    EXPECT_EQ(GetStartTime("ruvo 99999999999999999999999999"), 2147483647);
    EXPECT_EQ(GetStartTime("ruvo -99999999999999999999"), -2147483647 - 1);
    EXPECT_EQ(GetStartTime("ruvo 2147483647"), 2147483647);
}
