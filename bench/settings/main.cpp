// bench_settings: how long the settings reads of a start take on a large
// config.dll (users' files grow with keys other programs leave behind).
//
//   bench_settings [--mb N] [--runs R]   file of N MB (default 20), R runs (default 3)
//
// Each run writes a fresh file, dated a minute back as a file from an earlier
// session is, then times the start-up repair (which reads every option) and
// the reads the window makes after it, and then one write. Medians are printed.
#include "app/startup_sequence.h"
#include "common/program_files.h"
#include "common/settings_file.h"
#include "common/text_codec.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Other programs' sections first, as in the files that were reported slow:
// every lookup has to pass them.
bool writeLargeSettings(const QString& path, qint64 bytes) {
    QByteArray text;
    const QByteArray filler = qarvel::toGbk(QStringLiteral("=第一集 星河往事 高清 1080p\r\n"));
    for (int section = 0; text.size() < bytes; ++section) {
        text += "[other" + QByteArray::number(section) + "]\r\n";
        for (int key = 0; key < 40; ++key) text += "key" + QByteArray::number(key) + filler;
    }
    text += qarvel::toGbk(QStringLiteral(
        "[main]\r\nName=Qarvel影视盒\r\n[User]\r\nName=0A-1B-2C-3D-4E-5F\r\n[Skin]\r\nNum=0\r\n[Ver]\r\nName=1.0\r\n"
        "[S_q]\r\nts=3\r\nquit=2\r\nqvodk=2\r\ns_size=2\r\nh_w=14850\r\nh_h=9830\r\ns_h=2\r\ns_bo=2\r\ns_jd=2\r\n"
        "qvodqi=2\r\ns_pao=2\r\n"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) return false;
    return f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int mb = 20;
    int runs = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QByteArray option = argv[i];
        if (option == "--mb") mb = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
    }
    std::vector<double> reads, write;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir dir;
        const qarvel::ProgramFiles files = qarvel::ProgramFiles::inFolder(dir.path());
        const QString path = files.settings;
        if (!dir.isValid() || !writeLargeSettings(path, qint64(mb) << 20)) {
            std::fprintf(stderr, "bench_settings: cannot write %s\n", qPrintable(path));
            return 1;
        }
        qarvel::StartupEnvironment env;
        env.files = files;
        QElapsedTimer timer;
        timer.start();
        qarvel::StartupSequence(env).repairSettings();
        for (const char* key : {"quit", "qvodk", "s_size", "h_w", "h_h", "s_h", "s_bo", "s_jd", "qvodqi", "s_pao"})
            qarvel::ReadSetting(path, "S_q", key, "0");
        qarvel::ReadSetting(path, "Skin", "Num", "0");
        qarvel::ReadSetting(path, "User", "Name", "0");
        qarvel::ReadSetting(path, "main", "Name", "0");
        reads.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        (void)qarvel::WriteSetting(path, "S_q", "quit", "1");
        write.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("config.dll of %d MB, %d runs (medians)\n", mb, runs);
    std::printf("  start-up reads (repair + 13 window reads): %8.1f ms\n", median(reads));
    std::printf("  one write afterwards:                      %8.1f ms\n", median(write));
    return 0;
}
