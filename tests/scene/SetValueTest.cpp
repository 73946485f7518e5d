#include "scene/SetValue.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>

namespace reef {
namespace {

TEST(SetValue, NumbersReadLikeAtofAndAtoi) {
    struct FloatCase {
        const char* text;
        float expected;
    };
    const FloatCase floats[] = {
        {"1.5", 1.5f},   {" -0.25", -0.25f}, {"+3", 3.0f},   {"2.5abc", 2.5f}, {"1e2", 100.0f},
        {"abc", 0.0f},   {"", 0.0f},         {"--1", 0.0f},  {"1e999", 0.0f},  {"nan", 0.0f},
        {".5", 0.5f},    {"7,5", 7.0f},
    };
    for (const FloatCase& c : floats) EXPECT_FLOAT_EQ(valueToFloat(c.text), c.expected) << c.text;

    struct IntCase {
        const char* text;
        int expected;
    };
    const IntCase ints[] = {
        {"42", 42},   {" -7", -7},  {"12.9", 12},        {"x1", 0},
        {"", 0},      {"+5x", 5},   {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    };
    for (const IntCase& c : ints) EXPECT_EQ(valueToInt(c.text), c.expected) << c.text;
    EXPECT_EQ(valueToInt(u" 19"), 19);
    EXPECT_FLOAT_EQ(valueToFloat(u"0.015"), 0.015f);
}

TEST(SetValue, NumbersIgnoreTheProcessLocale) {
    // A desktop locale with a decimal comma must not change what "1.5" means.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    // The name as glibc spells it, then as the Windows C runtime does.
    bool german = false;
    for (const char* name : {"de_DE.UTF-8", "German_Germany.1252", "de-DE"})
        german = german || std::setlocale(LC_NUMERIC, name) != nullptr;
    if (!german) GTEST_SKIP() << "no German locale installed";
    ASSERT_EQ(std::localeconv()->decimal_point[0], ',');
    EXPECT_FLOAT_EQ(valueToFloat("1.5"), 1.5f);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(SetValue, Vectors) {
    struct Case {
        const char* text;
        Vec3 expected;
    };
    const Case cases[] = {
        {"1.5,-6,20", {1.5f, -6.0f, 20.0f}},
        {"5", {0.0f, 0.0f, 0.0f}},         // no comma
        {"1,2", {1.0f, 2.0f, 0.0f}},       // two fields: z is 0
        {" 1 , 2 , 3 ", {1.0f, 2.0f, 3.0f}},
        {"1,2,3,4", {1.0f, 2.0f, 3.0f}},   // extra fields ignored
        {",,", {0.0f, 0.0f, 0.0f}},
        {"a,b,9", {0.0f, 0.0f, 9.0f}},
    };
    for (const Case& c : cases) {
        const Vec3 v = valueToVector(c.text);
        EXPECT_FLOAT_EQ(v.x, c.expected.x) << c.text;
        EXPECT_FLOAT_EQ(v.y, c.expected.y) << c.text;
        EXPECT_FLOAT_EQ(v.z, c.expected.z) << c.text;
    }
}

}  // namespace
}  // namespace reef
