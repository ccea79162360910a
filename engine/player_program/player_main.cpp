// qarvel-player --folder PLAYER_FOLDER [FILE_OR_ADDRESS]: the stand-alone
// player, a small window on the engine that plays what its command line
// names. Network films come through the download service of the player
// folder, started beside this program when it is not running.
#include "common/detached_process.h"
#include "common/logging.h"
#include "common/program_files.h"
#include "engine/mpv_player.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QVBoxLayout>
#include <QWidget>
#include <clocale>
#include <cstdio>

int main(int argc, char** argv) {
    qarvel::installLogHandler();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QStringList args = app.arguments().mid(1);
    const qsizetype at = args.indexOf(QStringLiteral("--folder"));
    if (at < 0 || at + 1 >= args.size() || !args[at + 1].startsWith(u'/')) {
        std::fprintf(stderr, "usage: qarvel-player --folder ABSOLUTE_PLAYER_FOLDER [FILE_OR_ADDRESS]\n");
        return 2;
    }
    const QString folder = args[at + 1];
    args.remove(at, 2);
    const QString target = args.value(0);

    qarvel::engine::MpvPlayer::Options options;
    // The player folder lies in the program folder, which keeps the cache.
    options.files = qarvel::ProgramFiles::inFolder(QFileInfo(QDir::cleanPath(folder)).path());
    const QString platform = QGuiApplication::platformName();
    options.videoOutput = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    const QString terminal = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("qarvel-terminal"));
    options.startTerminal = [terminal, folder] {
        qarvel::startDetachedProcess(terminal, {QStringLiteral("--folder"), folder});
    };
    qarvel::engine::MpvPlayer player(options);
    if (!player.isReady()) {
        qCCritical(qarvel::lcEngine).noquote() << player.errorText();
        return 1;
    }

    QWidget window;
    window.setWindowTitle(target.isEmpty() ? QStringLiteral("qarvel-player") : QFileInfo(target).fileName());
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(player.videoWidget());
    window.resize(640, 360);
    window.show();
    if (!target.isEmpty()) {
        player.setUrl(target);
        player.play();
    }
    return app.exec();
}
