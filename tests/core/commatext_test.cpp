#include "core/commatext.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(CommaText, SplitsLikeTheSystemsLists)
{
    struct Case {
        const char* text;
        QStringList items;
    } cases[] = {
        {"", {}},
        {"a,b,c", {"a", "b", "c"}},
        {"0,0,185,539", {"0", "0", "185", "539"}},
        {"  a  b ,c", {"a", "b", "c"}},
        {"a,,b", {"a", "", "b"}},
        {"a,", {"a"}},
        {"\"a b\",c", {"a b", "c"}},
        {"\"a,b\"", {"a,b"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"FIL,\"my file.mp4\",1024", {"FIL", "my file.mp4", "1024"}},
        {"\"unterminated", {"unterminated"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitCommaText(QString::fromUtf8(c.text)), c.items) << c.text;
}

TEST(CommaText, OtherDelimiterAndQuoting)
{
    EXPECT_EQ(splitDelimited(QString::fromUtf8("\"Times New Roman\"/[粗体]/12/0"), u'/'),
              (QStringList{"Times New Roman", QString::fromUtf8("[粗体]"), "12", "0"}));
    EXPECT_EQ(quoteItem("plain"), "plain");
    EXPECT_EQ(quoteItem("a b"), "\"a b\"");
    EXPECT_EQ(quoteItem("say \"x\""), "\"say \"\"x\"\"\"");
    EXPECT_EQ(splitCommaText(quoteItem("a, \"b\"")), QStringList{"a, \"b\""});
}
