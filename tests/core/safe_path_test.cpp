// One safe folder or file name from outside text.

#include "core/safe_path.h"

#include <gtest/gtest.h>

namespace {

TEST(SafePathComponent, ReplacesWhatCouldLeaveOrBreakTheFolder) {
    struct Case {
        QString in;
        QString out;
    } cases[] = {
        {QStringLiteral("Shop 1"), QStringLiteral("Shop 1")},
        {QStringLiteral("a/b\\c"), QStringLiteral("a_b_c")},
        {QStringLiteral("x:*?\"<>|y"), QStringLiteral("x_______y")},
        {QStringLiteral("tab\there\nnew\x7f"), QStringLiteral("tab_here_new_")},
        {QStringLiteral("."), QStringLiteral("_")},
        {QStringLiteral(".."), QStringLiteral("__")},
        {QStringLiteral("..."), QStringLiteral("...")},
        {QStringLiteral("../up"), QStringLiteral(".._up")},
        {QString(), QStringLiteral("_")},
        {QStringLiteral(u"门口"), QStringLiteral(u"门口")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeSafePathComponent(c.in), c.out) << c.in.toStdString();
}

}  // namespace
