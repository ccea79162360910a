// A click on an episode in the catalogue to the first picture in the real
// window (the program as main() builds it, with its libmpv player drawing into
// the window), beside what the click costs at least: the mpv command line's own
// first frame on the same clip plus one HTTP round trip of the play request to
// the same service, as the ratio ours / (command line + round trip).
//
// Every timed click plays another episode of the same series: each clip is a
// film of its own, so each run starts with an empty cache, as a first play
// does. A first click on a film of another series loads the decoders and the
// picture path once, as a program that has been running has them.
//
// Then the play request is made to answer only after 5 s, and a 10 ms timer
// tells the longest stall of the event loop until the answer has arrived.
//
//   bench_play [--runs N] [--mpv PROGRAM]
#include "app/app_parts.h"
#include "app/application.h"
#include "app/main_window/main_window.h"
#include "bench/support/demo_program.h"
#include "bench/support/process_figures.h"
#include "bench/support/timing.h"
#include "common/settings_file.h"
#include "engine/freed_memory.h"
#include "engine/mpv_player.h"
#include "playback/transport_commands.h"
#include "platform/player_component.h"
#include "platform/user_dialogs.h"
#include "service/catalogue.h"
#include "service/demo_service.h"
#include "service/fault.h"
#include "service/play_exchange.h"
#include "web/web_environment.h"
#include "web/web_pane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <httplib.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace svc = qarvel::service;
using qarvel::bench::clickScript;
using qarvel::bench::EpisodeLink;
using qarvel::bench::median;
using qarvel::bench::playableEpisodes;
using qarvel::bench::quartiles;
using qarvel::bench::runScript;
using qarvel::bench::waitFor;
using qarvel::engine::PlayState;

namespace {

const int kTimeoutMs = 20000;
const int kTimedSeries = 1001;  // a "qvod" series with many episodes, each its own clip
const int kWarmSeries = 1003;
const int kStallSeries = 1002;
const double kStallTargetMs = 100;

// Milliseconds from a plain client's play request to its whole answer.
std::optional<double> playRequestRoundTrip(int port, int seriesId, const EpisodeLink& link) {
    QElapsedTimer clock;
    clock.start();
    httplib::Client client("127.0.0.1", port);
    const auto answer =
        client.Get("/box/" + std::string(svc::endpoint::kPlayRequest) + "?id=" + std::to_string(seriesId) +
                   "&v=" + std::to_string(link.source) + "&v1=" + std::to_string(link.episode));
    if (!answer || answer->status != 200 || answer->body.find('$') == std::string::npos) return std::nullopt;
    return clock.nsecsElapsed() / 1e6;
}

class Bench {
public:
    Bench(svc::DemoService& service, QString mpv) : service_(service), mpv_(std::move(mpv)) {}

    bool start() {
        if (!home_.isValid()) return fail("no temporary program folder");
        const qarvel::ProgramFiles files = qarvel::ProgramFiles::inFolder(home_.path());
        // A known user, so that start-up does not derive one from this machine.
        (void)qarvel::WriteSetting(files.settings, "user", "Name", "00-1A-2B-3C-4D-5E");
        application_ = std::make_unique<qarvel::Application>(qarvel::ApplicationOptions{
            .files = files, .serviceBase = QString::fromStdString(service_.baseUrl()), .dialogs = &desktop_});
        if (application_->start(component_, desktop_) != qarvel::StartupResult::WindowShown)
            return fail("the window did not start: " + application_->errorText());
        player_ = qobject_cast<qarvel::engine::MpvPlayer*>(application_->player());
        if (!player_) return fail("the program does not play with its libmpv player");
        const auto links = playableEpisodes(kTimedSeries);
        if (links.empty()) return fail("the catalogue has no playable episode");
        // The catalogue is there once its links are.
        const QString probe = QStringLiteral("!!document.querySelector('#film%1 a')").arg(kTimedSeries);
        if (!waitFor([&] { return runScript(catalogue(), probe).toBool(); }, kTimeoutMs))
            return fail("the catalogue did not load");
        return true;
    }

    // Times after a click on an episode, in ms.
    struct Click {
        std::optional<double> answerMs;      // the player has the episode's address
        std::optional<double> pictureMs;  // its first picture is drawn into the window on screen
    };

    // Clicks the link, waits for the first picture, lets the film play on for
    // playOnMs and stops it. A beat timer given starts with the click's clock.
    Click clickAndPlay(const EpisodeLink& link, int answerTimeoutMs, QTimer* beat = nullptr, int playOnMs = 0) {
        Click click;
        // The script's answer may come after a time-out here.
        auto clicked = std::make_shared<std::optional<bool>>();
        const QString clip = QString::fromStdString(link.clip);
        // The first picture is the first one put into the picture's window on
        // screen (the window shows the pages' panel until the film plays),
        // timed as it happens: a poll of the busy window thread would see it
        // a millisecond or two late.
        QMetaObject::Connection shown = QObject::connect(player_, &qarvel::engine::MpvPlayer::pictureShown, [&] {
            if (!click.pictureMs) click.pictureMs = clock_.nsecsElapsed() / 1e6;
        });
        clock_.start();
        if (beat) beat->start(10);
        catalogue()->page()->runJavaScript(clickScript(link.href),
                                           [clicked](const QVariant& v) { *clicked = v.toBool(); });
        const auto answered = [&] {
            if (!click.answerMs && player_->url().contains(clip)) click.answerMs = clock_.nsecsElapsed() / 1e6;
            return click.answerMs.has_value() || *clicked == false;
        };
        const auto pictured = [&] { return click.pictureMs.has_value(); };
        if (waitFor(answered, answerTimeoutMs) && click.answerMs && waitFor(pictured, kTimeoutMs) && playOnMs > 0)
            waitFor([] { return false; }, playOnMs);
        if (beat) beat->stop();
        QObject::disconnect(shown);
        if (*clicked == false) std::fprintf(stderr, "bench_play: no link %s in the catalogue\n", link.href.c_str());
        else if (!click.pictureMs)
            std::fprintf(stderr, "bench_play: no picture of %s: %s\n", link.clip.c_str(),
                         qPrintable(player_->errorText()));
        stopFilm();
        return click;
    }

    // The viewer's stop (the stop button's command), which also ends the
    // status poll: a poll left running would ask for the stopped film's next
    // episode while the next click's play request is on its way.
    void stopFilm() {
        application_->parts().transport->stop();
        waitFor([&] { return player_->playState() == PlayState::Stopped; }, 5000);
        // The pages the stop brings up load before the next click.
        waitFor([] { return false; }, 500);
    }

    struct Stall {
        double longestMs = 0;  // from the click until the answer has been handled
        double afterMs = 0;    // from then until the first picture
        Click click;
    };

    // The longest gaps between ticks of a 10 ms timer while the play request
    // takes delayMs to answer, and after it until the first picture. A gap
    // that holds the answer's handling counts as waiting.
    std::optional<Stall> stallWhileAnswering(const EpisodeLink& link, int delayMs) {
        if (!service_.setFault(svc::endpoint::kPlayRequest, svc::Fault::delay(delayMs))) return std::nullopt;
        std::vector<double> ticks{0};
        QTimer beat;
        QObject::connect(&beat, &QTimer::timeout, [&] { ticks.push_back(clock_.nsecsElapsed() / 1e6); });
        Stall stall;
        stall.click = clickAndPlay(link, delayMs + kTimeoutMs, &beat);
        service_.clearFault(svc::endpoint::kPlayRequest);
        if (!stall.click.answerMs) return std::nullopt;
        for (size_t i = 1; i < ticks.size(); ++i) {
            double& longest = ticks[i - 1] < *stall.click.answerMs ? stall.longestMs : stall.afterMs;
            longest = std::max(longest, ticks[i] - ticks[i - 1]);
        }
        return stall;
    }

    // The longest gap between ticks of a 10 ms timer while a film plays on
    // for playMs after its first picture: what a click or a key waits for.
    std::optional<double> stallWhilePlaying(const EpisodeLink& link, int playMs) {
        std::vector<double> ticks;
        QTimer beat;
        QObject::connect(&beat, &QTimer::timeout, [&] { ticks.push_back(clock_.nsecsElapsed() / 1e6); });
        const Click click = clickAndPlay(link, kTimeoutMs, &beat, playMs);
        if (!click.pictureMs) return std::nullopt;
        double longest = 0;
        for (size_t i = 1; i < ticks.size(); ++i)
            if (ticks[i - 1] >= *click.pictureMs) longest = std::max(longest, ticks[i] - ticks[i - 1]);
        return longest;
    }

    std::optional<double> commandLineFirstFrame(const std::string& clip) {
        const auto times =
            qarvel::bench::mpvCommandLine(mpv_, QString::fromStdString(service_.mediaDir() + "/" + clip));
        if (!times) return std::nullopt;
        return times->firstFrame;
    }

    QString errorText() const { return error_; }

private:
    bool fail(const QString& why) {
        error_ = why;
        return false;
    }
    qarvel::web::WebPane* catalogue() { return application_->window()->pane(qarvel::Pane::Catalogue); }

    svc::DemoService& service_;
    QString mpv_;
    QTemporaryDir home_;
    qarvel::bench::QuietDesktop desktop_{"bench_play"};
    qarvel::platform::LinuxPlayerComponent component_;
    std::unique_ptr<qarvel::Application> application_;
    qarvel::engine::MpvPlayer* player_ = nullptr;
    QElapsedTimer clock_;
    QString error_;
};

void printRow(const char* name, const std::vector<double>& values) {
    std::printf("%-40s %9.1f %13s\n", name, median(values), quartiles(values).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    qarvel::engine::useOneHeapArena();  // as the program's main() does, before any thread starts
    qarvel::web::prepareWebEngineEnvironment();
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");  // libmpv parses numbers with the C locale

    const auto timed = playableEpisodes(kTimedSeries);
    int runs = 7;
    QString mpv = QStringLiteral("mpv");
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); i += 2) {
        const QString value = i + 1 < args.size() ? args[i + 1] : QString();
        if (args[i] == "--runs" && value.toInt() > 0) runs = value.toInt();
        else if (args[i] == "--mpv" && !value.isEmpty()) mpv = value;
        else {
            std::fprintf(stderr, "usage: bench_play [--runs N] [--mpv PROGRAM]\n");
            return 2;
        }
    }
    if (runs > int(timed.size())) {
        std::fprintf(stderr, "bench_play: at most %zu runs: one per episode of the series, each an uncached film\n",
                     timed.size());
        return 2;
    }
    const auto warm = playableEpisodes(kWarmSeries);
    const auto stallLinks = playableEpisodes(kStallSeries);
    if (timed.empty() || warm.empty() || stallLinks.empty()) {
        std::fprintf(stderr, "bench_play: the demo catalogue lacks the series this benchmark plays\n");
        return 1;
    }

    svc::DemoService service;
    if (!service.start()) {
        std::fprintf(stderr, "bench_play: demo service: %s\n", service.errorText().c_str());
        return 1;
    }
    for (const std::string& clip : service.missingMedia()) {
        std::fprintf(stderr, "bench_play: demo clip missing (build the demo_media target): %s\n", clip.c_str());
        return 1;
    }

    const qarvel::bench::MachineLoad load;
    Bench bench(service, mpv);
    if (!bench.start()) {
        std::fprintf(stderr, "bench_play: %s\n", qPrintable(bench.errorText()));
        return 1;
    }
    bool failed = !bench.clickAndPlay(warm.front(), kTimeoutMs).pictureMs;
    std::vector<double> ours, answered, commandLine, roundTrip, baseline, ratios;
    for (int i = 0; i < runs; ++i) {
        const EpisodeLink& link = timed[size_t(i)];
        const auto click = bench.clickAndPlay(link, kTimeoutMs);
        const auto& ms = click.pictureMs;
        const auto frame = bench.commandLineFirstFrame(link.clip);
        const auto trip = playRequestRoundTrip(service.port(), kTimedSeries, link);
        if (!ms || !frame || !trip) {
            failed = true;
            continue;
        }
        ours.push_back(*ms);
        answered.push_back(*click.answerMs);
        commandLine.push_back(*frame);
        roundTrip.push_back(*trip);
        baseline.push_back(*frame + *trip);
        ratios.push_back(*ms / (*frame + *trip));
    }
    const auto stall = bench.stallWhileAnswering(stallLinks.front(), 5000);
    const auto playingStall = bench.stallWhilePlaying(stallLinks.back(), 3000);

    std::printf("click on an episode to the first picture in the window, %zu of %d runs, ms\n", ours.size(), runs);
    std::printf("(each run another episode of series %d, so each film starts uncached)\n", kTimedSeries);
    std::printf("%-40s %9s %13s\n", "case", "median", "quartiles");
    printRow("click to first picture (ours)", ours);
    printRow("  of it: click to the play answer handled", answered);
    printRow("mpv command line, first frame", commandLine);
    printRow("play request round trip (plain client)", roundTrip);
    printRow("command line + round trip", baseline);
    if (!ours.empty()) {
        std::printf("ratio ours / (command line + round trip): %.2f (median of the runs' ratios, quartiles %s)\n",
                    median(ratios), quartiles(ratios).c_str());
    }
    if (stall) {
        const auto& c = stall->click;
        std::printf(
            "longest event-loop stall while the play request answered after 5 s: %.1f ms (target <= %.0f ms: %s)\n",
            stall->longestMs, kStallTargetMs, stall->longestMs <= kStallTargetMs ? "met" : "missed");
        std::printf(
            "  answer handled %.0f ms after the click; longest stall from then to the first picture: %.1f ms%s\n",
            *c.answerMs, stall->afterMs, c.pictureMs ? "" : " (no picture came)");
    } else {
        std::printf("the delayed play request was never answered in the window\n");
        failed = true;
    }
    if (playingStall) {
        std::printf("longest event-loop stall while a film plays for 3 s: %.1f ms\n", *playingStall);
    } else {
        std::printf("the film played for the stall while playing showed no picture\n");
        failed = true;
    }
    load.report();
    if (failed) std::printf("some runs did not reach a first picture and are left out\n");
    return failed ? 1 : 0;
}
