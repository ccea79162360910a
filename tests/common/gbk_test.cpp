#include "common/gbk.h"
#include "common/text_codec.h"

#include <gtest/gtest.h>

using namespace qarvel;

TEST(CodecGbk, ChineseTextIsTwoBytesPerCharacter) {
    EXPECT_EQ(toGbk(QStringLiteral("影视盒")), QByteArray("\xD3\xB0\xCA\xD3\xBA\xD0"));
    EXPECT_EQ(fromGbk(QByteArray("Qarvel\xD3\xB0\xCA\xD3\xBA\xD0")), QStringLiteral("Qarvel影视盒"));
    EXPECT_EQ(toGbk(QStringLiteral("a|b\r\n")), QByteArray("a|b\r\n"));
}

TEST(CodecGbk, CharactersOutsideGbkSurviveInFourByteForm) {
    const QString name = QStringLiteral("电影🎬第1集.mp4");
    const QByteArray bytes = toGbk(name);
    // U+1F3AC in GB18030 is four bytes starting 0x95..0x98 with a digit second byte.
    EXPECT_EQ(bytes.size(), 4 + 4 + 2 + 1 + 2 + 4);  // 电影, 🎬, 第, 1, 集, .mp4
    EXPECT_EQ(fromGbk(bytes), name);
}

TEST(CodecGbk, BytesWrittenByCodePage936ReadUnchanged) {
    EXPECT_EQ(fromGbk(QByteArray("\x80")), QString(QChar(0x20AC)));      // euro sign
    EXPECT_EQ(fromGbk(QByteArray("\xA1\xA4")), QString(QChar(0x00B7)));  // middle dot of the list pages
    EXPECT_EQ(toGbk(QString(QChar(0x00B7))), QByteArray("\xA1\xA4"));
}

TEST(CodecGbk, BrokenBytesBecomeReplacementAndDecodingGoesOn) {
    const QString s =
        fromGbk(QByteArray("ab\xFF"
                           "cd\xD3"));
    EXPECT_TRUE(s.startsWith("ab"));
    EXPECT_TRUE(s.contains("cd"));
    EXPECT_TRUE(s.contains(QChar(0xFFFD)));
}

TEST(CodecGbk, DoubleByteClassification) {
    EXPECT_FALSE(codec::isGbkDoubleByte(U'a'));
    EXPECT_TRUE(codec::isGbkDoubleByte(U'影'));
    EXPECT_TRUE(codec::isGbkDoubleByte(U'·'));
    EXPECT_FALSE(codec::isGbkDoubleByte(U'€'));           // one byte, 0x80
    EXPECT_FALSE(codec::isGbkDoubleByte(U'\U0001F3AC'));  // four bytes
}
