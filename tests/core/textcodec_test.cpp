#include "core/textcodec.h"

#include <gtest/gtest.h>

using namespace quorvel;

TEST(TextCodec, SystemTextsRoundTrip)
{
    const char* texts[] = {"楷体_GB2312", "通知", "字幕模式", "目标终端上磁盘空间不足",
                           "终端列表", "粗体,斜体,下划线,删除线", "Quorvel [Lumacast]"};
    for (const char* utf8 : texts) {
        const QString text = QString::fromUtf8(utf8);
        const QByteArray bytes = toGb18030(text);
        EXPECT_EQ(fromGb18030(bytes), text) << utf8;
    }
}

TEST(TextCodec, Gb2312BytesReadAsBefore)
{
    // "通知" as GB2312 writes it: every GB2312 sequence reads the same in GB18030.
    EXPECT_EQ(fromGb18030(QByteArray::fromHex("cda8d6aa")), QString::fromUtf8("通知"));
    EXPECT_EQ(toGb18030(QString::fromUtf8("通知")), QByteArray::fromHex("cda8d6aa"));
}

TEST(TextCodec, CharactersOutsideGbkSurvive)
{
    // Four-byte GB18030 sequences: a character outside the BMP and the euro sign.
    const QString text = QString::fromUtf8("€ 😀 𠀀");
    EXPECT_EQ(fromGb18030(toGb18030(text)), text);
}

TEST(TextCodec, TruncationNeverSplitsACharacter)
{
    const QString text = QString::fromUtf8("ab通知");
    EXPECT_EQ(truncateToGb18030Bytes(text, 2), QStringLiteral("ab"));
    EXPECT_EQ(truncateToGb18030Bytes(text, 3), QStringLiteral("ab"));
    EXPECT_EQ(truncateToGb18030Bytes(text, 4), QString::fromUtf8("ab通"));
    EXPECT_EQ(truncateToGb18030Bytes(text, 100), text);
}
