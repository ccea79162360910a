// Diagnostic lines: one shape with time, category and level, for the Qt parts
// through the message handler and for the Qt-free service directly.
#include "common/log_line.h"
#include "common/logging.h"
#include "service/service_log.h"

#include <gtest/gtest.h>

#include <regex>

using qarvel::formatLogLine;

namespace {

const std::regex kTime("^[0-2][0-9]:[0-5][0-9]:[0-6][0-9]\\.[0-9]{3} ");

}  // namespace

TEST(CommonLogLine, TimeCategoryLevelTextAndOneNewline) {
    const std::string line = formatLogLine("qarvel.engine", "warning", "no picture");
    EXPECT_TRUE(std::regex_search(line, kTime)) << line;
    EXPECT_EQ(line.substr(13), "qarvel.engine warning: no picture\n");
    // A text that already ends its line is not given a second newline.
    EXPECT_EQ(formatLogLine("c", "info", "done\n").substr(13), "c info: done\n");
    EXPECT_EQ(formatLogLine("c", "info", "").substr(13), "c info: \n");
}

TEST(CommonLogLine, EachPartWritesUnderItsOwnCategory) {
    EXPECT_STREQ(qarvel::lcClient().categoryName(), "qarvel.client");
    EXPECT_STREQ(qarvel::lcEngine().categoryName(), "qarvel.engine");

    qarvel::installLogHandler();
    ::testing::internal::CaptureStderr();
    qCWarning(qarvel::lcEngine, "the film %s cannot be played", "a.mp4");
    qCInfo(qarvel::lcClient) << "saved";
    qWarning("bare");
    qarvel::service::logWarning("demo clip missing");
    const std::string out = ::testing::internal::GetCapturedStderr();
    qInstallMessageHandler(nullptr);

    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(out.substr(start, end - start));
    ASSERT_EQ(lines.size(), 4u) << out;
    for (const std::string& line : lines) EXPECT_TRUE(std::regex_search(line, kTime)) << line;
    EXPECT_EQ(lines[0].substr(13), "qarvel.engine warning: the film a.mp4 cannot be played");
    EXPECT_EQ(lines[1].substr(13), "qarvel.client info: saved");
    EXPECT_EQ(lines[2].substr(13), "default warning: bare");
    EXPECT_EQ(lines[3].substr(13), "qarvel.service warning: demo clip missing");
}
