// Takes pictures of the main window against the in-process demo service, one
// per skin: the real panes, the real artwork, a quiet player.
//
//   window_screenshot OUT_DIR [TAB0] [TAB1] [SECONDS]
//
// Writes OUT_DIR/screenshot-skin0.png and OUT_DIR/screenshot-skin1.png. TAB0
// and TAB1 are the main tabs shown in each (8 catalogue, 9 player, 13 live TV,
// 14 highlights; default 8 and 9); SECONDS how long the pages get to load.
// Run it under xvfb-run.
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "window/skin_painter.h"
#include "window/window_buttons.h"
#include "common/escape_text.h"
#include "common/logging.h"
#include "quiet_player.h"
#include "records/record_store.h"
#include "resources/skin_resources.h"
#include "service/demo_service.h"
#include "web/web_environment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_screenshot OUT_DIR [TAB0] [TAB1] [SECONDS]\n");
        return 2;
    }
    qarvel::installLogHandler();
    qarvel::web::prepareWebEngineEnvironment();
    QApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int tabs[2] = {argc > 2 ? std::atoi(argv[2]) : 8, argc > 3 ? std::atoi(argv[3]) : 9};
    const int seconds = argc > 4 ? std::atoi(argv[4]) : 6;
    QDir().mkpath(out);

    qarvel::service::DemoService service;
    if (!service.start()) {
        std::fprintf(stderr, "demo service: %s\n", service.errorText().c_str());
        return 1;
    }
    QTemporaryDir home;
    const qarvel::ProgramFiles files = qarvel::ProgramFiles::inFolder(home.path());
    // The two list pages, with a few entries, as a user's folder would have them.
    {
        using namespace qarvel::records;
        ListPageWriter pages(files);
        RecordStore store(pages);
        bool stored = store.EnsureRecordFile(RecordFile::Network) && store.EnsureRecordFile(RecordFile::Local);
        const QString base = QString::fromStdString(service.baseUrl());
        const auto done = [&stored](RecordStatus status) { stored = stored && status == RecordStatus::Done; };
        done(store.AddNetworkRecord(2, qarvel::EscapeText(QStringLiteral("侠客行-风云再起")),
                                    qarvel::EscapeText(QStringLiteral("第02集")), qarvel::EscapeText(base), 1, 2, 340));
        done(store.AddNetworkRecord(1, qarvel::EscapeText(QStringLiteral("星河往事")),
                                    qarvel::EscapeText(QStringLiteral("第05集")), qarvel::EscapeText(base), 1, 5,
                                    1250));
        done(store.AddLocalRecord(QStringLiteral("旅行记录.mp4"), home.path() + QStringLiteral("/旅行记录.mp4"), 0));
        if (!stored) qCWarning(qarvel::lcClient) << "the screenshots' records could not be written";
        pages.RenderRecordList(RecordFile::Network);
        pages.RenderRecordList(RecordFile::Local);
        QFile marker(files.listIcon);
        if (marker.open(QIODevice::WriteOnly)) marker.write(qarvel::smallMarkerFileData());
    }
    qarvel::testing::QuietPlayer player;
    qarvel::Application application(qarvel::ApplicationOptions{
        .files = files, .serviceBase = QString::fromStdString(service.baseUrl()), .player = &player});
    application.showMainWindow();
    qarvel::MainWindow& window = *application.window();

    // Each picture: the skin and its tab first, then a moment for the panes
    // that just came into view to paint.
    int status = 0;
    auto prepare = [&](int skin) {
        application.parts().painter->applySkin(skin);
        application.parts().buttons->pressWindowButton(tabs[skin]);
    };
    auto shoot = [&](int skin) {
        const QString path = out + QStringLiteral("/screenshot-skin%1.png").arg(skin);
        if (!window.grabScreenshot(path)) status = 1;
        std::printf("%s\n", qPrintable(path));
    };
    QTimer::singleShot(seconds * 1000, [&] { prepare(0); });
    QTimer::singleShot(seconds * 1000 + 1500, [&] {
        shoot(0);
        prepare(1);
    });
    QTimer::singleShot(seconds * 1000 + 3000, [&] {
        shoot(1);
        app.quit();
    });
    app.exec();
    return status;
}
