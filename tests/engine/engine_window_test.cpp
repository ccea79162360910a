// The player made the way the program makes it: while its main window is up,
// from the event loop, with the real video widget put into that window (under
// the X server the screen tests start).
#include "engine/mpv_player.h"
#include "engine_test_support.h"

#include <QMutex>
#include "engine/video_surface.h"
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace qarvel::engine;
using namespace qarvel::engine::testing;

namespace {

// Collects Qt's warnings while it lives. A blocking call into the calling
// thread is only warned about, and then waits forever: that warning ends the
// test at once instead.
class WarningLog {
public:
    WarningLog() {
        s_current = this;
        previous_ = qInstallMessageHandler(&WarningLog::handle);
    }
    ~WarningLog() {
        qInstallMessageHandler(previous_);
        s_current = nullptr;
    }
    QStringList lines() const {
        QMutexLocker lock(&mutex_);
        return lines_;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (text.contains("Dead lock detected")) {
            std::fprintf(stderr, "%s: the call now waits forever; giving up\n", qPrintable(text));
            std::abort();
        }
        if (type != QtDebugMsg && type != QtInfoMsg && s_current) {
            QMutexLocker lock(&s_current->mutex_);
            s_current->lines_ << text;
        }
        if (s_current && s_current->previous_) s_current->previous_(type, context, text);
    }

    static inline WarningLog* s_current = nullptr;
    QtMessageHandler previous_ = nullptr;
    mutable QMutex mutex_;
    QStringList lines_;
};

}  // namespace

TEST(EngineWindow, APlayerMadeInsideAShownWindowPlaysAndStops) {
    ensureApplication();
    WarningLog log;
    QTemporaryDir dir;
    QWidget window;
    window.setWindowTitle("engine window test");
    window.resize(480, 270);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    window.show();
    ASSERT_TRUE(waitUntil([&] { return window.isVisible(); }, 5000));

    std::unique_ptr<MpvPlayer> player;
    QTimer::singleShot(0, &window, [&] {
        MpvPlayer::Options options;
        options.files = qarvel::ProgramFiles::inFolder(dir.path());
        options.audioOutput = false;
        options.fetchTiming = testFetchTiming();
        player = std::make_unique<MpvPlayer>(options);
        layout->addWidget(player->videoWidget());
    });
    ASSERT_TRUE(waitUntil([&] { return player != nullptr; }, 10000));
    ASSERT_TRUE(player->isReady()) << player->errorText().toStdString();
    // The real picture path, not the black stand-in used without a GL context.
    ASSERT_NE(qobject_cast<qarvel::engine::VideoSurface*>(player->videoWidget()), nullptr) << player->errorText().toStdString();
    EXPECT_TRUE(waitUntil([&] { return player->videoWidget()->isVisible(); }, 5000));

    QSignalSpy first(player.get(), &MpvPlayer::firstFrame);
    player->setUrl(clipPath("short.mp4"));
    player->play();
    ASSERT_TRUE(waitUntil([&] { return int(player->playState()) == 3; }, 15000))
        << int(player->playState()) << " " << player->errorText().toStdString();
    EXPECT_FALSE(first.isEmpty());
    player->stop();
    ASSERT_TRUE(waitUntil([&] { return int(player->playState()) == 1; }, 10000)) << int(player->playState());
    player.reset();
    EXPECT_EQ(layout->count(), 0);  // the video widget went with its player

    for (const QString& line : log.lines()) EXPECT_FALSE(line.contains("QThread")) << line.toStdString();
}
