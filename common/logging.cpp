#include "common/logging.h"

#include "common/log_line.h"

namespace qarvel {

Q_LOGGING_CATEGORY(lcClient, "qarvel.client")
Q_LOGGING_CATEGORY(lcEngine, "qarvel.engine")

namespace {

std::string_view levelName(QtMsgType type) {
    switch (type) {
    case QtDebugMsg: return "debug";
    case QtInfoMsg: return "info";
    case QtWarningMsg: return "warning";
    case QtCriticalMsg: return "critical";
    case QtFatalMsg: return "fatal";
    }
    return "message";
}

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const std::string_view category = context.category ? context.category : "default";
    const QByteArray text = message.toUtf8();
    writeLogLine(category, levelName(type), std::string_view(text.constData(), size_t(text.size())));
}

}  // namespace

void installLogHandler() { qInstallMessageHandler(handleMessage); }

}  // namespace qarvel
