// The user hears once per run and kind of file that a write failed, also of
// failures from before there was anywhere to show them; the log hears of each.
#include "state/write_failure_notice.h"

#include <QStringList>
#include <gtest/gtest.h>

using qarvel::WriteFailureNotice;
using qarvel::WriteKind;

namespace {

QStringList logged;

void keepWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg) logged << QString::fromLatin1(context.category) + u' ' + message;
}

}  // namespace

TEST(WriteFailureNotice, EachKindIsShownOnceAndEveryFailureLogged) {
    logged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepWarnings);
    WriteFailureNotice notice;
    QStringList shown;
    // Start-up's failures wait for the window.
    notice.failed(WriteKind::Settings, QStringLiteral("/p/config.dll User/Name"));
    notice.failed(WriteKind::Settings, QStringLiteral("/p/config.dll Ver/Name"));
    EXPECT_TRUE(shown.isEmpty());
    notice.setShow([&](const QString& text) { shown << text; });
    EXPECT_EQ(shown, QStringList{QStringLiteral("设置保存失败")});

    notice.failed(WriteKind::Settings, QStringLiteral("/p/config.dll Skin/Num"));
    notice.failed(WriteKind::Records, QStringLiteral("/p/date.dat"));
    notice.failed(WriteKind::Records, QStringLiteral("/p/date_f.dat"));
    qInstallMessageHandler(previous);
    EXPECT_EQ(shown, (QStringList{QStringLiteral("设置保存失败"), QStringLiteral("播放记录保存失败")}));
    ASSERT_EQ(logged.size(), 5);
    EXPECT_TRUE(logged[0].startsWith(QStringLiteral("qarvel.client ")));
    EXPECT_TRUE(logged[0].contains(QStringLiteral("User/Name")));
    EXPECT_TRUE(logged[4].contains(QStringLiteral("date_f.dat")));
}
