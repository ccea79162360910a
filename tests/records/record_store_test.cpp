// Record files: every operation against hand-written expected files.
#include "record_test_support.h"
#include "records/record_store.h"

#include <QFileInfo>

using namespace qarvel::records;
using qarvel::records::test::golden;
using qarvel::records::test::ProgramFolder;

namespace {

struct Rebuilt {
    RecordFile file;
    QString path;
};

class RecordsStore : public ::testing::Test {
protected:
    ProgramFolder folder;
    std::vector<Rebuilt> rebuilt;
    ListPageWriter pages{qarvel::ProgramFiles::inFolder(folder.path()), [this](RecordFile f, const QString& p) {
                             rebuilt.push_back({f, p});
                         }};
    RecordStore store{pages};

    QByteArray net() const { return folder.read("date.dat"); }
    QByteArray local() const { return folder.read("date_f.dat"); }
};

const QString kTitle = "%u5F71%u89C6%u76D2";
const QString kName = "%u7B2C1%u96C6";
const QString kAddress = "qvod%3A//1234%7CABCD%7C%u5F71.rmvb%7C";

}  // namespace

TEST_F(RecordsStore, AddsToTheEmptyFormAndDropsItsEmptyLineNextTime) {
    folder.put("date.dat", golden("net_empty.dat"));
    EXPECT_EQ(store.AddNetworkRecord(12, kTitle, kName, kAddress, 0, 1, 0), RecordStatus::Done);
    EXPECT_EQ(net(), golden("net_first_add.dat"));
    EXPECT_EQ(store.AddNetworkRecord(34, "Film%20B", "E2", "http%3A//h/b.mp4", 2, 3, 0), RecordStatus::Done);
    EXPECT_EQ(net(), golden("net_second_add.dat"));
    // Every add rebuilds c.htm and says where it is.
    ASSERT_EQ(rebuilt.size(), 2u);
    EXPECT_EQ(rebuilt.back().file, RecordFile::Network);
    EXPECT_EQ(rebuilt.back().path, folder.file("c.htm"));
    EXPECT_TRUE(folder.exists("c.htm"));
}

TEST_F(RecordsStore, ReaddMovesTheFilmToTheTopAndKeepsTheOrder) {
    folder.put("date.dat", golden("net_60.dat"));
    EXPECT_EQ(store.AddNetworkRecord(1057, "%u65B0", "%u96C6", "qvod%3A//new", 1, 4, 0), RecordStatus::Done);
    EXPECT_EQ(net(), golden("net_60_readd57.dat"));
}

TEST_F(RecordsStore, AddKeepsAtMostTheFirstHundredOldLines) {
    folder.put("date.dat", golden("net_130.dat"));
    EXPECT_EQ(store.AddNetworkRecord(500, "new", "e", "a", 0, 0, 0), RecordStatus::Done);
    EXPECT_EQ(net(), golden("net_130_add500.dat"));
    folder.put("date.dat", golden("net_130.dat"));
    EXPECT_EQ(store.AddNetworkRecord(50, "new", "e", "a", 0, 0, 0), RecordStatus::Done);
    EXPECT_EQ(net(), golden("net_130_add50.dat"));
}

TEST_F(RecordsStore, UpdateSkipsLinesWhoseIdIsNotANumber) {
    // A hand-edited line "abc|..." stands before the match; the position must
    // still be stored.
    folder.put("date.dat", golden("net_update_before.dat"));
    EXPECT_EQ(store.UpdateNetworkProgress(7, 1234), RecordStatus::Done);
    EXPECT_EQ(net(), golden("net_update_7.dat"));
    // Missing fields of the updated line become empty.
    folder.put("date.dat", golden("net_update_before.dat"));
    EXPECT_EQ(store.UpdateNetworkProgress(9, 60), RecordStatus::Done);
    EXPECT_EQ(net(), golden("net_update_9.dat"));
}

TEST_F(RecordsStore, UpdateRebuildsThePageOnlyWhenLinesMoved) {
    folder.put("date.dat", golden("net_second_add.dat"));
    EXPECT_EQ(store.UpdateNetworkProgress(12, 77), RecordStatus::Done);
    EXPECT_TRUE(rebuilt.empty()) << "positions are not on the page";
    EXPECT_TRUE(net().startsWith("34|"));
    EXPECT_TRUE(net().endsWith("|0|1|77\r\n"));

    // Dropping the empty line 2 shifts line 3 to 2: the links must follow.
    folder.put("date.dat", golden("net_update_before.dat"));
    EXPECT_EQ(store.UpdateNetworkProgress(8, 1), RecordStatus::Done);
    ASSERT_EQ(rebuilt.size(), 1u);
    EXPECT_TRUE(folder.read("c.htm").contains("href=open://2>"));
}

TEST_F(RecordsStore, UpdateOfAnUnknownRecordChangesNothing) {
    folder.put("date.dat", golden("net_update_before.dat"));
    EXPECT_EQ(store.UpdateNetworkProgress(404, 1), RecordStatus::NoSuchRecord);
    EXPECT_EQ(net(), golden("net_update_before.dat"));
    folder.put("date_f.dat", golden("local_before.dat"));
    EXPECT_EQ(store.UpdateLocalProgress("/nowhere", 1), RecordStatus::NoSuchRecord);
    EXPECT_EQ(local(), golden("local_before.dat"));
}

TEST_F(RecordsStore, DeleteKeepsNonRecordLinesAndFoldsTheEnd) {
    folder.put("date.dat", golden("net_delete_before.dat"));
    EXPECT_EQ(store.DeleteRecordLine(RecordFile::Network, 3), RecordStatus::Done);
    EXPECT_EQ(net(), golden("net_delete_3.dat"));
    ASSERT_EQ(rebuilt.size(), 1u);

    // Deleting the only record of "record, empty line" leaves the empty form.
    folder.put("date.dat", golden("net_first_add.dat"));
    EXPECT_EQ(store.DeleteRecordLine(RecordFile::Network, 1), RecordStatus::Done);
    EXPECT_EQ(net(), golden("net_empty.dat"));

    // Only a trailing empty line is dropped with it, never a record.
    folder.put("date.dat", "1|a\r\n2|b\r\n\r\n\r\n");
    EXPECT_EQ(store.DeleteRecordLine(RecordFile::Network, 1), RecordStatus::Done);
    EXPECT_EQ(net(), QByteArray("2|b\r\n\r\n"));
}

TEST_F(RecordsStore, DeleteOfAMissingLineChangesNothing) {
    folder.put("date.dat", golden("net_delete_before.dat"));
    for (qint64 n : {0LL, -1LL, 5LL, 1LL << 40}) {
        EXPECT_EQ(store.DeleteRecordLine(RecordFile::Network, n), RecordStatus::NoSuchLine) << n;
    }
    EXPECT_EQ(net(), golden("net_delete_before.dat"));
    EXPECT_TRUE(rebuilt.empty());
}

TEST_F(RecordsStore, LocalFilesAreKeyedByTheExactPath) {
    folder.put("date_f.dat", golden("local_before.dat"));
    // Differs from "/home/u/A.avi" only in case: a record of its own.
    EXPECT_EQ(store.AddLocalRecord("a.avi", "/home/u/a.avi", 0), RecordStatus::Done);
    EXPECT_EQ(local(), golden("local_add_lowercase.dat"));
    ASSERT_EQ(rebuilt.size(), 1u);
    EXPECT_EQ(rebuilt.back().path, folder.file("f.htm"));

    folder.put("date_f.dat", golden("local_before.dat"));
    EXPECT_EQ(store.AddLocalRecord(QString::fromUtf8("电影.mkv"), QString::fromUtf8("/home/u/电影.mkv"), 0),
              RecordStatus::Done);
    EXPECT_EQ(local(), golden("local_readd.dat"));

    folder.put("date_f.dat", golden("local_before.dat"));
    EXPECT_EQ(store.UpdateLocalProgress(QString::fromUtf8("/home/u/电影.mkv"), 99), RecordStatus::Done);
    EXPECT_EQ(local(), golden("local_update.dat"));
}

TEST_F(RecordsStore, RefuseTextsThatWouldBreakTheLine) {
    folder.put("date_f.dat", golden("local_before.dat"));
    folder.put("date.dat", golden("net_empty.dat"));
    EXPECT_EQ(store.AddLocalRecord("x|y.mkv", "/m/x|y.mkv", 0), RecordStatus::InvalidRecord);
    EXPECT_EQ(store.AddLocalRecord("a\nb.mkv", "/m/a\nb.mkv", 0), RecordStatus::InvalidRecord);
    EXPECT_EQ(store.AddNetworkRecord(1, "t|x", "n", "a", 0, 0, 0), RecordStatus::InvalidRecord);
    EXPECT_EQ(store.AddNetworkRecord(1, "t", "n\r", "a", 0, 0, 0), RecordStatus::InvalidRecord);
    EXPECT_EQ(local(), golden("local_before.dat"));
    EXPECT_EQ(net(), golden("net_empty.dat"));
    EXPECT_TRUE(rebuilt.empty());
}

TEST_F(RecordsStore, MissingFilesFailWithoutCreatingAnything) {
    EXPECT_EQ(store.AddNetworkRecord(1, "t", "n", "a", 0, 0, 0), RecordStatus::FileMissing);
    EXPECT_EQ(store.UpdateNetworkProgress(1, 5), RecordStatus::FileMissing);
    EXPECT_EQ(store.AddLocalRecord("n", "/p", 0), RecordStatus::FileMissing);
    EXPECT_EQ(store.DeleteRecordLine(RecordFile::Local, 1), RecordStatus::FileMissing);
    EXPECT_EQ(store.ClearRecordFile(RecordFile::Network), RecordStatus::FileMissing);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_TRUE(rebuilt.empty());
}

TEST_F(RecordsStore, ClearLeavesOneEmptyLineAndRebuildsThePage) {
    folder.put("date_f.dat", golden("local_before.dat"));
    EXPECT_EQ(store.ClearRecordFile(RecordFile::Local), RecordStatus::Done);
    EXPECT_EQ(local(), QByteArray("\r\n"));
    EXPECT_EQ(folder.read("f.htm"), golden("page_empty.htm"));
}

TEST_F(RecordsStore, ReadLineAndCreateMissingFiles) {
    EXPECT_TRUE(store.EnsureRecordFile(RecordFile::Network));
    EXPECT_EQ(net(), QByteArray("\r\n"));
    folder.put("date_f.dat", golden("local_before.dat"));
    EXPECT_TRUE(store.EnsureRecordFile(RecordFile::Local));
    EXPECT_EQ(local(), golden("local_before.dat")) << "an existing file is left alone";

    EXPECT_EQ(store.ReadRecordLine(RecordFile::Local, 1), QString::fromUtf8("电影.mkv|/home/u/电影.mkv|30"));
    EXPECT_EQ(store.ReadRecordLine(RecordFile::Local, 3), "");
    EXPECT_EQ(store.ReadRecordLine(RecordFile::Local, 0), "");
}

TEST_F(RecordsStore, SplitFieldsAfterDecoding) {
    // "\x95\x7c" is one GBK character whose second byte is the byte of "|".
    const QByteArray line =
        "a\x95\x7c"
        "b|/p|3";
    EXPECT_EQ(splitRecordLine(line).size(), 3);
    EXPECT_FALSE(
        isRecordLine("x\x95\x7c"
                     "y"));
    folder.put("date_f.dat", QByteArray("x\x95\x7c"
                                        "y\r\n") +
                                 line + "\r\n");
    EXPECT_EQ(store.UpdateLocalProgress("/p", 8), RecordStatus::Done);
    EXPECT_EQ(local(), QByteArray("a\x95\x7c"
                                  "b|/p|8\r\n"));
}
