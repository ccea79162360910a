// The series marks file (its lines, its rewrite) and the skip of openings and
// endings against hooks that stand for the player and the window.
#include "playback/series_skip.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace qarvel::playback {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(SeriesMarks, BadLinesAreSkippedAndALaterLineWins) {
    const SeriesMarkMap marks = parseSeriesMarks(
        "1005|3|9\r\nno marks here\r\n1006|x|4\r\n|1|2\r\n-4|1|2\r\n0|1|2\r\n1007|1|2|3\r\n1008| 5|6\r\n"
        "1009|99999999999|1\r\n1002|95|2520\n1005|4|0");
    EXPECT_EQ(marks, (SeriesMarkMap{{1002, {95, 2520}}, {1005, {4, 0}}}));
    EXPECT_TRUE(parseSeriesMarks("").empty());
}

TEST(SeriesMarks, MarksRoundTripThroughTheFileWhichIsReplacedWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("date_p.dat");
    {
        SeriesMarks marks(path);
        EXPECT_TRUE(marks.setEndingStart(1005, 9));
        EXPECT_TRUE(marks.setOpeningEnd(1005, 3));
        EXPECT_TRUE(marks.setOpeningEnd(1001, 90));
        EXPECT_FALSE(marks.setOpeningEnd(0, 5));
    }
    EXPECT_EQ(readAll(path), "1001|90|0\r\n1005|3|9\r\n");
    // A link to the old file keeps the old bytes: the new ones went in beside it.
    const QString old = dir.filePath("old");
    ASSERT_EQ(::link(path.toLocal8Bit().constData(), old.toLocal8Bit().constData()), 0);
    SeriesMarks again(path);
    EXPECT_EQ(again.mark(1005), (SeriesMark{3, 9}));
    EXPECT_EQ(again.mark(1002), SeriesMark{});
    EXPECT_TRUE(again.setEndingStart(1001, 1300));
    EXPECT_EQ(readAll(old), "1001|90|0\r\n1005|3|9\r\n");
    EXPECT_EQ(readAll(path), "1001|90|1300\r\n1005|3|9\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

// The player and window as the skip sees them.
struct Film {
    int series = 1005;
    int position = 0;
    bool playing = true;
    bool resumed = false;
    QList<int> seeks;
    int nextEpisodes = 0;
    SeriesSkipHooks hooks() {
        return {.series = [this] { return series; },
                .position = [this] { return position; },
                .playing = [this] { return playing; },
                .resumed = [this] { return resumed; },
                .seek = [this](int s) { seeks << s, position = s; },
                .playNextEpisode = [this] { ++nextEpisodes; }};
    }
    void playTo(SeriesSkip& skip, int until) {
        while (position < until) {
            ++position;
            skip.tick();
        }
    }
};

TEST(SeriesSkip, LaterEpisodesSkipOpeningAndEndingUnlessResumedOrSwitchedOff) {
    QTemporaryDir dir;
    SeriesMarks marks(dir.filePath("date_p.dat"));
    Film film;
    SeriesSkip skip(marks, film.hooks());
    skip.filmStarted();
    film.playTo(skip, 3);
    EXPECT_TRUE(skip.markOpeningEnd());
    film.playTo(skip, 9);
    EXPECT_TRUE(skip.markEndingStart());
    film.playTo(skip, 12);
    // The episode the marks were set in plays on as it was.
    EXPECT_TRUE(film.seeks.isEmpty());
    EXPECT_EQ(film.nextEpisodes, 0);
    EXPECT_EQ(marks.mark(1005), (SeriesMark{3, 9}));

    // The next one starts after the opening and goes on at the ending, once.
    film.position = 0;
    skip.filmStarted();
    skip.tick();
    EXPECT_EQ(film.seeks, QList<int>{3});
    film.playTo(skip, 11);
    EXPECT_EQ(film.nextEpisodes, 1);

    // Seeking into the ending lets it play; playing into it goes on.
    film.seeks.clear();
    film.position = 0;
    skip.filmStarted();
    skip.tick();
    film.position = 10;
    skip.tick();
    film.position = 6;
    skip.tick();
    film.playTo(skip, 10);
    EXPECT_EQ(film.nextEpisodes, 2);

    // Resume wins over the opening; off, nothing is skipped; another series
    // has no marks; a single film cannot be marked.
    film.position = 0;
    film.resumed = true;
    skip.filmStarted();
    skip.tick();
    film.resumed = false;
    skip.setEnabled(false);
    film.position = 0;
    skip.filmStarted();
    film.playTo(skip, 11);
    skip.setEnabled(true);
    film.series = 1002;
    film.position = 0;
    skip.filmStarted();
    film.playTo(skip, 11);
    EXPECT_EQ(film.seeks, QList<int>{3});
    EXPECT_EQ(film.nextEpisodes, 2);
    film.series = 0;
    EXPECT_FALSE(skip.canMark());
    EXPECT_FALSE(skip.markOpeningEnd());
}

}  // namespace
}  // namespace qarvel::playback
