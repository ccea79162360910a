// Pure pieces of the engine: byte ranges, range headers, addresses, state codes,
// picture and sound filters, the cache bookkeeping.
#include "common/atomic_file.h"
#include "engine/cache/film_index.h"
#include "engine/freed_memory.h"
#include "engine/cache/http_range.h"
#include "engine/cache/media_address.h"
#include "engine/media_names.h"
#include "engine/picture_sound.h"
#include "engine/play_state.h"
#include "engine/cache/range_set.h"
#include "engine/cache/transfer_meter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace qarvel::engine;

TEST(EngineRangeSet, MergesTouchingAndOverlappingRanges) {
    RangeSet set;
    set.add(100, 200);
    set.add(300, 400);
    set.add(200, 250);  // touches the first
    set.add(390, 500);  // overlaps the second
    set.add(0, 0);      // empty: ignored
    set.add(50, 40);    // reversed: ignored
    ASSERT_EQ(set.ranges().size(), 2u);
    EXPECT_EQ(set.ranges()[0], (RangeSet::Range{100, 250}));
    EXPECT_EQ(set.ranges()[1], (RangeSet::Range{300, 500}));
    set.add(0, 1000);  // swallows everything
    ASSERT_EQ(set.ranges().size(), 1u);
    EXPECT_EQ(set.coveredBytes(), 1000);
}

TEST(EngineRangeSet, AnswersWhatIsThereFromAnOffset) {
    RangeSet set;
    set.add(10, 20);
    set.add(30, 40);
    EXPECT_EQ(set.contiguousFrom(10), 10);
    EXPECT_EQ(set.contiguousFrom(15), 5);
    EXPECT_EQ(set.contiguousFrom(20), 0);  // end is exclusive
    EXPECT_EQ(set.contiguousFrom(9), 0);
    EXPECT_FALSE(set.contains(25));
    EXPECT_TRUE(set.covers(31, 40));
    EXPECT_FALSE(set.covers(15, 35));
    EXPECT_EQ(set.coveredBytes(), 20);
}

TEST(EngineRangeSet, NextGapStartsAtTheWishAndWrapsRound) {
    RangeSet set;
    set.add(0, 10);
    set.add(50, 60);
    EXPECT_EQ(set.nextGap(0, 100), (RangeSet::Range{10, 50}));
    EXPECT_EQ(set.nextGap(55, 100), (RangeSet::Range{60, 100}));
    EXPECT_EQ(set.nextGap(70, 100), (RangeSet::Range{70, 100}));
    set.add(60, 100);
    EXPECT_EQ(set.nextGap(70, 100), (RangeSet::Range{10, 50}));  // nothing after: from the start
    set.add(10, 50);
    EXPECT_FALSE(set.nextGap(0, 100).has_value());
    EXPECT_FALSE(RangeSet().nextGap(0, 0).has_value());
}

TEST(EngineRangeSet, TextRoundTripAndRefusals) {
    RangeSet set;
    set.add(0, 5);
    set.add(9, 12);
    const auto back = RangeSet::fromText(set.toText());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->ranges(), set.ranges());
    EXPECT_TRUE(RangeSet::fromText("")->ranges().empty());
    for (const char* bad : {"1-", "5-3", "a-b", "1-2-3", "-4-5", "1-2,"}) {
        EXPECT_FALSE(RangeSet::fromText(bad).has_value()) << bad;
    }
    set.clip(10);
    EXPECT_EQ(set.toText(), "0-5,9-10");
}

TEST(EngineHttpRange, ParsesContentRangeAndRefusesNonsense) {
    const auto full = parseContentRange("bytes 100-199/1000");
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(full->first, 100);
    EXPECT_EQ(full->last, 199);
    EXPECT_EQ(full->total, 1000);
    const auto open = parseContentRange("bytes 0-9/*");
    ASSERT_TRUE(open.has_value());
    EXPECT_EQ(open->total, -1);
    for (const char* bad :
         {"", "bytes */1000", "bytes 5-4/10", "bytes 0-9/9", "items 0-9/10", "bytes 0-x/10", "bytes -1-9/10"}) {
        EXPECT_FALSE(parseContentRange(bad).has_value()) << bad;
    }
    EXPECT_EQ(rangeHeader(0, -1), "bytes=0-");
    EXPECT_EQ(rangeHeader(100, 200), "bytes=100-199");
}

TEST(EngineAddress, QvodAddressesParseStrictly) {
    const auto film = parseQvodAddress("qvod://1048576|AB12cd|第01集.mp4|");
    ASSERT_TRUE(film.has_value());
    EXPECT_EQ(film->size, 1048576);
    EXPECT_EQ(film->hash, "AB12cd");
    EXPECT_EQ(film->name, "第01集.mp4");
    EXPECT_TRUE(parseQvodAddress("QVOD://5|ff|a.rmvb").has_value());  // closing "|" forgiven
    for (const char* bad :
         {"qvod://", "qvod://0|ff|a.mp4|", "qvod://-5|ff|a.mp4|", "qvod://x|ff|a.mp4|", "qvod://5||a.mp4|",
          "qvod://5|f/f|a.mp4|", "qvod://5|ff||", "qvod://5|ff|../x|", "qvod://5|ff|a/b.mp4|", "qvod://5|ff|..|",
          "qvod://5|ff|a.mp4|extra|", "http://5|ff|a.mp4|"}) {
        EXPECT_FALSE(parseQvodAddress(QString::fromUtf8(bad)).has_value()) << bad;
    }
}

TEST(EngineAddress, ClassifiesEveryKindOfAddress) {
    EXPECT_EQ(classifyAddress("").kind, AddressKind::Empty);
    EXPECT_EQ(classifyAddress("   ").kind, AddressKind::Empty);
    const MediaAddress local = classifyAddress("/films/a b.mp4");
    EXPECT_EQ(local.kind, AddressKind::LocalFile);
    EXPECT_EQ(local.localPath, "/films/a b.mp4");
    EXPECT_EQ(classifyAddress("file:///films/x.mkv").localPath, "/films/x.mkv");
    EXPECT_EQ(classifyAddress("qvod://5|ff|a.mp4|").kind, AddressKind::Qvod);
    EXPECT_EQ(classifyAddress("qvod://broken").kind, AddressKind::Unsupported);
    EXPECT_EQ(classifyAddress("http://host/v.mp4").kind, AddressKind::Http);
    EXPECT_EQ(classifyAddress("rtsp://host/live").kind, AddressKind::Stream);
    // Addresses the player could be talked into opening but must not be.
    for (const char* refused :
         {"av://lavfi:testsrc", "edl://x", "memory://abc", "zvqvod://a&&&b", "fd://3", "ytdl://x", "http:///nohost"}) {
        EXPECT_EQ(classifyAddress(refused).kind, AddressKind::Unsupported) << refused;
    }
}

TEST(EngineAddress, QvodFilmsResolveAgainstEachHttpSource) {
    const QvodAddress film{10, "ABCD", "第 1 集#?.mp4"};
    const QList<QUrl> urls =
        qvodSourceUrls(film, {"http://127.0.0.1:81/box/seed/", "ftp://x/", "http://h:82/s", "not a url"});
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(urls[0].path(), "/box/seed/ABCD/第 1 集#?.mp4");
    EXPECT_EQ(urls[0].toString(QUrl::FullyEncoded),
              "http://127.0.0.1:81/box/seed/ABCD/%E7%AC%AC%201%20%E9%9B%86%23%3F.mp4");
    EXPECT_EQ(urls[1].host(), "h");
    EXPECT_EQ(urls[1].path(), "/s/ABCD/第 1 集#?.mp4");  // a missing "/" is added
}

TEST(EngineAddress, HttpFilmsGetAFileName) {
    EXPECT_EQ(cacheNameForUrl(QUrl("http://h/a/%E7%AC%AC1.mp4?x=1")), "第1.mp4");
    const QString derived = cacheNameForUrl(QUrl("http://h/"));
    EXPECT_TRUE(derived.startsWith("film-"));
    EXPECT_EQ(derived, cacheNameForUrl(QUrl("http://h/")));
    EXPECT_NE(derived, cacheNameForUrl(QUrl("http://other/")));
    EXPECT_TRUE(isPlainFileName("影片.rmvb"));
    EXPECT_FALSE(isPlainFileName(QString(256, 'a')));
    EXPECT_FALSE(isPlainFileName("a\nb"));
}

TEST(EnginePlayState, EachConditionGivesItsCode) {
    auto code = [](LoadPhase phase, FetchCondition fetch = FetchCondition::None, bool paused = false,
                   bool forCache = false, bool seeking = false, bool end = false) {
        return int(mapPlayState({phase, fetch, paused, forCache, seeking, end}));
    };
    EXPECT_EQ(code(LoadPhase::Empty), 0);
    EXPECT_EQ(code(LoadPhase::Idle), 0);
    EXPECT_EQ(code(LoadPhase::Stopped), 1);
    EXPECT_EQ(code(LoadPhase::Loaded, FetchCondition::None, true), 2);
    EXPECT_EQ(code(LoadPhase::Loaded), 3);
    EXPECT_EQ(code(LoadPhase::Loaded, FetchCondition::Transferring, false, true), 4);
    EXPECT_EQ(code(LoadPhase::Loaded, FetchCondition::None, false, false, true), 4);
    EXPECT_EQ(code(LoadPhase::Loaded, FetchCondition::None, true, false, false, true), 6);
    EXPECT_EQ(code(LoadPhase::Ended), 6);
    EXPECT_EQ(code(LoadPhase::Loading), 7);
    EXPECT_EQ(code(LoadPhase::Loading, FetchCondition::Transferring), 7);
    EXPECT_EQ(code(LoadPhase::Loaded, FetchCondition::Reconnecting, false, true), 8);
    EXPECT_EQ(code(LoadPhase::Loading, FetchCondition::Reconnecting), 8);
    EXPECT_EQ(code(LoadPhase::Connecting), 10);
    EXPECT_EQ(code(LoadPhase::Loading, FetchCondition::Connecting), 10);
    EXPECT_EQ(code(LoadPhase::Stopping), 11);
    // A user's pause wins over waiting for data.
    EXPECT_EQ(code(LoadPhase::Loaded, FetchCondition::Reconnecting, true, true), 2);
}

TEST(EnginePictureSound, ModesBecomeFiltersAndUnknownModesAreRefused) {
    EXPECT_EQ(videoFilterFor(1, {640, 360}), QString());
    EXPECT_EQ(videoFilterFor(2, {}), "lavfi=[setdar=4/3]");
    EXPECT_EQ(videoFilterFor(4, {}), "lavfi=[setdar=16/9]");
    EXPECT_EQ(videoFilterFor(0, {640, 360}), "lavfi=[setdar=640/360]");  // stretched to the widget
    EXPECT_EQ(videoFilterFor(0, {}), QString());
    EXPECT_FALSE(videoFilterFor(5, {}).has_value());
    EXPECT_FALSE(videoFilterFor(-1, {}).has_value());
    EXPECT_EQ(audioFilterFor(0), QString());
    EXPECT_EQ(audioFilterFor(4), "lavfi=[pan=stereo|c0=c0|c1=c0]");
    EXPECT_EQ(audioFilterFor(5), "lavfi=[pan=stereo|c0=c1|c1=c1]");
    EXPECT_FALSE(audioFilterFor(3).has_value());
    EXPECT_FALSE(audioFilterFor(6).has_value());
}

TEST(EngineFilmIndex, RoundTripAndDamagedFiles) {
    FilmIndex index{"第1集.mp4", "qvod:ab", 1000, {}};
    index.ranges.add(0, 100);
    index.ranges.add(500, 600);
    const auto back = parseFilmIndex(formatFilmIndex(index));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->name, index.name);
    EXPECT_EQ(back->key, index.key);
    EXPECT_EQ(back->size, 1000);
    EXPECT_EQ(back->ranges.ranges(), index.ranges.ranges());

    EXPECT_FALSE(parseFilmIndex("").has_value());
    EXPECT_FALSE(parseFilmIndex("something else\nname=a\n").has_value());
    QByteArray noRanges = formatFilmIndex(index);
    noRanges.replace("ranges=", "rangez=");
    EXPECT_FALSE(parseFilmIndex(noRanges).has_value());
    QByteArray badRanges = formatFilmIndex(index);
    badRanges.replace("500-600", "600-500");
    EXPECT_FALSE(parseFilmIndex(badRanges).has_value());
    // Ranges beyond the size cannot be true and are dropped.
    QByteArray beyond = formatFilmIndex(index);
    beyond.replace("500-600", "900-1500");
    EXPECT_EQ(parseFilmIndex(beyond)->ranges.toText(), "0-100,900-1000");
}

TEST(EngineFilmIndex, WritesCutShortByAKillAreRemovedAtTheNextStart) {
    QTemporaryDir cache;
    ASSERT_TRUE(cache.isValid());
    const QString path = filmIndexPath(cache.path(), "a.mp4");
    ASSERT_TRUE(saveFilmIndex(path, FilmIndex{"a.mp4", "qvod:ab", 10, {}}));
    for (const QString& leftover :
         {path + qarvel::kTemporaryMarker + "Ab12Cd", path + qarvel::kTemporaryMarker + "000000"}) {
        QFile f(leftover);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(removeInterruptedIndexWrites(cache.path()), 2);
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QFileInfo(path).fileName()});
    EXPECT_EQ(loadFilmIndex(path)->key, "qvod:ab");
}

TEST(EngineTransferMeter, AveragesOverTheWindow) {
    TransferMeter meter(2000);
    meter.add(100000, 0);
    meter.add(100000, 1000);
    EXPECT_EQ(meter.bytesPerSecond(1000), 100000);
    EXPECT_EQ(meter.bytesPerSecond(2500), 50000);  // the first sample has left the window
    EXPECT_EQ(meter.bytesPerSecond(5000), 0);
}

TEST(EngineMediaNames, SubtitlesBesideAFilmAreThoseCarryingItsName) {
    const QStringList folder = {"星河往事.mkv", "星河往事.cht.srt", "星河往事.srt", "星河往事.chs.ass",
                                "星河往事.zh.srt", "星河往事.en.vtt", "星河往事.SSA", "星河往事2.srt",
                                "星河往事.part.two.srt", "星河往事.chs.txt", "星河往事..srt", "其他.srt"};
    QStringList names, tags;
    for (const SubtitleFile& f : subtitlesFor("星河往事.mkv", folder)) {
        names << f.name;
        tags << f.language;
    }
    // Simplified Chinese first, then untagged, traditional, the rest.
    EXPECT_EQ(names, (QStringList{"星河往事.chs.ass", "星河往事.zh.srt", "星河往事.srt", "星河往事.SSA",
                                  "星河往事.cht.srt", "星河往事.en.vtt"}));
    EXPECT_EQ(tags, (QStringList{"chs", "zh", "", "", "cht", "en"}));
    // Names compare without case; a dotted film name keeps its dots; a film without extension has subtitles too.
    EXPECT_EQ(subtitlesFor("Film.2020.MP4", {"film.2020.ZH-CN.srt", "Film.srt"}).value(0).language, "zh-cn");
    EXPECT_EQ(subtitlesFor("Film.2020.MP4", {"Film.srt"}).size(), 0);
    EXPECT_EQ(subtitlesFor("film", {"film.ass"}).size(), 1);
    EXPECT_TRUE(subtitlesFor("film.mp4", {"film.waytoolongtagforone.srt", "film.a b.srt"}).isEmpty());
}

TEST(EngineMediaNames, AFoldersFirstFilmInNaturalOrder) {
    EXPECT_EQ(firstFilmOf({"说明.txt", "第10集.mp4", "第2集.MKV", "第2集.srt", "封面.jpg"}), "第2集.MKV");
    EXPECT_EQ(firstFilmOf({"a.srt", "b.txt"}), "");
    EXPECT_TRUE(isSubtitleName("a.VTT"));
    EXPECT_FALSE(isSubtitleName("srt"));
}

// Only where glibc's own allocator serves malloc, not a sanitizer's.
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
namespace {
int heapArenas() {
    char* text = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&text, &size);
    if (!f) return -1;
    malloc_info(0, f);
    std::fclose(f);
    int arenas = 0;
    for (const char* at = text; (at = std::strstr(at, "<heap nr=")) != nullptr; ++at) ++arenas;
    std::free(text);
    return arenas;
}
}  // namespace

TEST(EngineHeap, AThreadStartedAfterwardsAllocatesFromTheMainArena) {
    // An arena per film's threads kept what the film freed: 10 MiB per episode.
    useOneHeapArena();
    const int before = heapArenas();
    std::thread([] {
        void* volatile block = std::malloc(4096);
        std::free(block);
    }).join();
    EXPECT_EQ(heapArenas(), before);
}
#endif
