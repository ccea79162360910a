#include "bench/support/timing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace qarvel::bench {

double quantile(std::vector<double> values, double q) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double position = q * static_cast<double>(values.size() - 1);
    const size_t below = static_cast<size_t>(position);
    if (below + 1 >= values.size()) return values.back();
    return values[below] + (position - static_cast<double>(below)) * (values[below + 1] - values[below]);
}

double median(std::vector<double> values) { return quantile(std::move(values), 0.5); }

std::string quartiles(const std::vector<double>& values) {
    char text[48];
    std::snprintf(text, sizeof text, "%.1f-%.1f", quantile(values, 0.25), quantile(values, 0.75));
    return text;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    if (done()) return true;
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(1);
    loop.exec();
    return done();
}

std::optional<CommandLineTimes> mpvCommandLine(const QString& mpv, const QString& media) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer clock;
    clock.start();
    process.start(mpv, {"--no-config", "--vo=null", "--ao=null", "--frames=1", "--msg-time", media});
    if (!process.waitForFinished(15000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return std::nullopt;
    }
    CommandLineTimes times;
    times.process = clock.nsecsElapsed() / 1e6;
    static const QRegularExpression status(R"(\[\s*([0-9.]+)\][^\n]*\bA?V: )");
    const auto match = status.match(QString::fromUtf8(process.readAll()));
    if (!match.hasMatch()) return std::nullopt;
    times.firstFrame = match.captured(1).toDouble() * 1000;
    return times;
}

}  // namespace qarvel::bench
