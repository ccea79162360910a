// Text from the service and from files shows as it is, never as markup; Qt's
// own texts are Chinese and each message box sits over its window; what the
// program writes is the user's alone. Real message boxes, the real program.
#include "integration/play/program_harness.h"

#include "common/atomic_file.h"
#include "dialogs/settings_dialog.h"
#include "extras/online_extras.h"
#include "platform/desktop_notifications.h"
#include "records/record_store.h"
#include "support/private_bus.h"
#include "window/window_buttons.h"

#include <QAbstractButton>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDirIterator>
#include <QMessageBox>
#include <optional>
#include <sys/stat.h>

using namespace playtest;
using namespace qarvel;

namespace {

// Loading this picture reads without end: the client grew by gigabytes.
const QString kHostile = QStringLiteral("<b>9.9</b><img src=\"/dev/zero\">");

qint64 residentKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).simplified().split(' ').value(0).toLongLong();
    return -1;
}

struct SeenBox {
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* owner = nullptr;
    QString yes, no;
    qint64 residentKb = 0;
};

// Notes the next message box while it is up and presses `press`.
class BoxWatcher {
public:
    explicit BoxWatcher(QMessageBox::StandardButton press) {
        QObject::connect(&timer_, &QTimer::timeout, [this, press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            timer_.stop();
            const auto caption = [box](QMessageBox::StandardButton b) {
                return box->button(b) ? box->button(b)->text() : QString();
            };
            seen = SeenBox{box->text(),         box->textFormat(),         box->icon(),
                           box->parentWidget(), caption(QMessageBox::Yes), caption(QMessageBox::No),
                           residentKb()};
            box->button(press)->click();
        });
        timer_.start(20);
    }
    bool wait() {
        return waitUntil([this] { return seen.has_value(); });
    }
    std::optional<SeenBox> seen;

private:
    QTimer timer_;
};

}  // namespace

TEST(ServiceText, AMarkedUpVersionIsOfferedAsPlainTextAndLoadsNothing) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    service.setTextFile(ep::kUpdateControl, "0====0====0====0====0====" + kHostile.toStdString());
    qarvel::platform::QtUserDialogs boxes;
    Program p(service.baseUrl(), {}, {}, nullptr, {}, &boxes);
    ASSERT_TRUE(p.started);
    const qint64 before = residentKb();
    BoxWatcher watcher(QMessageBox::No);
    p.c().updateCheckTimer->start(10);
    ASSERT_TRUE(watcher.wait());
    EXPECT_EQ(watcher.seen->format, Qt::PlainText);
    EXPECT_TRUE(watcher.seen->text.contains(kHostile)) << watcher.seen->text.toStdString();
    EXPECT_LT(watcher.seen->residentKb - before, 200 * 1024) << "the picture was loaded";
}

TEST(ServiceText, NoticesRecordNamesAndBalloonsShowMarkupAsText) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    service.setTextFile(ep::kUpdateControl, "0====0====0====1====0====1.0");
    service.setTextFile(ep::kNoticeList, kHostile.toStdString() + "||*");
    qarvel::platform::QtUserDialogs boxes;
    Program p(service.baseUrl(), {}, {}, nullptr, {}, &boxes);
    ASSERT_TRUE(p.started);
    ASSERT_TRUE(p.catalogueShown());

    // The scrolling notice.
    p.c().updateCheckTimer->start(10);
    ASSERT_TRUE(waitUntil([&] { return p.c().noticeLines[0]->text() == kHostile; }));
    EXPECT_EQ(p.c().noticeLines[0]->textFormat(), Qt::PlainText);

    // A balloon without a tray: the notice in the window.
    p.window().tray().ShowTrayBalloon(kHostile);
    ASSERT_NE(p.window().notice(), nullptr);
    EXPECT_EQ(p.window().notice()->textFormat(), Qt::PlainText);
    EXPECT_TRUE(p.window().notice()->text().endsWith(kHostile));

    // A record's file name in the message that it is gone.
    const QString gone = QStringLiteral("/nonexistent/<img src=\"zero\">.mp4");
    ASSERT_EQ(p.application->parts().records->AddLocalRecord(QStringLiteral("<img src=\"zero\">.mp4"), gone, 0),
              qarvel::records::RecordStatus::Done);
    p.application->parts().buttons->pressWindowButton(WindowButton::LocalListTab);
    ASSERT_TRUE(waitUntil([&] {
        return bodyText(p.pane(qarvel::Pane::LocalList)).contains(QStringLiteral("<img src=\"zero\">"));
    })) << bodyText(p.pane(qarvel::Pane::LocalList)).toStdString();
    BoxWatcher watcher(QMessageBox::Ok);
    ASSERT_TRUE(clickIn(p.pane(qarvel::Pane::LocalList), QStringLiteral("a[href=\"open://1\"]")));
    ASSERT_TRUE(watcher.wait());
    EXPECT_EQ(watcher.seen->format, Qt::PlainText);
    EXPECT_EQ(watcher.seen->text, gone + QStringLiteral("不存在!"));
}

// The desktop's notification service, reading the text as markup.
class MarkupNotifications : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() == QLatin1String("GetCapabilities")) {
            connection.send(message.createReply(QStringList{QStringLiteral("body"), QStringLiteral("body-markup")}));
        } else if (message.member() == QLatin1String("Notify")) {
            texts << message.arguments().value(4).toString();
            connection.send(message.createReply(QVariant::fromValue(1u)));
        } else {
            return false;
        }
        return true;
    }
    QStringList texts;
};

TEST(ServiceText, ABalloonReachesADesktopThatReadsMarkupEscaped) {
    qarvel::test::PrivateBus bus;
    ASSERT_TRUE(bus.ok());
    // Before anything in the process opens the session bus.
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    MarkupNotifications desktop;
    QDBusConnection server = bus.connect(QStringLiteral("notifications"));
    ASSERT_TRUE(server.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &desktop));
    ASSERT_TRUE(server.registerService(QStringLiteral("org.freedesktop.Notifications")));
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    Program p(service.baseUrl());
    ASSERT_TRUE(p.started);
    p.window().tray().desktopNotice = &qarvel::platform::notifyDesktop;
    p.window().tray().ShowTrayBalloon(kHostile);
    ASSERT_TRUE(waitUntil([&] { return desktop.texts.size() == 1; }));
    EXPECT_EQ(desktop.texts[0], kHostile.toHtmlEscaped());
}

TEST(MessageBoxes, AreChineseAndSitOverTheirWindowWithTheirIcons) {
    // What main() does once the application object is there.
    app();
    qarvel::platform::useChineseQtTexts();
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    qarvel::platform::QtUserDialogs boxes;
    Program p(service.baseUrl(), {{"ts", "3"}}, {}, nullptr, {}, &boxes);
    ASSERT_TRUE(p.started);

    // The close question: no icon, Chinese buttons.
    BoxWatcher close(QMessageBox::Yes);
    QTest::mouseClick(p.c().windowButtons[WindowButton::Close], Qt::LeftButton, {}, QPoint(12, 12));
    ASSERT_TRUE(close.wait());
    EXPECT_EQ(close.seen->icon, QMessageBox::NoIcon);
    EXPECT_EQ(close.seen->owner, &p.window());
    EXPECT_TRUE(close.seen->yes.contains(QStringLiteral("是"))) << close.seen->yes.toStdString();
    EXPECT_TRUE(close.seen->no.contains(QStringLiteral("否"))) << close.seen->no.toStdString();
    EXPECT_FALSE(close.seen->yes.contains(QStringLiteral("Yes")));

    // "The latest version" carries the question mark.
    p.window().show();
    BoxWatcher latest(QMessageBox::Ok);
    p.application->parts().extras->shengji();
    ASSERT_TRUE(latest.wait());
    EXPECT_EQ(latest.seen->text, QStringLiteral("你现在使用的是最新版本，无需升级!"));
    EXPECT_EQ(latest.seen->icon, QMessageBox::Question);
    EXPECT_EQ(latest.seen->owner, &p.window());

    // The settings dialog's own message belongs to the dialog.
    p.application->parts().settingsDialog->open();
    qarvel::dialogs::SettingsWindow* w = p.application->parts().settingsDialog->window();
    ASSERT_NE(w, nullptr);
    w->cacheFolderEdit->setText(p.home.path() + QStringLiteral("/影片"));
    BoxWatcher changed(QMessageBox::Ok);
    QTest::mouseClick(w->okButton, Qt::LeftButton);
    ASSERT_TRUE(changed.wait());
    EXPECT_EQ(changed.seen->text, QStringLiteral("缓存路径修改成功！"));
    EXPECT_EQ(changed.seen->owner, w);
}

int modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

TEST(ProgramFiles, AreTheUsersAlone) {
    svc::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText();
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    // As main() makes the program folder.
    const QString home = root.filePath(QStringLiteral("a/qarvel"));
    ASSERT_TRUE(qarvel::makePrivateFolder(home));
    Program p(service.baseUrl(), {}, home);
    ASSERT_TRUE(p.started);
    ASSERT_EQ(
        p.application->parts().records->AddLocalRecord(QStringLiteral("a.mp4"), QStringLiteral("/films/a.mp4"), 5),
        qarvel::records::RecordStatus::Done);
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(p.files().terminalAddress); }));

    EXPECT_EQ(modeOf(root.filePath(QStringLiteral("a"))), 0700);
    const QString profile = p.files().browserProfile;
    QStringList checked;
    QDirIterator it(home, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        // The browser engine keeps its own files inside its folder.
        if (path.startsWith(profile + u'/')) continue;
        checked << QDir(home).relativeFilePath(path);
        EXPECT_EQ(modeOf(path), it.fileInfo().isDir() ? 0700 : 0600) << path.toStdString();
    }
    for (const QString& file :
         {p.files().settings, p.files().localRecords, p.files().networkRecords, p.files().localListPage,
          p.files().networkListPage, p.files().playerIni, p.files().terminalAddress, p.files().playerFolder, profile})
        EXPECT_TRUE(checked.contains(QDir(home).relativeFilePath(file))) << file.toStdString();
}
