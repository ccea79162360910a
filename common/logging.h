#pragma once
// One logging category per part of the program; diagnostics go through them
// (qCWarning(lcEngine) << …) rather than through hand-written prefixes. The
// Qt-free demo service writes the same line shape through common/log_line.h
// under "qarvel.service".
#include <QLoggingCategory>

namespace qarvel {

Q_DECLARE_LOGGING_CATEGORY(lcClient)  // "qarvel.client": the window and its subsystems
Q_DECLARE_LOGGING_CATEGORY(lcEngine)  // "qarvel.engine": the player engine and its film cache

// Makes every Qt message a line with time, category and level (see log_line.h).
// Called first thing by each program.
void installLogHandler();

}  // namespace qarvel
