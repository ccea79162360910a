// Settings file: the profile-string rules on bytes, and the file round trip.
#include "common/atomic_file.h"
#include "common/ini_document.h"
#include "common/settings_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using qarvel::IniDocument;
using qarvel::ReadSetting;
using qarvel::WriteSetting;
using qarvel::SettingValue;
using qarvel::WriteSettings;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void putFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(AppIniDocument, ReadsNamesWithoutRegardToCase) {
    const IniDocument doc(QByteArray("[User]\r\nName=AB-CD\r\n[S_q]\r\nQuit=1\r\n"));
    EXPECT_EQ(doc.readString("user", "name", "0"), "AB-CD");
    EXPECT_EQ(doc.readString("USER", "NAME", "0"), "AB-CD");
    EXPECT_EQ(doc.readString("s_q", "quit", "0"), "1");
}

TEST(AppIniDocument, MissingKeyGivesDefaultButEmptyValueGivesEmpty) {
    const IniDocument doc(QByteArray("[S_q]\r\nquit=\r\nbare\r\n;ts=1\r\n"));
    EXPECT_EQ(doc.readString("S_q", "quit", "0"), "");
    EXPECT_EQ(doc.readString("S_q", "ts", "0"), "0") << "a comment is no key";
    EXPECT_EQ(doc.readString("S_q", "bare", "0"), "0") << "a line without = holds no value";
    EXPECT_EQ(doc.readString("S_q", "absent", "0"), "0");
    EXPECT_EQ(doc.readString("Nope", "quit", "0"), "0");
    EXPECT_EQ(doc.readString("S_q", "absent", "  7  "), "7");
}

TEST(AppIniDocument, TrimsBlanksAndEnclosingQuotes) {
    const IniDocument doc(QByteArray("  [ S_q ]  \n  h_w \t=  14850 \t\nq1=\"a b\"\nq2='c'\nq3=\"d'\n"));
    EXPECT_EQ(doc.readString("S_q", "h_w", "0"), "14850");
    EXPECT_EQ(doc.readString("S_q", "q1", "0"), "a b");
    EXPECT_EQ(doc.readString("S_q", "q2", "0"), "c");
    EXPECT_EQ(doc.readString("S_q", "q3", "0"), "\"d'");
}

TEST(AppIniDocument, FirstSectionAndFirstKeyWin) {
    const IniDocument doc(QByteArray("[a]\r\nk=1\r\nk=2\r\n[b]\r\nx=9\r\n[A]\r\nk=3\r\ny=4\r\n"));
    EXPECT_EQ(doc.readString("a", "k", "0"), "1");
    // Keys of a later section with the same name are not seen.
    EXPECT_EQ(doc.readString("a", "y", "0"), "0");
    EXPECT_EQ(doc.readString("a", "x", "0"), "0") << "keys do not leak across sections";
}

TEST(AppIniDocument, ValuesAreCutToTheBufferWithoutSplittingCharacters) {
    const QByteArray longValue(300, 'x');
    IniDocument doc(QByteArray("[s]\r\nk=") + longValue + "\r\n");
    EXPECT_EQ(doc.readString("s", "k", "0"), QString(254, u'x'));

    // 200 Chinese characters are 400 GBK bytes: 127 fit in 254.
    QByteArray chinese;
    for (int i = 0; i < 200; ++i) chinese += "\xd6\xd0";
    doc = IniDocument(QByteArray("[s]\r\nk=") + chinese + "\r\n");
    EXPECT_EQ(doc.readString("s", "k", "0"), QString(127, QChar(0x4E2D)));

    // 253 ASCII bytes then a double-byte character: the character would end
    // at byte 255, so it is dropped whole.
    doc = IniDocument(QByteArray("[s]\r\nk=") + QByteArray(253, 'a') + "\xd6\xd0" + "\r\n");
    EXPECT_EQ(doc.readString("s", "k", "0"), QString(253, u'a'));
}

TEST(AppIniDocument, ReplacingAValueKeepsEveryOtherLineByteForByte) {
    // Odd lines on purpose: a comment, junk, GBK text, a blank line, LF-only ends.
    const QByteArray before =
        "; note\r\n[main]\r\nName=Qarvel\xd3\xb0\xca\xd3\xba\xd0\r\n\r\n[S_q]\r\n  QUIT = 1\r\njunk line\n[x]\r\nk=v";
    IniDocument doc(before);
    ASSERT_TRUE(doc.setValue("s_q", "quit", "2"));
    EXPECT_EQ(doc.toBytes(),
              QByteArray("; note\r\n[main]\r\nName=Qarvel\xd3\xb0\xca\xd3\xba\xd0\r\n\r\n[S_q]\r\nQUIT=2\r\njunk "
                         "line\r\n[x]\r\nk=v\r\n"));
}

TEST(AppIniDocument, NewKeyEndsItsSectionAndNewSectionEndsTheFile) {
    IniDocument doc(QByteArray("[a]\r\nk=1\r\n\r\n[b]\r\nm=2\r\n"));
    ASSERT_TRUE(doc.setValue("A", "new", "x"));
    ASSERT_TRUE(doc.setValue("c", "z", QString::fromUtf8(" \xe4\xb8\xad ")));
    EXPECT_EQ(doc.toBytes(), QByteArray("[a]\r\nk=1\r\nnew=x\r\n\r\n[b]\r\nm=2\r\n[c]\r\nz=\xd6\xd0\r\n"));
}

TEST(AppIniDocument, RefusesTextThatWouldNotReadBack) {
    const QByteArray before("[a]\r\nk=1\r\n");
    IniDocument doc(before);
    EXPECT_FALSE(doc.setValue("a", "k", "1\r\n[evil]"));
    EXPECT_FALSE(doc.setValue("a", "k=j", "1"));
    EXPECT_FALSE(doc.setValue("a]b", "k", "1"));
    EXPECT_FALSE(doc.setValue("a", "", "1"));
    EXPECT_FALSE(doc.setValue(" ", "k", "1"));
    EXPECT_FALSE(doc.setValue("a", "[k", "1"));
    EXPECT_EQ(doc.toBytes(), before);
}

TEST(AppSettingsFile, FirstRunWritesExactlyTheseBytesOneKeyAtATimeOrAllAtOnce) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("config.dll");
    const char* const writes[][3] = {{"main", "Name", "Qarvel\xe5\xbd\xb1\xe8\xa7\x86\xe7\x9b\x92"},
                                     {"User", "Name", "20118597412"},
                                     {"Skin", "Num", "0"},
                                     {"Ver", "Name", "1.0"},
                                     {"S_q", "ts", "3"},
                                     {"S_q", "quit", "2"},
                                     {"S_q", "qvodk", "2"},
                                     {"S_q", "s_size", "2"},
                                     {"S_q", "h_w", "14850"},
                                     {"S_q", "h_h", "9830"},
                                     {"S_q", "s_h", "2"},
                                     {"S_q", "s_bo", "2"},
                                     {"S_q", "s_jd", "2"},
                                     {"S_q", "qvodqi", "2"},
                                     {"S_q", "s_pao", "2"}};
    for (const auto& w : writes)
        ASSERT_TRUE(WriteSetting(path, QString::fromUtf8(w[0]), QString::fromUtf8(w[1]), QString::fromUtf8(w[2])));
    EXPECT_EQ(fileBytes(path), QByteArray("[main]\r\nName=Qarvel\xd3\xb0\xca\xd3\xba\xd0\r\n"
                                          "[User]\r\nName=20118597412\r\n"
                                          "[Skin]\r\nNum=0\r\n"
                                          "[Ver]\r\nName=1.0\r\n"
                                          "[S_q]\r\nts=3\r\nquit=2\r\nqvodk=2\r\ns_size=2\r\nh_w=14850\r\nh_h=9830\r\n"
                                          "s_h=2\r\ns_bo=2\r\ns_jd=2\r\nqvodqi=2\r\ns_pao=2\r\n"));
    EXPECT_EQ(ReadSetting(path, "main", "name", "0"), QString::fromUtf8("Qarvel\xe5\xbd\xb1\xe8\xa7\x86\xe7\x9b\x92"));
    EXPECT_EQ(ReadSetting(path, "user", "Name", "0"), "20118597412");

    // The same keys in one rewrite: the same bytes; a batch with one key
    // that cannot be stored changes nothing.
    const QString batched = dir.filePath("batched.dll");
    QList<SettingValue> values;
    for (const auto& w : writes)
        values.append({QString::fromUtf8(w[0]), QString::fromUtf8(w[1]), QString::fromUtf8(w[2])});
    ASSERT_TRUE(WriteSettings(batched, values));
    EXPECT_EQ(fileBytes(batched), fileBytes(path));
    EXPECT_FALSE(WriteSettings(batched, {{"S_q", "quit", "1"}, {"S_q", "bad=key", "1"}}));
    EXPECT_EQ(fileBytes(batched), fileBytes(path));
}

TEST(AppSettingsFile, MissingFileReadsDefaultsAndWriteLeavesNoTemporaryBehind) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("config.dll");
    EXPECT_EQ(ReadSetting(path, "S_q", "quit", "0"), "0");
    putFile(path, "[S_q]\r\nquit=1\r\n");
    ASSERT_TRUE(WriteSetting(path, "S_q", "ts", "1"));
    EXPECT_EQ(fileBytes(path), QByteArray("[S_q]\r\nquit=1\r\nts=1\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"config.dll"});
}

TEST(AppSettingsFile, UnwritablePlacesFailAndChangeNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder that cannot exist: its parent is a plain file.
    putFile(dir.filePath("plain"), "x");
    const QString impossible = dir.filePath("plain/config.dll");
    EXPECT_FALSE(WriteSetting(impossible, "S_q", "quit", "2"));
    EXPECT_EQ(ReadSetting(impossible, "S_q", "quit", "0"), "0");

    // A folder in place of the file must not be replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir("config.dll"));
    EXPECT_FALSE(WriteSetting(dir.filePath("config.dll"), "S_q", "quit", "2"));
    EXPECT_TRUE(QFileInfo(dir.filePath("config.dll")).isDir());
}

TEST(AppSettingsFile, ReadOnlyFolderRefusesWrites) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("config.dll");
    putFile(path, "[S_q]\r\nquit=1\r\n");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(WriteSetting(path, "S_q", "quit", "2"));
    EXPECT_EQ(ReadSetting(path, "S_q", "quit", "0"), "1");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(AppSettingsFile, ChangesByOthersAreSeenByTheNextRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("config.dll");
    putFile(path, "[S_q]\r\nquit=1\r\n");
    EXPECT_EQ(ReadSetting(path, "S_q", "quit", "0"), "1");

    // Rewritten in place with the same size, as an editor may do: only the
    // modification time tells.
    putFile(path, "[S_q]\r\nquit=2\r\n");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    f.close();
    EXPECT_EQ(ReadSetting(path, "S_q", "quit", "0"), "2");

    // Replaced by another file (what every write of ours does).
    putFile(dir.filePath("other"), "[S_q]\r\nquit=3\r\n");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(dir.filePath("other"), path));
    EXPECT_EQ(ReadSetting(path, "S_q", "quit", "0"), "3");
    ASSERT_TRUE(WriteSetting(path, "S_q", "ts", "1"));
    EXPECT_EQ(fileBytes(path), QByteArray("[S_q]\r\nquit=3\r\nts=1\r\n"));

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(ReadSetting(path, "S_q", "quit", "0"), "0");
    ASSERT_TRUE(WriteSetting(path, "S_q", "ts", "2"));
    EXPECT_EQ(fileBytes(path), QByteArray("[S_q]\r\nts=2\r\n")) << "no key of the removed file comes back";
}

TEST(AppAtomicFile, OnlyTheProgramsOwnLeftoversAreRemoved) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString t = QString::fromLatin1(qarvel::kTemporaryMarker);
    const QStringList left = {"config.dll" + t + "a1B2c3", "page.htm" + t + "XyZ123", "c.idx" + t + "000000"};
    // A user's copies beside the program's files are never the program's to delete.
    const QStringList kept = {"config.dll",
                              "config.dll.bak",
                              "config.dll.backup",
                              "config.dll.a1B2c3",
                              "page.htm.before",
                              "notes.txt" + t + "abcdef",
                              "c.idx",
                              "config.dll" + t + "a1B2c3d"};
    for (const QString& name : left + kept) putFile(dir.filePath(name), "x");
    EXPECT_EQ(qarvel::removeInterruptedWrites(dir.path(), {"config.dll", "*.htm", "*.idx"}), 3);
    QStringList expected = kept;
    expected.sort();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    EXPECT_EQ(qarvel::removeInterruptedWrites(dir.filePath("absent"), {"*"}), 0);
}
