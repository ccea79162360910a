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
        {{"a.mp4", "b.mp4"}, "only one"},
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
