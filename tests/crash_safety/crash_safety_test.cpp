// Crash safety of every file the program rewrites: a child process rewrites
// the settings, both record files with their pages, the player configuration
// and a film's bookkeeping in a loop and is killed with SIGKILL at random
// moments. After each kill every file must be a version some write produced
// (never a torn one), and after the next start the pages must match their
// record files and no temporary file may be left.
//
// Before each write the child runs the same operation on a copy of the files
// in a shadow folder and appends the hashes of the results to a journal, so
// the parent knows every version a file may legitimately have.
//
//   crash_safety_test                      the test (QARVEL_KILL_ROUNDS kills, default 100)
//   crash_safety_test --writer ROOT SEED   the child
#include "app/startup_sequence.h"
#include "common/atomic_file.h"
#include "common/program_files.h"
#include "common/settings_file.h"
#include "engine/cache/film_index.h"
#include "engine/cache/player_config.h"
#include "records/record_store.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <unistd.h>

using namespace qarvel;
using records::RecordFile;

namespace {

// Every file the writer touches, relative to the root's program folder.
const QStringList kFiles = {"config.dll", "date.dat",         "date_f.dat",          "c.htm",
                            "f.htm",      "Qvod/QvodCfg.ini", "Qvod/QvodPlayer.xml", "Media/.qvcache/film.idx"};
const QString kFilmName = "film.mp4";

QString home(const QString& root) { return root + "/home"; }
QString shadow(const QString& root) { return root + "/shadow"; }
QString journalPath(const QString& root) { return root + "/journal"; }

// The bookkeeping's real name is hashed; the tests name it plainly.
QString indexPath(const QString& folder) {
    return engine::filmIndexPath(ProgramFiles::inFolder(folder).cacheFolder, kFilmName);
}
QString realPath(const QString& folder, const QString& relative) {
    return relative.endsWith(".idx") ? indexPath(folder) : folder + u'/' + relative;
}

QByteArray hashOf(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex(); }

QByteArray contentOf(const QString& path) { return readWholeFile(path).value_or(QByteArray("<missing>")); }

// ---- the child ---------------------------------------------------------

class Writer {
public:
    explicit Writer(const QString& root, unsigned seed) : root_(root), random_(seed) {
        journal_.setFileName(journalPath(root));
        journal_.open(QIODevice::Append | QIODevice::Unbuffered);
    }

    [[noreturn]] void run() {
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
        for (qint64 k = 1;; ++k) step(k);
    }

private:
    // Runs op on copies of files in the shadow folder, journals the hashes of
    // what it leaves, then runs it for real.
    void journalled(const QStringList& files, const std::function<void(const QString& folder)>& op) {
        for (const QString& f : files) {
            const QString to = realPath(shadow(root_), f);
            QDir().mkpath(QFileInfo(to).absolutePath());
            QFile::remove(to);
            QFile::copy(realPath(home(root_), f), to);
        }
        op(shadow(root_));
        QByteArray lines;
        for (const QString& f : files) lines += f.toUtf8() + ' ' + hashOf(contentOf(realPath(shadow(root_), f))) + '\n';
        // One write call: a kill cannot cut the entry in half.
        journal_.write(lines);
        op(home(root_));
    }

    // Each journalled operation writes each of its files once, so that every
    // version a kill can leave is journalled.
    void step(qint64 k) {
        const QString n = QString::number(k);
        journalled({"config.dll"}, [&](const QString& folder) {
            (void)WriteSetting(ProgramFiles::inFolder(folder).settings, "S_q", "n", n);
        });
        if (k % 3 == 0)
            journalled({"config.dll"}, [&](const QString& folder) {
                (void)WriteSetting(ProgramFiles::inFolder(folder).settings, "S_q", "s_size", QString::number(k % 7 + 1));
            });

        const QStringList network = {"date.dat", "c.htm"};
        records(network, [&](records::RecordStore& store) {
            (void)store.AddNetworkRecord(k % 9, "%u7B2C" + n, "e" + n, "qvod%3A//" + n, 0, k % 3, k);
        });
        // Drawn once: the shadow run and the real one must do the same.
        const qint64 networkLine = 1 + random_() % 5;
        if (k % 4 == 0)
            records(network, [&](auto& store) { (void)store.DeleteRecordLine(RecordFile::Network, networkLine); });
        if (k % 5 == 0) records(network, [&](auto& store) { (void)store.UpdateNetworkProgress((k - 1) % 9, k * 10); });

        const QStringList local = {"date_f.dat", "f.htm"};
        records(local, [&](records::RecordStore& store) {
            (void)store.AddLocalRecord("v" + n + ".mkv", "/v/" + QString::number(k % 6) + ".mkv", k);
        });
        const qint64 localLine = 1 + random_() % 4;
        if (k % 3 == 0) records(local, [&](auto& store) { (void)store.DeleteRecordLine(RecordFile::Local, localLine); });
        if (k % 7 == 0) records(local, [&](auto& store) { (void)store.ClearRecordFile(RecordFile::Local); });

        journalled({"Qvod/QvodCfg.ini", "Qvod/QvodPlayer.xml"}, [&](const QString& folder) {
            engine::writeCachePath(ProgramFiles::inFolder(folder), "/cache/" + n + "/");
        });
        journalled({"Media/.qvcache/film.idx"}, [&](const QString& folder) {
            engine::FilmIndex index{kFilmName, "qvod:" + n, 1 << 20, {}};
            index.ranges.add(0, 1000 + k);
            if (k % 2) index.ranges.add(5000, 6000 + k);
            engine::saveFilmIndex(indexPath(folder), index);
        });
    }

    void records(const QStringList& files, const std::function<void(records::RecordStore&)>& op) {
        journalled(files, [&](const QString& folder) {
            const records::ListPageWriter pages(ProgramFiles::inFolder(folder));
            records::RecordStore store(pages);
            op(store);
        });
    }

    QString root_;
    std::mt19937 random_;
    QFile journal_;
};

// ---- the parent --------------------------------------------------------

struct Counts {
    int kills = 0;
    int pagesOutOfStep = 0;  // before the next start
    int temporaryFiles = 0;  // before the next start
    qint64 writes = 0;       // journalled file versions
};

// What the next start does to these files: the steps of the start-up
// sequence and of the player that deal with them.
void nextStart(const QString& folder) {
    const ProgramFiles files = ProgramFiles::inFolder(folder);
    StartupEnvironment env;
    env.files = files;
    const records::ListPageWriter pages(files);
    env.renderRecordList = [&](const QString& name) { pages.RefreshRecordList(records::recordFileForName(name)); };
    StartupSequence startup(env);
    startup.removeInterruptedWrites();
    startup.createRecordFiles();
    startup.createListPages();
    engine::ensurePlayerConfig(files, files.cacheFolder);
    engine::removeInterruptedIndexWrites(files.cacheFolder);
}

QStringList filesUnder(const QString& folder) {
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    return found;
}

QStringList expectedFiles() {
    QStringList names;
    for (const QString& f : kFiles) names << QDir(home("/r")).relativeFilePath(realPath(home("/r"), f));
    names.sort();
    return names;
}

bool pagesMatch(const QString& folder) {
    for (const RecordFile f : {RecordFile::Network, RecordFile::Local}) {
        const ProgramFiles files = ProgramFiles::inFolder(folder);
        const auto recordBytes = readWholeFile(records::recordFilePath(files, f));
        const auto page = readWholeFile(records::pageFilePath(files, f));
        if (!recordBytes || !page || records::RenderRecordList(*recordBytes, f) != *page) return false;
    }
    return true;
}

class CrashSafety : public ::testing::Test {
protected:
    // In memory where the system has it: a kill keeps what was written either
    // way, and without the disk's syncs the writer gets through many more
    // versions between kills.
    QTemporaryDir root{QDir("/dev/shm").exists() ? "/dev/shm/qarvel-kill-XXXXXX"
                                                 : QDir::tempPath() + "/qarvel-kill-XXXXXX"};
    QHash<QString, QSet<QByteArray>> versions;  // every hash a file may have

    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        QDir().mkpath(home(root.path()));
        nextStart(home(root.path()));
        (void)WriteSetting(ProgramFiles::inFolder(home(root.path())).settings, "S_q", "n", "0");
        engine::FilmIndex index{kFilmName, "qvod:0", 1 << 20, {}};
        ASSERT_TRUE(engine::saveFilmIndex(indexPath(home(root.path())), index));
        rememberCurrentVersions();
    }

    void rememberCurrentVersions() {
        for (const QString& f : kFiles) versions[f].insert(hashOf(contentOf(realPath(home(root.path()), f))));
    }

    // Returns how many versions the journal names.
    qint64 readJournal() {
        const QByteArray journal = readWholeFile(journalPath(root.path())).value_or(QByteArray());
        qint64 entries = 0;
        for (const QByteArray& line : journal.split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() != 2) continue;
            versions[QString::fromUtf8(parts[0])].insert(parts[1]);
            ++entries;
        }
        return entries;
    }

    // Starts a writer, lets it run for a random while and kills it.
    void killOneWriter(std::mt19937& random, unsigned seed) {
        QProcess child;
        child.setProgram(QFile::symLinkTarget("/proc/self/exe"));
        child.setArguments({"--writer", root.path(), QString::number(seed)});
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start();
        ASSERT_TRUE(child.waitForStarted(10000));
        ASSERT_TRUE(child.waitForReadyRead(10000));
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
        child.kill();  // SIGKILL
        ASSERT_TRUE(child.waitForFinished(10000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << "the writer stopped by itself";
    }
};

}  // namespace

TEST_F(CrashSafety, KilledWritersLeaveOldOrNewFilesAndTheNextStartMendsPages) {
    const int rounds =
        qEnvironmentVariableIsSet("QARVEL_KILL_ROUNDS") ? qEnvironmentVariableIntValue("QARVEL_KILL_ROUNDS") : 100;
    const unsigned seed = qEnvironmentVariableIsSet("QARVEL_KILL_SEED")
                              ? unsigned(qEnvironmentVariableIntValue("QARVEL_KILL_SEED"))
                              : unsigned(std::random_device{}());
    std::mt19937 random(seed);
    Counts counts;
    const QString folder = home(root.path());
    const QStringList expected = expectedFiles();

    for (int round = 0; round < rounds; ++round) {
        killOneWriter(random, seed + unsigned(round));
        if (HasFatalFailure()) return;
        ++counts.kills;
        counts.writes = readJournal();
        for (const QString& f : kFiles) {
            const QByteArray now = contentOf(realPath(folder, f));
            ASSERT_TRUE(versions[f].contains(hashOf(now)))
                << f.toStdString() << " is no version any write produced (seed " << seed << ", round " << round
                << "):\n"
                << now.left(400).toStdString();
        }
        if (!pagesMatch(folder)) ++counts.pagesOutOfStep;
        counts.temporaryFiles += int(filesUnder(folder).size() - expected.size());

        nextStart(folder);
        ASSERT_TRUE(pagesMatch(folder)) << "after the next start (seed " << seed << ", round " << round << ")";
        ASSERT_EQ(filesUnder(folder), expected) << "seed " << seed << ", round " << round;
        rememberCurrentVersions();  // the pages the start wrote
    }
    // The loop must have got past its first writes now and then, or the
    // kills tested nothing.
    const auto settings = ReadSetting(ProgramFiles::inFolder(folder).settings, "S_q", "n", "0");
    EXPECT_NE(settings, "0");
    std::printf(
        "%d kills (seed %u) after %lld writes: pages out of step before the next start %d times, "
        "%d temporary files left\n",
        counts.kills, seed, counts.writes, counts.pagesOutOfStep, counts.temporaryFiles);
}

int main(int argc, char** argv) {
    if (argc == 4 && std::string_view(argv[1]) == "--writer")
        Writer(QString::fromLocal8Bit(argv[2]), unsigned(std::atoi(argv[3]))).run();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
