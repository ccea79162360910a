#pragma once
// What the engine's tests share: the application object, waiting on the event
// loop, the generated clips and their bytes.
#include "engine/cache/film_fetcher.h"
#include "support/wait_until.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace qarvel::engine::testing {

// Creates the QApplication once (sharing GL contexts, as the program does).
void ensureApplication();
using qarvel::test::runEventsFor;
using qarvel::test::waitUntil;

// Fetch patience for tests: quick retries, and a stall noticed in a second or two.
FetchTiming testFetchTiming();

// Clips made by the build: "short.mp4" (4 s) and "long.mp4" (10 s).
QString clipPath(const QString& name);
QByteArray fileBytes(const QString& path);
QString sha1Hex(const QByteArray& bytes);

}  // namespace qarvel::engine::testing
