// List pages against hand-written expected pages.
#include "record_test_support.h"
#include "records/record_list_page.h"

#include <QDateTime>
#include <QFileInfo>

using namespace qarvel::records;
using qarvel::records::test::golden;
using qarvel::records::test::ProgramFolder;

TEST(RecordsListPage, EmptyFileGivesTheNoRecordsRow) {
    EXPECT_EQ(RenderRecordList(golden("net_empty.dat"), RecordFile::Network), golden("page_empty.htm"));
    EXPECT_EQ(RenderRecordList(QByteArray(), RecordFile::Local), golden("page_empty.htm"));
    EXPECT_EQ(RenderRecordList("a\r\nb\r\n", RecordFile::Local), golden("page_empty.htm"));
}

TEST(RecordsListPage, NetworkPageNumbersByFileLineAndEscapesTitles) {
    // Covers: an empty first line, a title with markup and Chinese text, an
    // empty title, a cut Chinese title, a title with a blank, a non-record
    // line, a cut ASCII title.
    EXPECT_EQ(RenderRecordList(golden("page_net.dat"), RecordFile::Network), golden("page_net.htm"));
}

TEST(RecordsListPage, LocalPageShowsDecodedDisplayNames) {
    EXPECT_EQ(RenderRecordList(golden("page_local.dat"), RecordFile::Local), golden("page_local.htm"));
}

TEST(RecordsListPage, MarkupInATitleNeverBecomesMarkup) {
    const QByteArray page = RenderRecordList(
        "1|%3Cscript%3Ealert%281%29%3C/script%3E%22%20onmouseover%3D%22x|n|a|0|0|0\r\n", RecordFile::Network);
    EXPECT_FALSE(page.contains("<script>alert"));
    EXPECT_FALSE(page.contains("\" onmouseover=\"x"));
    EXPECT_TRUE(
        page.contains("title=\"&lt;script&gt;alert(1)&lt;/script&gt;&quot; onmouseover=&quot;x\" href=open://1>"));
}

TEST(RecordsListPage, WriterWritesThePageAndReportsItsPath) {
    ProgramFolder folder;
    QStringList reported;
    ListPageWriter writer(qarvel::ProgramFiles::inFolder(folder.path()), [&](RecordFile f, const QString& path) {
        EXPECT_EQ(f, RecordFile::Local);
        reported << path;
    });
    // No record file: nothing is written, the old page stays, nothing reported.
    folder.put("f.htm", "old");
    EXPECT_EQ(writer.RenderRecordList(RecordFile::Local), std::nullopt);
    EXPECT_EQ(folder.read("f.htm"), QByteArray("old"));
    EXPECT_TRUE(reported.isEmpty());

    folder.put("date_f.dat", golden("page_local.dat"));
    EXPECT_EQ(writer.RenderRecordList(RecordFile::Local), folder.file("f.htm"));
    EXPECT_EQ(folder.read("f.htm"), golden("page_local.htm"));
    EXPECT_EQ(reported, QStringList{folder.file("f.htm")});
}

TEST(RecordsListPage, RefreshRewritesOnlyAPageOutOfStepWithItsRecords) {
    ProgramFolder folder;
    QStringList reported;
    ListPageWriter writer(qarvel::ProgramFiles::inFolder(folder.path()),
                          [&](RecordFile, const QString& path) { reported << path; });
    folder.put("date.dat", golden("page_net.dat"));
    // The page of an older record file: its links name other lines.
    folder.put("c.htm", RenderRecordList("1|old|n|a|0|0|0\r\n", RecordFile::Network));
    EXPECT_EQ(writer.RefreshRecordList(RecordFile::Network), folder.file("c.htm"));
    EXPECT_EQ(folder.read("c.htm"), golden("page_net.htm"));
    EXPECT_EQ(reported, QStringList{folder.file("c.htm")});

    // A page that matches is not written again.
    const QDateTime written = QFileInfo(folder.file("c.htm")).lastModified();
    const auto inode = QFileInfo(folder.file("c.htm")).fileTime(QFileDevice::FileMetadataChangeTime);
    EXPECT_EQ(writer.RefreshRecordList(RecordFile::Network), folder.file("c.htm"));
    EXPECT_EQ(QFileInfo(folder.file("c.htm")).lastModified(), written);
    EXPECT_EQ(QFileInfo(folder.file("c.htm")).fileTime(QFileDevice::FileMetadataChangeTime), inode);
    EXPECT_EQ(reported.size(), 1);

    // An empty page, which a power cut may leave of one written without
    // waiting for the disk, is made again.
    folder.put("c.htm", "");
    EXPECT_EQ(writer.RefreshRecordList(RecordFile::Network), folder.file("c.htm"));
    EXPECT_EQ(folder.read("c.htm"), golden("page_net.htm"));

    // A missing page is written.
    folder.put("date_f.dat", golden("page_local.dat"));
    EXPECT_EQ(writer.RefreshRecordList(RecordFile::Local), folder.file("f.htm"));
    EXPECT_EQ(folder.read("f.htm"), golden("page_local.htm"));
}

TEST(RecordsListPage, APageThatCannotBeWrittenIsLogged) {
    ProgramFolder folder;
    folder.put("date.dat", golden("page_net.dat"));
    ASSERT_TRUE(QDir(folder.path()).mkdir("c.htm"));  // no file can replace a folder
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& m) {
            if (type == QtWarningMsg) warnings << m;
        });
    const ListPageWriter writer(qarvel::ProgramFiles::inFolder(folder.path()));
    EXPECT_EQ(writer.RenderRecordList(RecordFile::Network), std::nullopt);
    EXPECT_EQ(writer.RefreshRecordList(RecordFile::Local), std::nullopt);
    qInstallMessageHandler(previous);
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_TRUE(warnings[0].contains(folder.file("c.htm")) && warnings[0].contains("could not be written"));
    EXPECT_TRUE(warnings[1].contains(folder.file("date_f.dat")) && warnings[1].contains("cannot be read"));
}

TEST(RecordsListPage, FileNamesMapToTheirLists) {
    EXPECT_EQ(recordFileForName("date.dat"), RecordFile::Network);
    EXPECT_EQ(recordFileForName("date_f.dat"), RecordFile::Local);
    EXPECT_EQ(recordFileForName("other.dat"), RecordFile::Local);
    EXPECT_EQ(pageFileName(RecordFile::Network), "c.htm");
    EXPECT_EQ(recordFileName(RecordFile::Local), "date_f.dat");
}
