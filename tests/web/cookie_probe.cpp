// web_cookie_probe HOME URL: starts the engine as the client does, loads URL
// in a pane of the program's profile under HOME, prints the page's text and
// ends the way the client ends. The profile test runs it twice on one HOME.
#include "common/logging.h"
#include "web/web_environment.h"
#include "web/web_pane.h"

#include <QApplication>
#include <QTimer>
#include <QWebEnginePage>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: web_cookie_probe HOME URL\n");
        return 2;
    }
    qarvel::installLogHandler();
    qarvel::web::prepareWebEngineEnvironment();
    QApplication app(argc, argv);
    int status = 1;
    {
        auto pane = std::make_unique<qarvel::web::WebPane>(
            nullptr, qarvel::web::createSharedProfile(qarvel::ProgramFiles::inFolder(argv[1])));
        QObject::connect(pane.get(), &qarvel::web::WebPane::downloadComplete, &app, [&] {
            pane->page()->toPlainText([&](const QString& text) {
                std::printf("%s\n", qPrintable(text));
                status = 0;
                app.quit();
            });
        });
        QTimer::singleShot(20000, &app, &QApplication::quit);
        pane->navigate(QString::fromLocal8Bit(argv[2]));
        app.exec();
    }
    qarvel::web::releaseSharedProfile();
    return status;
}
