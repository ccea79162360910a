// Where an installed, a built and a portable program keep their files.
#include "app/program_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using qarvel::chooseProgramFolder;
using qarvel::isInstalledFolder;

namespace {

// Sets XDG_DATA_HOME (a null value unsets it) for one test and puts the old value back.
struct DataHome {
    explicit DataHome(const QByteArray& value)
        : old_(qgetenv("XDG_DATA_HOME")), had_(qEnvironmentVariableIsSet("XDG_DATA_HOME")) {
        if (value.isNull()) qunsetenv("XDG_DATA_HOME");
        else qputenv("XDG_DATA_HOME", value);
    }
    ~DataHome() {
        if (had_) qputenv("XDG_DATA_HOME", old_);
        else qunsetenv("XDG_DATA_HOME");
    }
    QByteArray old_;
    bool had_;
};

// prefix/bin, with the launcher entry in prefix/share/applications when installed.
QString makeBin(const QTemporaryDir& prefix, bool installed) {
    QDir(prefix.path()).mkpath(QStringLiteral("bin"));
    if (installed) {
        QDir(prefix.path()).mkpath(QStringLiteral("share/applications"));
        QFile entry(prefix.path() + QStringLiteral("/share/applications/") + qarvel::kDesktopEntryName);
        EXPECT_TRUE(entry.open(QIODevice::WriteOnly));
    }
    return prefix.path() + QStringLiteral("/bin");
}

}  // namespace

TEST(ProgramFolder, GivenFolderWinsAndIsMadeAbsolute) {
    QTemporaryDir prefix;
    const QString bin = makeBin(prefix, true);
    EXPECT_EQ(chooseProgramFolder(QStringLiteral("/tmp/x/../given/"), bin), QStringLiteral("/tmp/given"));
    EXPECT_EQ(chooseProgramFolder(QStringLiteral("rel"), bin), QDir::current().absoluteFilePath(QStringLiteral("rel")));
}

TEST(ProgramFolder, WritableBuildOrPortableFolderIsKept) {
    QTemporaryDir build;
    DataHome data("/tmp/elsewhere");
    EXPECT_EQ(chooseProgramFolder({}, build.path()), QDir::cleanPath(build.path()));
    // A bin/ folder without the launcher entry beside it is a portable copy.
    QTemporaryDir prefix;
    const QString bin = makeBin(prefix, false);
    EXPECT_FALSE(isInstalledFolder(bin));
    EXPECT_EQ(chooseProgramFolder({}, bin), bin);
}

TEST(ProgramFolder, InstalledProgramUsesTheUsersDataFolder) {
    QTemporaryDir prefix;
    const QString bin = makeBin(prefix, true);
    ASSERT_TRUE(isInstalledFolder(bin));
    {
        DataHome data("/tmp/xdg-data");
        EXPECT_EQ(chooseProgramFolder({}, bin), QStringLiteral("/tmp/xdg-data/qarvel"));
    }
    {
        // Unset: ~/.local/share.
        DataHome data(QByteArray{});
        EXPECT_EQ(chooseProgramFolder({}, bin), QDir::homePath() + QStringLiteral("/.local/share/qarvel"));
    }
}

TEST(ProgramFolder, UnwritableFolderUsesTheUsersDataFolder) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes everywhere";
    QTemporaryDir folder;
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
    DataHome data("/tmp/xdg-data");
    EXPECT_EQ(chooseProgramFolder({}, folder.path()), QStringLiteral("/tmp/xdg-data/qarvel"));
    EXPECT_EQ(chooseProgramFolder({}, folder.path() + QStringLiteral("/missing")),
              QStringLiteral("/tmp/xdg-data/qarvel"));
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
