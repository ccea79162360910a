// System services. Expected escape/unescape results are those of the
// ECMAScript escape and unescape functions (ECMA-262 Annex B).
#include "app/system_services.h"
#include "platform/network_adapters.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

using namespace qarvel;

namespace {

class FakeAdapters final : public platform::NetworkAdapters {
public:
    explicit FakeAdapters(QStringList addresses) : addresses_(std::move(addresses)) {}
    QStringList ipEnabledAdapterAddresses() const override { return addresses_; }

private:
    QStringList addresses_;
};

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

TEST(AppEscapeText, MatchesEcmaScriptEscape) {
    EXPECT_EQ(EscapeText("Aa09@*_+-./"), "Aa09@*_+-./");
    EXPECT_EQ(EscapeText(u(" !\"#$&'(),:;<=>?[\\]^`{|}~%")),
              "%20%21%22%23%24%26%27%28%29%2C%3A%3B%3C%3D%3E%3F%5B%5C%5D%5E%60%7B%7C%7D%7E%25");
    EXPECT_EQ(EscapeText(u("中文 影视盒")), "%u4E2D%u6587%20%u5F71%u89C6%u76D2");
    EXPECT_EQ(EscapeText(u("\u00e4\u00ff\u0100\u00b7")), "%E4%FF%u0100%B7");
    EXPECT_EQ(EscapeText(u("\xF0\x9F\x8E\xAC")), "%uD83C%uDFAC") << "surrogates one by one";
    EXPECT_EQ(EscapeText("qvod://123|ABCDEF|a b.rmvb|"), "qvod%3A//123%7CABCDEF%7Ca%20b.rmvb%7C");
    EXPECT_EQ(EscapeText(QString::fromUtf16(u"\r\n\t\0", 4)), "%0D%0A%09%00");
    EXPECT_EQ(EscapeText(""), "");
}

TEST(AppEscapeText, UnescapeMatchesEcmaScriptIncludingMalformedPercents) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"%", "%"},
        {"%4", "%4"},
        {"%4G", "%4G"},
        {"%41", "A"},
        {"%u4E2D", "中"},
        {"%u4e2d", "中"},
        {"%u4E2", "%u4E2"},
        {"%u4E2G%41", "%u4E2GA"},
        {"%%41", "%A"},
        {"%u%41", "%uA"},
        {"%zz%u12", "%zz%u12"},
        {"%E4%FF", "äÿ"},
        {"abc%", "abc%"},
        {"%U4E2D", "%U4E2D"},
        {"%u004", "%u004"},
        {"+%20/", "+ /"},
        {"%25u4E2D", "%u4E2D"},
        {"%uD83C%uDFAC", "\xF0\x9F\x8E\xAC"},
    };
    for (const auto& c : cases) EXPECT_EQ(UnescapeText(c.in), u(c.out)) << c.in;
    // A lone surrogate survives as the code unit it names.
    EXPECT_EQ(UnescapeText("%uD800"), QString(QChar(0xD800)));
}

TEST(AppEscapeText, UnescapeReversesEscape) {
    const QString texts[] = {u("中文 影视盒 第01集"), u("a%b|c&&&d$$$e"), QString(QChar(0xDC00)) + "x", u("€·¤")};
    for (const QString& t : texts) EXPECT_EQ(UnescapeText(EscapeText(t)), t);
}

TEST(AppEscapeText, ByteOrderMarksAreOrdinaryCharacters) {
    // A leading U+FEFF or U+FFFE is text like any other: not dropped, not a
    // reason to swap the bytes of what follows.
    const QString bom = QString(QChar(0xFEFF)) + "abc";
    const QString reversed = QString(QChar(0xFFFE)) + u("中文");
    EXPECT_EQ(UnescapeText("%uFEFFabc"), bom);
    EXPECT_EQ(UnescapeText("%uFFFE%u4E2D%u6587"), reversed);
    for (const QString& t : {bom, reversed}) {
        EXPECT_EQ(EscapeText(t).left(6), t[0] == QChar(0xFEFF) ? "%uFEFF" : "%uFFFE");
        EXPECT_EQ(UnescapeText(EscapeText(t)), t);
    }
}

TEST(AppSystemServices, FormatPlayTime) {
    EXPECT_EQ(FormatPlayTime(0), "00:00");
    EXPECT_EQ(FormatPlayTime(59), "00:59");
    EXPECT_EQ(FormatPlayTime(307), "05:07");
    EXPECT_EQ(FormatPlayTime(3599.4), "59:59");
    EXPECT_EQ(FormatPlayTime(3599.6), "1:00:00");
    EXPECT_EQ(FormatPlayTime(3600), "1:00:00");
    EXPECT_EQ(FormatPlayTime(3907), "1:05:07");
    EXPECT_EQ(FormatPlayTime(36000), "10:00:00");
    EXPECT_EQ(FormatPlayTime(-5), "00:00");
    EXPECT_EQ(FormatPlayTime(std::numeric_limits<double>::quiet_NaN()), "00:00");
    EXPECT_FALSE(FormatPlayTime(std::numeric_limits<double>::infinity()).isEmpty());
}

TEST(AppSystemServices, FileNameAndExtension) {
    EXPECT_EQ(FileNameOfPath("/home/u/films/a.mkv"), "a.mkv");
    EXPECT_EQ(FileNameOfPath("C:\\films\\b.rmvb"), "b.rmvb");
    EXPECT_EQ(FileNameOfPath("/mixed\\dir/c.avi"), "c.avi");
    EXPECT_EQ(FileNameOfPath("dir/"), "");
    EXPECT_EQ(FileNameOfPath("plain.avi"), "") << "no folder, no name";
    EXPECT_EQ(StripExtension("a.b.rmvb"), "a.b");
    EXPECT_EQ(StripExtension(u("影视.mkv")), u("影视"));
    EXPECT_EQ(StripExtension("noext"), "");
    EXPECT_EQ(StripExtension(".hidden"), "");
}

TEST(AppSystemServices, CutToWidthCountsGbkDoubleBytesTwice) {
    const QString fifteen = QString(15, QChar(0x5F71));
    EXPECT_EQ(CutToWidth(fifteen, 30), fifteen);
    EXPECT_EQ(CutToWidth(QString(16, QChar(0x5F71)), 30), fifteen);
    EXPECT_EQ(CutToWidth(QString(31, u'a'), 30), QString(30, u'a'));
    // Mixed: "ab" (2) + 影 (2) + "c" (1) = 5; the next double-byte one would exceed 6.
    EXPECT_EQ(CutToWidth(u("ab影c视d"), 6), u("ab影c"));
    // Half-width texts stay whole even when their width is larger.
    EXPECT_EQ(CutToWidth(u("影视盒"), 6), u("影视盒"));
    EXPECT_EQ(CutToWidth(u("影视盒a"), 7), u("影视盒a"));
    EXPECT_EQ(CutToWidth(u("影视盒a"), 6), u("影视盒"));
    // U+00B7 and U+00E4 are two bytes in GBK; U+20AC is one.
    EXPECT_EQ(CutToWidth(u("··········"), 9), u("····"));
    EXPECT_EQ(CutToWidth(u("x"), 0), "");
    EXPECT_EQ(CutToWidth(u("xyz"), -4), "");
    // A character outside the BMP is never cut in half.
    const QString clapper = u("\xF0\x9F\x8E\xAC");
    EXPECT_EQ(CutToWidth(clapper + clapper + clapper, 3).size() % 2, 0);
}

TEST(AppSystemServices, TextBetween) {
    const QString line = "<Path>/srv/cache/</Path><x>";
    EXPECT_EQ(TextBetween(line, "<Path>", "</Path>", 1), "<Path>/srv/cache/</Path>");
    EXPECT_EQ(TextBetween(line, "<Path>", "</Path>", 2), "/srv/cache/");
    EXPECT_EQ(TextBetween("<Path>/srv", "<Path>", "</Path>", 2), "");
    EXPECT_EQ(TextBetween(line, "<path>", "</Path>", 2), "") << "case-sensitive";
    EXPECT_EQ(TextBetween(line, "<Path>", "</Path>", 3), "");
    // The end marker is searched at or after the start (mode 1), after it (mode 2).
    EXPECT_EQ(TextBetween("xAAy", "A", "A", 1), "A");
    EXPECT_EQ(TextBetween("xAAy", "A", "A", 2), "");
    EXPECT_EQ(TextBetween("a]b[c]d", "[", "]", 2), "c");
}

TEST(AppSystemServices, ListFolderFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"b.rmvb", "a.mkv", "noext", ".hidden.mkv", "c.MKV"}) {
        QFile f(dir.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub.mkv"));

    QStringList list{"stale"};
    EXPECT_TRUE(ListFolderFiles(dir.path(), "*.*", list));
    EXPECT_EQ(list, (QStringList{"a.mkv", "b.rmvb", "c.MKV", "noext"}));
    EXPECT_TRUE(ListFolderFiles(dir.path() + "/", "*.mkv", list));
    EXPECT_EQ(list, (QStringList{"a.mkv", "c.MKV"}));

    list = QStringList{"kept"};
    EXPECT_FALSE(ListFolderFiles(dir.path(), "*.avi", list));
    EXPECT_FALSE(ListFolderFiles(dir.filePath("missing"), "*.*", list));
    EXPECT_FALSE(ListFolderFiles("", "*.*", list));
    EXPECT_EQ(list, QStringList{"kept"});
}

TEST(AppSystemServices, MacAddressFromTheFirstAdapterOnly) {
    EXPECT_EQ(GetMacAddress(FakeAdapters({"0a:1b:2c:3d:4e:5f", "11:22:33:44:55:66"})), "0A-1B-2C-3D-4E-5F");
    EXPECT_EQ(GetMacAddress(FakeAdapters({})), "");
    EXPECT_EQ(GetMacAddress(FakeAdapters({"", "11:22:33:44:55:66"})), "");
    EXPECT_EQ(GetMacAddress(FakeAdapters({"00:00:00:00:00:00", "11:22:33:44:55:66"})), "");
    EXPECT_EQ(GetMacAddress(FakeAdapters({"00:53:45:00:00:00"})), "");
    // The real adapters give either nothing or one well-formed address.
    const QString own = GetMacAddress();
    if (!own.isEmpty()) {
        EXPECT_TRUE(QRegularExpression("^([0-9A-F]{2}-){5}[0-9A-F]{2}$").match(own).hasMatch()) << own.toStdString();
    }
}

TEST(AppSystemServices, UserIdIsTheMomentAndANumberRunTogether) {
    EXPECT_EQ(MakeUserId(QDateTime(QDate(2011, 8, 5), QTime(9, 7, 3)), 412), "201185973412");
    EXPECT_EQ(MakeUserId(QDateTime(QDate(2011, 12, 25), QTime(23, 59, 58)), 999), "20111225235958999");
    for (int i = 0; i < 20; ++i) {
        const QString id = MakeRandomUserId();
        EXPECT_TRUE(QRegularExpression("^20[0-9]{10,15}$").match(id).hasMatch()) << id.toStdString();
        const int tail = id.right(3).toInt();
        EXPECT_GE(tail, 100);
        EXPECT_LE(tail, 999);
    }
}
