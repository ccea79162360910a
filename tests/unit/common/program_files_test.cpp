// The program's files: every name joined once to the program folder.
#include "common/program_files.h"

#include <gtest/gtest.h>

using qarvel::ProgramFiles;

TEST(ProgramFiles, NamesEveryFileInTheFolder) {
    const ProgramFiles f = ProgramFiles::inFolder("/opt/影视盒");
    EXPECT_EQ(f.folder, "/opt/影视盒");
    EXPECT_EQ(f.settings, "/opt/影视盒/config.dll");
    EXPECT_EQ(f.networkRecords, "/opt/影视盒/date.dat");
    EXPECT_EQ(f.localRecords, "/opt/影视盒/date_f.dat");
    EXPECT_EQ(f.networkListPage, "/opt/影视盒/c.htm");
    EXPECT_EQ(f.localListPage, "/opt/影视盒/f.htm");
    EXPECT_EQ(f.seriesMarks, "/opt/影视盒/date_p.dat");
    EXPECT_EQ(f.listIcon, "/opt/影视盒/i.gif");
    EXPECT_EQ(f.playerFolder, "/opt/影视盒/Qvod/");
    EXPECT_EQ(f.playerIni, "/opt/影视盒/Qvod/QvodCfg.ini");
    EXPECT_EQ(f.playerXml, "/opt/影视盒/Qvod/QvodPlayer.xml");
    EXPECT_EQ(f.cacheFolder, "/opt/影视盒/Media/");
    EXPECT_EQ(f.browserProfile, "/opt/影视盒/webdata");
    EXPECT_EQ(ProgramFiles::networkRecordsName(), "date.dat");
    EXPECT_EQ(ProgramFiles::localRecordsName(), "date_f.dat");
    EXPECT_EQ(ProgramFiles::networkListPageName(), "c.htm");
    EXPECT_EQ(ProgramFiles::localListPageName(), "f.htm");
}

TEST(ProgramFiles, TrailingSeparatorsRootAndEmptyFolder) {
    EXPECT_EQ(ProgramFiles::inFolder("/home/u/box//").settings, "/home/u/box/config.dll");
    EXPECT_EQ(ProgramFiles::inFolder("/home/u/box//").folder, "/home/u/box");
    const ProgramFiles root = ProgramFiles::inFolder("/");
    EXPECT_EQ(root.folder, "/");
    EXPECT_EQ(root.playerIni, "/Qvod/QvodCfg.ini");
    // An empty folder names nothing, so nothing is written beside the working directory.
    const ProgramFiles none = ProgramFiles::inFolder("");
    EXPECT_TRUE(none.folder.isEmpty());
    EXPECT_TRUE(none.settings.isEmpty());
    EXPECT_TRUE(none.playerFolder.isEmpty());
    EXPECT_TRUE(none.browserProfile.isEmpty());
}
