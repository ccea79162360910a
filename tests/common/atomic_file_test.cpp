// All-or-nothing rewrites: the bytes land whole, and a failure says why and
// leaves nothing behind.
#include "common/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using qarvel::readWholeFile;
using qarvel::writeFileAtomically;

TEST(CommonAtomicFile, RewritesWholeAndLeavesOnlyTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.dat");
    QString why = "untouched";
    ASSERT_TRUE(writeFileAtomically(path, "old", &why));
    ASSERT_TRUE(writeFileAtomically(path, "new\r\n", &why));
    EXPECT_EQ(readWholeFile(path), QByteArray("new\r\n"));
    EXPECT_EQ(why, "untouched");  // only failures fill it in
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.dat"});
}

TEST(CommonAtomicFile, FailureNamesThePlaceAndTheReason) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("plain"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("keep");
    blocker.close();
    // Under a regular file nothing can be created, also for root.
    const QString underFile = dir.filePath("plain/a.dat");
    QString why;
    EXPECT_FALSE(writeFileAtomically(underFile, "x", &why));
    EXPECT_TRUE(why.startsWith("cannot write " + underFile + ": ")) << why.toStdString();
    EXPECT_GT(why.size(), QString("cannot write " + underFile + ": ").size());
    EXPECT_FALSE(writeFileAtomically(underFile, "x"));  // the reason is optional
    // A folder where the file should be: refused, the folder kept.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    why.clear();
    EXPECT_FALSE(writeFileAtomically(dir.filePath("folder"), "x", &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
    EXPECT_EQ(readWholeFile(dir.filePath("plain")), QByteArray("keep"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plain"});
}
