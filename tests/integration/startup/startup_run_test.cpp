// Runs the real client binary in an empty program folder and checks what a
// first start leaves on disk.
#include "common/settings_file.h"
#include "common/text_codec.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int runClient(const QStringList& args, QByteArray* errors = nullptr, const QString& folder = {}) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProgram(QStringLiteral(QARVEL_CLIENT));
    p.setArguments(args);
    p.start();
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (errors) *errors = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
}

}  // namespace

TEST(StartupRun, FirstStartInAnEmptyFolder) {
    QTemporaryDir home;
    ASSERT_EQ(runClient({"--home", home.path(), "--quit-after", "3000"}), 0);

    const QString cfg = home.filePath("config.dll");
    const QByteArray raw = readAll(cfg);
    EXPECT_EQ(raw.count("\r\n"), raw.count('\n'));
    EXPECT_TRUE(raw.contains(QByteArray("Name=Qarvel\xD3\xB0\xCA\xD3\xBA\xD0\r\n")));
    int keyLines = 0;
    for (const QByteArray& line : raw.split('\n'))
        if (line.contains('=')) ++keyLines;
    // The fifteen of the first start, and the player folder the host check
    // found the download service of ("qvodw").
    EXPECT_EQ(keyLines, 16);
    EXPECT_EQ(qarvel::ReadSetting(cfg, "S_q", "qvodw", "0"), home.path() + "/Qvod/");
    const QString id = qarvel::ReadSetting(cfg, "User", "Name", "0");
    EXPECT_TRUE(QRegularExpression("^([0-9A-F]{2}-){5}[0-9A-F]{2}$|^[0-9]{12,17}$").match(id).hasMatch())
        << id.toStdString();

    EXPECT_EQ(readAll(home.filePath("date.dat")), QByteArray("\r\n"));
    EXPECT_EQ(readAll(home.filePath("date_f.dat")), QByteArray("\r\n"));
    for (const char* page : {"c.htm", "f.htm"}) {
        const QString text = qarvel::fromGbk(readAll(home.filePath(page)));
        EXPECT_TRUE(text.contains(QStringLiteral("暂无记录"))) << page;
    }
}

TEST(StartupRun, BadOptionTouchesNothing) {
    QTemporaryDir home;
    QByteArray errors;
    EXPECT_EQ(runClient({"--home", home.path(), "--frobnicate"}, &errors), 2);
    EXPECT_TRUE(errors.contains("unknown option --frobnicate"));
    EXPECT_TRUE(QDir(home.path()).isEmpty());
    // A file name with a control character in it is refused the same way.
    EXPECT_EQ(runClient({"--home", home.path(), "a\nb.mp4"}, &errors), 2);
    EXPECT_TRUE(errors.contains("holds a control character: \"a\\x0ab.mp4\"")) << errors.constData();
    EXPECT_TRUE(QDir(home.path()).isEmpty());
}

TEST(StartupRun, AFileNamedRelativelyIsRecordedByItsFullPathAndName) {
    QTemporaryDir home, films;
    QFile film(films.filePath("film.mp4"));
    ASSERT_TRUE(film.open(QIODevice::WriteOnly));
    film.close();
    ASSERT_EQ(runClient({"--home", home.path(), "--quit-after", "3000", "film.mp4"}, nullptr, films.path()), 0);
    const QString records = qarvel::fromGbk(readAll(home.filePath("date_f.dat")));
    EXPECT_TRUE(records.contains(QStringLiteral("film.mp4|") + films.filePath("film.mp4") + u'|'))
        << records.toStdString();
}
