#include "link_router_rig.h"

#include "common/program_files.h"
#include "common/text_codec.h"

namespace qarvel::web::test {

QByteArray PlayService::toGbkBytes(const QString& text) { return toGbk(text); }

namespace {
platform::TextFetcher::Limits shortLimits() {
    platform::TextFetcher::Limits limits;
    limits.connectTimeoutMs = 3000;
    limits.readTimeoutMs = 3000;
    limits.totalTimeoutMs = 5000;
    return limits;
}
}  // namespace

RouterRig::RouterRig(const QString& baseOverride)
    : base(baseOverride.isEmpty() ? service.base() : baseOverride),
      pages(ProgramFiles::inFolder(folder.path()), [this](records::RecordFile file, const QString& page) { reloads.show(file, page); }),
      store(pages),
      stop(state, session, player, store, statusPollTimer, playback::StopControls{.statusText = &statusText}),
      views(
          state, stop, nullptr, nullptr, [this] { ++webPlayerCloseButton; }, [this] { ++gtv_clicks; }),
      fetcher(shortLimits()),
      router(state, session,
             LinkRouterControls{.filmTitle = &filmTitle,
                                .statusStrip = &statusStrip,
                                .statusText = &statusText,
                                .liveTvCloseButton = &liveTvCloseButton},
             LinkRouterServices{
                 .player = player,
                 .records = store,
                 .views = views,
                 .panes = nav,
                 .fetcher = fetcher,
                 .processes = processes,
                 .dialogs = dialogs,
                 .statusPollTimer = statusPollTimer,
                 .pressWindowButton = [this](int index) { windowButtons << index; },
                 .readSetting = [this](const QString& section, const QString& key,
                                       const QString& def) { return settings.value(section + u'/' + key, def); },
                 .showBalloon = [this](const QString& text) { balloons << text; },
             },
             base) {
    nav.router = &router;
    statusStrip.resize(400, 20);
    statusPollTimer.setInterval(1000);
    EXPECT_TRUE(store.EnsureRecordFile(records::RecordFile::Network));
    EXPECT_TRUE(store.EnsureRecordFile(records::RecordFile::Local));
    store.writeFailed = [this](const QString&) { ++recordWriteFailures; };
}

QString RouterRig::lines(records::RecordFile file) const { return fromGbk(folder.read(records::recordFileName(file))); }

void RouterRig::putRecords(records::RecordFile file, const QByteArray& bytes) const {
    folder.put(records::recordFileName(file), bytes);
}

}  // namespace qarvel::web::test
