#include "app/command_line.h"

#include <gtest/gtest.h>

using qarvel::parseCommandLine;

TEST(StartupCommandLine, OptionsAndOneTarget) {
    const auto cl = parseCommandLine({"--home", "/tmp/h", "--service=http://127.0.0.1:9/box", "/films/a b.mp4"});
    EXPECT_TRUE(cl.error.isEmpty()) << cl.error.toStdString();
    EXPECT_EQ(cl.home, "/tmp/h");
    EXPECT_EQ(cl.service, "http://127.0.0.1:9/box/");  // the base always ends with a slash
    EXPECT_EQ(cl.playTarget, "/films/a b.mp4");
    EXPECT_FALSE(cl.demo);
}

TEST(StartupCommandLine, EnvironmentHomeIsOverriddenByOption) {
    EXPECT_EQ(parseCommandLine({}, "/env").home, "/env");
    EXPECT_EQ(parseCommandLine({"--home", "/opt"}, "/env").home, "/opt");
}

TEST(StartupCommandLine, BadInputGivesAClearError) {
    struct Case {
        QStringList args;
        const char* mentions;
    };
    const Case cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"--home"}, "--home"},
        {{"--home="}, "--home"},
        {{"--service", "ftp://x/box/"}, "http"},
        {{"--service", "not a url"}, "http"},
        {{"--quit-after", "soon"}, "--quit-after"},
        {{"--demo", "--service", "http://h/box/"}, "--demo"},
    };
    for (const Case& c : cases) {
        const auto cl = parseCommandLine(c.args);
        EXPECT_TRUE(cl.error.contains(QLatin1String(c.mentions)))
            << c.args.join(' ').toStdString() << " -> " << cl.error.toStdString();
    }
}

TEST(StartupCommandLine, DoubleDashEndsOptions) {
    const auto cl = parseCommandLine({"--", "--odd-name.mp4"});
    EXPECT_TRUE(cl.error.isEmpty());
    EXPECT_EQ(cl.playTarget, "--odd-name.mp4");
}

TEST(StartupCommandLine, WordsReadTheWayTheyAlwaysWere) {
    // A single-dash word is a file name, not an option.
    EXPECT_EQ(parseCommandLine({"-x.mp4"}).playTarget, "-x.mp4");
    // A switch given a value is still the switch.
    EXPECT_TRUE(parseCommandLine({"--demo=1"}).demo);
    // An option's value is the next word, whatever it looks like.
    EXPECT_EQ(parseCommandLine({"--home", "--help"}).home, "--help");
    EXPECT_FALSE(parseCommandLine({"--home", "--help"}).help);
    EXPECT_EQ(parseCommandLine({"--home", "--"}).home, "--");
    // A repeated option keeps its last value, but every value is checked.
    EXPECT_EQ(parseCommandLine({"--quit-after", "5", "--quit-after=7"}).quitAfterMs, 7);
    EXPECT_TRUE(parseCommandLine({"--quit-after", "soon", "--quit-after=7"}).error.contains("soon"));
    // Empty words are skipped as targets. Several files (a file manager's
    // "open with"): the first plays, the rest are named and left.
    EXPECT_EQ(parseCommandLine({"", "a.mp4"}).playTarget, "a.mp4");
    const auto several = parseCommandLine({"a.mp4", "", "b.mp4", "c d.mp4"});
    EXPECT_TRUE(several.error.isEmpty());
    EXPECT_EQ(several.playTarget, "a.mp4");
    EXPECT_EQ(several.leftTargets, QStringList({"b.mp4", "c d.mp4"}));
    // The exact messages the user sees.
    EXPECT_EQ(parseCommandLine({"--bogus=1"}).error, "unknown option --bogus");
    EXPECT_EQ(parseCommandLine({"--=x"}).error, "unknown option --");
    EXPECT_EQ(parseCommandLine({"--screenshot"}).error, "option --screenshot needs a value");
}

TEST(StartupCommandLine, ControlCharactersAreRefusedWhereverAPathOrAddressComes) {
    const QString nul = QStringLiteral("a") + QChar(0) + QStringLiteral("b.mp4");
    EXPECT_EQ(parseCommandLine({nul}).error, "the file or address holds a control character: \"a\\x00b.mp4\"");
    EXPECT_FALSE(parseCommandLine({"a.mp4", "b\x1b.mp4"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"--home", "/h\n"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"--service", "http://h/box/\t"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({"--screenshot=/s\x7f.png"}).error.isEmpty());
    EXPECT_FALSE(parseCommandLine({}, "/env\r").error.isEmpty());
    EXPECT_FALSE(parseCommandLine({QStringLiteral("a\u0085.mp4")}).error.isEmpty());  // C1 control too
    EXPECT_TRUE(qarvel::isAcceptableTarget(QStringLiteral("/影片/a b|c.mp4")));
}

TEST(StartupCommandLine, RelativeFilesAreNamedInFullAndAddressesLeftAsGiven) {
    EXPECT_EQ(qarvel::absoluteTarget("film.mp4", "/home/u"), "/home/u/film.mp4");
    EXPECT_EQ(qarvel::absoluteTarget("../b/./c.mp4", "/home/u"), "/home/b/c.mp4");
    EXPECT_EQ(qarvel::absoluteTarget("/x/a.mp4", "/home/u"), "/x/a.mp4");
    EXPECT_EQ(qarvel::absoluteTarget("http://h/a.mp4", "/home/u"), "http://h/a.mp4");
    EXPECT_EQ(qarvel::absoluteTarget("", "/home/u"), "");
    EXPECT_EQ(qarvel::absoluteTarget("a:b.mp4", "/home/u"), "/home/u/a:b.mp4");
    EXPECT_EQ(qarvel::absoluteTarget(":b.mp4", "/home/u"), "/home/u/:b.mp4");
}
