// The program's files: every name joined once to the program folder.
#include "common/program_files.h"

#include <gtest/gtest.h>
#include <utility>

using qarvel::ProgramFiles;

TEST(ProgramFiles, StoredFilesKeepTheirNamesInTheFolder) {
    const ProgramFiles f = ProgramFiles::inFolder("/opt/影视盒");
    EXPECT_EQ(f.folder, "/opt/影视盒");
    EXPECT_EQ(f.settings, "/opt/影视盒/config.dll");
    EXPECT_EQ(f.networkRecords, "/opt/影视盒/date.dat");
    EXPECT_EQ(f.localRecords, "/opt/影视盒/date_f.dat");
    EXPECT_EQ(f.seriesMarks, "/opt/影视盒/date_p.dat");
    EXPECT_EQ(f.playerIni, "/opt/影视盒/Qvod/QvodCfg.ini");
    // The bare names, used where the folder is known elsewhere, are the same files.
    for (auto [path, name] : {std::pair{f.networkRecords, ProgramFiles::networkRecordsName()},
                              {f.localRecords, ProgramFiles::localRecordsName()},
                              {f.networkListPage, ProgramFiles::networkListPageName()},
                              {f.localListPage, ProgramFiles::localListPageName()}})
        EXPECT_EQ(path, f.folder + "/" + name);
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
