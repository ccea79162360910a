// The player's configuration files: created on first use, read in their order,
// rewritten without losing anything else, in GBK with CR LF.
#include "common/program_files.h"
#include "common/text_codec.h"
#include "engine/cache/player_config.h"
#include "engine_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qarvel::engine;
using qarvel::engine::testing::fileBytes;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class EngineConfig : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString program() const { return dir.path() + "/影视盒"; }
    qarvel::ProgramFiles files() const { return qarvel::ProgramFiles::inFolder(program()); }
    QString folder() const { return files().playerFolder; }
    QString ini() const { return folder() + "QvodCfg.ini"; }
    QString xml() const { return folder() + "QvodPlayer.xml"; }
};

}  // namespace

TEST_F(EngineConfig, FirstUseCreatesBothFilesInGbkWithCrLf) {
    EXPECT_EQ(folder(), program() + "/Qvod/");
    EXPECT_EQ(qarvel::ProgramFiles::inFolder(program() + "/").cacheFolder, program() + "/Media/");
    ASSERT_TRUE(ensurePlayerConfig(files(), files().cacheFolder));
    const QByteArray path = qarvel::toGbk(program() + "/Media/");
    EXPECT_EQ(fileBytes(ini()), "[NBQVODTERMINAL]\r\ndefaultsavepath=" + path + "\r\n");
    EXPECT_EQ(fileBytes(xml()),
              "<?xml version=\"1.0\" encoding=\"gbk\"?>\r\n<QvodPlayer>\r\n<Setting Defaultsavepath=\"" + path +
                  "\" />\r\n</QvodPlayer>\r\n");
    EXPECT_EQ(readCachePath(files(), "/fallback/"), program() + "/Media/");

    // Later starts leave existing files alone.
    writeBytes(ini(), "[NBQVODTERMINAL]\r\ndefaultsavepath=/mine/\r\n");
    ASSERT_TRUE(ensurePlayerConfig(files(), "/other/"));
    EXPECT_EQ(fileBytes(ini()), "[NBQVODTERMINAL]\r\ndefaultsavepath=/mine/\r\n");
}

TEST_F(EngineConfig, ReadsTheIniFirstThenTheXmlThenFallsBack) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    EXPECT_EQ(readCachePath(files(), "/fb/"), "/fb/");  // neither file
    EXPECT_EQ(readCachePath(qarvel::ProgramFiles{}, "/fb/"), "/fb/");

    writeBytes(xml(), "<a>\r\n<b x=\"1\" Defaultsavepath=\"" + qarvel::toGbk("/电影/") + "\" y=\"2\"/>\r\n");
    EXPECT_EQ(readCachePath(files(), "/fb/"), "/电影/");
    writeBytes(ini(), "[NBQVODTERMINAL]\r\ndefaultsavepath=0\r\n");  // "0" sends the read on to the xml
    EXPECT_EQ(readCachePath(files(), "/fb/"), "/电影/");
    writeBytes(ini(), "[nbqvodterminal]\r\nDefaultSavePath=/ini/\r\n");
    EXPECT_EQ(readCachePath(files(), "/fb/"), "/ini/");
    // A folder of another system is not a folder here.
    writeBytes(ini(), "[NBQVODTERMINAL]\r\ndefaultsavepath=C:\\Media\\\r\n");
    EXPECT_EQ(readCachePath(files(), "/fb/"), "/fb/");
}

TEST_F(EngineConfig, XmlWithoutAUsableAttributeFallsBack) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    writeBytes(xml(), "<a>\r\n<b other=\"/x/\"/>\r\n");
    EXPECT_EQ(readCachePath(files(), "/fb/"), "/fb/");
    writeBytes(xml(), "<b Defaultsavepath=/x/ />\r\n");  // no opening quotation mark
    EXPECT_EQ(readCachePath(files(), "/fb/"), "/fb/");
    writeBytes(xml(), "<b Defaultsavepath=\"/x/\r\n");  // no closing one
    EXPECT_EQ(readCachePath(files(), "/fb/"), "/fb/");
}

TEST_F(EngineConfig, WriteReplacesEveryMentionAndKeepsTheRest) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    const QByteArray original =
        "<r>\r\n<a Defaultsavepath=\"/old/\" k=\"v\"/>\n<b Defaultsavepath=\"/old/\"/>\r\n<c>/old/</c>";
    writeBytes(xml(), original);
    writeBytes(ini(), "[other]\r\nkey=1\r\n");
    ASSERT_TRUE(writeCachePath(files(), "/新/"));
    const QByteArray gbk = qarvel::toGbk("/新/");
    const QByteArray expected = "<r>\r\n<a Defaultsavepath=\"" + gbk + "\" k=\"v\"/>\r\n<b Defaultsavepath=\"" + gbk +
                                "\"/>\r\n<c>/old/</c>\r\n\r\n";
    EXPECT_EQ(fileBytes(xml()), expected);
    EXPECT_EQ(fileBytes(ini()), "[other]\r\nkey=1\r\n[NBQVODTERMINAL]\r\ndefaultsavepath=" + gbk + "\r\n");
    EXPECT_EQ(readCachePath(files(), "/fb/"), "/新/");
    // Every rewrite ends with one more line end, as the product's own files do.
    ASSERT_TRUE(writeCachePath(files(), "/新/"));
    EXPECT_EQ(fileBytes(xml()), expected + "\r\n");
}

TEST_F(EngineConfig, WriteWithoutXmlOrWithAnEmptyValueTouchesOnlyTheIni) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    ASSERT_TRUE(writeCachePath(files(), "/a/"));
    EXPECT_FALSE(QFile::exists(xml()));
    EXPECT_EQ(readCachePath(files(), "/fb/"), "/a/");
    writeBytes(xml(), "<a Defaultsavepath=\"\"/>\r\n");
    ASSERT_TRUE(writeCachePath(files(), "/b/"));
    EXPECT_EQ(fileBytes(xml()), "<a Defaultsavepath=\"\"/>\r\n");
}

TEST_F(EngineConfig, PathsThatCannotBeStoredChangeNothing) {
    ASSERT_TRUE(ensurePlayerConfig(files(), "/start/"));
    const QByteArray iniBefore = fileBytes(ini());
    const QByteArray xmlBefore = fileBytes(xml());
    const QStringList refused = {"", "/a\"b/", "/a\r\nb/", "/" + QString(QChar(0xD800)) + "/",
                                 "/" + QString(260, 'x') + "/"};
    for (const QString& path : refused) EXPECT_FALSE(writeCachePath(files(), path)) << path.left(20).toStdString();
    EXPECT_FALSE(writeCachePath(qarvel::ProgramFiles{}, "/x/"));
    EXPECT_EQ(fileBytes(ini()), iniBefore);
    EXPECT_EQ(fileBytes(xml()), xmlBefore);
}
