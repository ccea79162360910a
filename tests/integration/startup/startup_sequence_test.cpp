#include "common/atomic_file.h"
#include "common/settings_file.h"
#include "app/application.h"
#include "app/startup_sequence.h"
#include "engine/player.h"
#include "common/text_codec.h"
#include "platform/player_component.h"
#include "platform/user_dialogs.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qarvel;

namespace {

struct FakeComponent : platform::PlayerComponent {
    bool creatable = true, fileThere = true;
    int registrations = 0;
    bool canCreate() override { return creatable; }
    bool componentFileExists() override { return fileThere; }
    void startRegistration() override { ++registrations; }
};

struct FakeDialogs : platform::UserDialogs, platform::Shell {
    bool answer = false;
    QStringList asked, informed, opened;
    bool askYesNo(const QString& title, const QString& text) override {
        asked << title + u'|' + text;
        return answer;
    }
    void inform(const QString& title, const QString& text) override { informed << title + u'|' + text; }
    QString pickFolder(const QString&, const QString&) override { return {}; }
    bool openUrl(const QString& a) override {
        opened << a;
        return true;
    }
    bool startDetached(const QString&, const QStringList&) override { return true; }
};

class StartupFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FakeComponent component;
    FakeDialogs dialogs;
    QStringList rendered;
    int windowsShown = 0;
    bool windowLoads = true;
    QString mac = QStringLiteral("0A-1B-2C-3D-4E-5F");

    StartupSequence sequence() {
        StartupEnvironment env;
        env.files = ProgramFiles::inFolder(dir.path());
        env.component = &component;
        env.dialogs = &dialogs;
        env.shell = &dialogs;
        env.macAddress = [this] { return mac; };
        env.randomUserId = [] { return QStringLiteral("20268591230412"); };
        env.renderRecordList = [this](const QString& f) {
            rendered << f;
            QFile page(dir.filePath(f == "date.dat" ? "c.htm" : "f.htm"));
            page.open(QIODevice::WriteOnly);
        };
        env.showMainWindow = [this] {
            ++windowsShown;
            return windowLoads;
        };
        return StartupSequence(env);
    }
    QString cfg() const { return dir.filePath("config.dll"); }
    QByteArray bytes(const char* name) const {
        QFile f(dir.filePath(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    void writeFile(const char* name, const QByteArray& content) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
};

}  // namespace

TEST_F(StartupFixture, FirstRunWritesTheFifteenKeysInOrderAndCreatesRecords) {
    EXPECT_EQ(sequence().run(), StartupResult::WindowShown);
    EXPECT_EQ(windowsShown, 1);

    const QByteArray raw = bytes("config.dll");
    QStringList keys;
    QString section;
    for (const QByteArray& line : raw.split('\n')) {
        const QString l = fromGbk(line).trimmed();
        if (l.startsWith('[')) section = l.mid(1, l.size() - 2);
        else if (l.contains('=')) keys << section + '/' + l;
    }
    EXPECT_EQ(keys,
              (QStringList{"main/Name=Qarvel影视盒", "User/Name=0A-1B-2C-3D-4E-5F", "Skin/Num=0", "Ver/Name=1.0",
                           "S_q/ts=3", "S_q/quit=2", "S_q/qvodk=2", "S_q/s_size=2", "S_q/h_w=14850", "S_q/h_h=9830",
                           "S_q/s_h=2", "S_q/s_bo=2", "S_q/s_jd=2", "S_q/qvodqi=2", "S_q/s_pao=2"}));
    EXPECT_TRUE(raw.contains(QByteArray("Name=Qarvel") + "\xD3\xB0\xCA\xD3\xBA\xD0" + "\r\n"));
    EXPECT_FALSE(raw.contains("\n\n")) << "lines end with CR LF";

    EXPECT_EQ(bytes("date.dat"), QByteArray("\r\n"));
    EXPECT_EQ(bytes("date_f.dat"), QByteArray("\r\n"));
    EXPECT_EQ(rendered, (QStringList{"date.dat", "date_f.dat"}));
}

TEST_F(StartupFixture, WithoutAdapterTheRandomIdIsUsed) {
    mac.clear();
    sequence().run();
    EXPECT_EQ(ReadSetting(cfg(), "User", "Name", "0"), "20268591230412");
}

TEST_F(StartupFixture, RepairPassRestoresDefaultsAndLeavesGoodValues) {
    writeFile("config.dll",
              "[User]\r\nName=0\r\n[Ver]\r\nName=2.0\r\n[Skin]\r\nNum=5\r\n"
              "[S_q]\r\nts=5\r\nquit=\r\nqvodk=1\r\nh_w=abc\r\nh_h=12000\r\ns_pao=0\r\n");
    sequence().run();
    EXPECT_EQ(ReadSetting(cfg(), "user", "name", "0"), mac);
    EXPECT_EQ(ReadSetting(cfg(), "Ver", "Name", "0"), "1.0");
    EXPECT_EQ(ReadSetting(cfg(), "Skin", "Num", "0"), "5") << "the skin index is not repaired";
    EXPECT_EQ(ReadSetting(cfg(), "S_q", "ts", "0"), "3");
    EXPECT_EQ(ReadSetting(cfg(), "S_q", "quit", "0"), "2");
    EXPECT_EQ(ReadSetting(cfg(), "S_q", "qvodk", "0"), "1");
    EXPECT_EQ(ReadSetting(cfg(), "S_q", "h_w", "0"), "14850");
    EXPECT_EQ(ReadSetting(cfg(), "S_q", "h_h", "0"), "12000");
    EXPECT_EQ(ReadSetting(cfg(), "S_q", "s_pao", "0"), "2");
    EXPECT_EQ(ReadSetting(cfg(), "S_q", "s_bo", "0"), "2") << "a missing key is written";
    EXPECT_EQ(ReadSetting(cfg(), "main", "Name", "0"), "0") << "the name stamp is first-run only";
}

TEST_F(StartupFixture, TsOneOrTwoStaysAndAnExistingIdIsKept) {
    for (const char* ts : {"1", "2"}) {
        writeFile("config.dll", QByteArray("[User]\r\nName=kept\r\n[S_q]\r\nts=") + ts + "\r\n");
        sequence().repairSettings();
        EXPECT_EQ(ReadSetting(cfg(), "S_q", "ts", "0"), ts);
        EXPECT_EQ(ReadSetting(cfg(), "User", "Name", "0"), "kept");
    }
}

TEST_F(StartupFixture, ExistingRecordsAreLeftAloneAndBothPagesAreChecked) {
    // An existing page may have been left behind by a kill between the record
    // file's rewrite and its own: it is checked too, not only a missing one.
    writeFile("date.dat", "1|t|n|a|0|0|5\r\n");
    writeFile("c.htm", "mine");
    sequence().run();
    EXPECT_EQ(bytes("date.dat"), QByteArray("1|t|n|a|0|0|5\r\n"));
    EXPECT_EQ(rendered, (QStringList{"date.dat", "date_f.dat"}));
}

TEST_F(StartupFixture, TemporaryFilesOfInterruptedWritesAreRemoved) {
    const QString t = QString::fromLatin1(kTemporaryMarker);
    const QStringList left = {"config.dll" + t + "Ab12Cd", "date.dat" + t + "zz9900", "date_f.dat" + t + "QWERTY",
                              "c.htm" + t + "a0a0a0",      "f.htm" + t + "123456",    "date_p.dat" + t + "p0p0p0"};
    // The user's own copies look like the program's files but are not its to delete.
    const QStringList mine = {"config.dll.backup", "date.dat.before", "c.htm.backup", "mine.txt" + t + "abcdef"};
    for (const QString& name : left) writeFile(qPrintable(name), "half");
    for (const QString& name : mine) writeFile(qPrintable(name), "kept");
    EXPECT_EQ(sequence().run(), StartupResult::WindowShown);
    for (const QString& name : left) EXPECT_FALSE(QFile::exists(dir.filePath(name))) << name.toStdString();
    for (const QString& name : mine) EXPECT_EQ(bytes(qPrintable(name)), QByteArray("kept")) << name.toStdString();
}

TEST_F(StartupFixture, MissingComponentOffersDownloadAndEndsWithoutWindow) {
    component.creatable = false;
    component.fileThere = false;
    dialogs.answer = true;
    EXPECT_EQ(sequence().run(), StartupResult::NoPlayerComponent);
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_TRUE(dialogs.asked[0].startsWith("提示：|程序检测到您的电脑未安装快播(Qvod)播放器"));
    EXPECT_EQ(dialogs.opened.size(), 1);
    EXPECT_TRUE(dialogs.opened[0].endsWith("index.htm"));
    EXPECT_EQ(windowsShown, 0);
    EXPECT_FALSE(QFile::exists(cfg())) << "nothing is written when the program ends at the check";
}

TEST_F(StartupFixture, UnregisteredComponentIsRepairedWithoutWaiting) {
    component.creatable = false;
    EXPECT_EQ(sequence().run(), StartupResult::WindowShown);
    EXPECT_EQ(component.registrations, 1);
    EXPECT_TRUE(dialogs.asked.isEmpty());
}

TEST_F(StartupFixture, WindowThatCannotLoadItsPlayerEndsWithTheRightMessage) {
    // A missing library: the program has to be installed again.
    windowLoads = false;
    component.fileThere = false;
    EXPECT_EQ(sequence().run(), StartupResult::DamagedComponent);
    EXPECT_TRUE(dialogs.informed.value(0).endsWith("对不起，软件组件已被损坏，请重新下载安装本软件。"));
}

// The program's own start (as main() runs it) with a player library that
// does not start: it says why and what helps, and ends unsuccessfully.
TEST_F(StartupFixture, PlayerLibraryThatDoesNotStartIsReportedWithItsReason) {
    platform::LinuxPlayerComponent library;
    Application application({.files = ProgramFiles::inFolder(dir.path()),
                             .serviceBase = QStringLiteral("http://127.0.0.1:1/box/"),
                             .makePlayer = [](QString& why) -> std::unique_ptr<engine::Player> {
                                 why = QStringLiteral("no video output available");
                                 return nullptr;
                             },
                             .dialogs = &dialogs,
                             // No browser: the window is never made.
                             .paneFactory = [](int, QWidget*) -> QWidget* { return nullptr; }});
    const StartupResult result = application.start(library, dialogs);
    EXPECT_EQ(result, StartupResult::DamagedComponent);
    EXPECT_EQ(application.window(), nullptr);
    EXPECT_EQ(dialogs.informed, QStringList({"Qarvel影视盒|播放组件（libmpv）无法启动：no video output available\n"
                                             "重新安装本程序的软件包即可解决。"}));
    EXPECT_NE(startupExitStatus(result), 0);
}

TEST(StartupSettingNumber, ConversionRules) {
    bool ok = false;
    EXPECT_EQ(qarvel::settingNumber(" 2 ", &ok), 2);
    EXPECT_TRUE(ok);
    EXPECT_EQ(qarvel::settingNumber("14850.0", &ok), 14850) << "start-up and the window read numbers alike";
    EXPECT_TRUE(ok);
    qarvel::settingNumber("", &ok);
    EXPECT_FALSE(ok);
    qarvel::settingNumber("1abc", &ok);
    EXPECT_FALSE(ok);
    qarvel::settingNumber("99999999999", &ok);
    EXPECT_FALSE(ok);
}
