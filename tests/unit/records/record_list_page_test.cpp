// List pages against hand-written expected pages.
#include "record_test_support.h"
#include "records/record_list_page.h"

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

TEST(RecordsListPage, FileNamesMapToTheirLists) {
    EXPECT_EQ(recordFileForName("date.dat"), RecordFile::Network);
    EXPECT_EQ(recordFileForName("date_f.dat"), RecordFile::Local);
    EXPECT_EQ(recordFileForName("other.dat"), RecordFile::Local);
    EXPECT_EQ(pageFileName(RecordFile::Network), "c.htm");
    EXPECT_EQ(recordFileName(RecordFile::Local), "date_f.dat");
}
