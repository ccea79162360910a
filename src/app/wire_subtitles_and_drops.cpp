#include "app/wire_subtitles_and_drops.h"

#include "app/app_parts.h"
#include "app/application.h"
#include "app/command_line.h"
#include "app/main_window/main_window.h"
#include "app/shell_commands.h"
#include "common/logging.h"
#include "engine/media_names.h"
#include "engine/mpv_player.h"
#include "platform/user_dialogs.h"
#include "playback/player_menu.h"
#include "window/window_settings.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace qarvel {

namespace {

const QString kChooseSubtitleTitle = QStringLiteral("选择字幕文件");
const QString kSubtitleFilter = QStringLiteral("字幕文件|*.srt;*.ass;*.ssa;*.vtt|所有文件|*.*");

// Takes the drags and drops of local files on any widget of one window (a
// browser pane's included, which would otherwise open the file as a page);
// everything else passes on.
class FileDrops : public QObject {
public:
    FileDrops(QWidget* window, std::function<void(const QStringList& paths)> dropped)
        : QObject(window), window_(window), dropped_(std::move(dropped)) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != window_) return false;
        auto* drop = static_cast<QDropEvent*>(event);  // drag enter and drag move events are drop events
        QStringList paths;
        if (drop->mimeData()) {
            for (const QUrl& url : drop->mimeData()->urls())
                if (url.isLocalFile()) paths << url.toLocalFile();
        }
        if (paths.isEmpty()) return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (type == QEvent::Drop) dropped_(paths);
        return true;
    }

private:
    QWidget* window_;
    std::function<void(const QStringList&)> dropped_;
};

// The first film among paths (a folder stands for its first film) plays, as
// the first file of a command line does; without one, subtitle files are
// loaded for the film that is open.
void takeDrop(Application& app, const QStringList& paths) {
    for (const QString& path : paths) {
        if (engine::isSubtitleName(path)) continue;
        QString film = path;
        if (QFileInfo(path).isDir()) {
            const QDir folder(path);
            const QString first = engine::firstFilmOf(folder.entryList(QDir::Files));
            if (first.isEmpty()) continue;
            film = folder.filePath(first);
        }
        if (!isAcceptableTarget(film)) {
            qCWarning(lcClient) << "drop: refused a name with a control character:" << visibleText(film);
            return;
        }
        if (ShellCommands* shell = app.parts().shellCommands.get()) shell->playTarget(film);
        return;
    }
    for (const QString& path : paths) {
        if (isAcceptableTarget(path) && QFileInfo(path).isFile()) app.player()->addSubtitleFile(path);
    }
}

}  // namespace

void wireSubtitlesAndDrops(Application& app, platform::UserDialogs& dialogs) {
    MainWindow& w = *app.window();
    engine::Player* player = app.player();
    if (auto* mpv = qobject_cast<engine::MpvPlayer*>(player)) {
        mpv->setHardwareDecoding(
            w.settings().read(QStringLiteral("S_q"), QStringLiteral("s_hwdec"), QStringLiteral("1")) != u"0");
    }
    app.parts().playerMenu->addSubtitles([player, &dialogs] {
        const QString path = dialogs.chooseFileToOpen(kChooseSubtitleTitle, kSubtitleFilter);
        if (!path.isEmpty() && isAcceptableTarget(path)) player->addSubtitleFile(path);
    });
    w.setAcceptDrops(true);
    new FileDrops(&w, [&app](const QStringList& paths) { takeDrop(app, paths); });
}

}  // namespace qarvel
