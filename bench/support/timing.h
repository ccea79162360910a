#pragma once
// Timing helpers of the benchmarks: statistics of repeated runs, waiting on the
// event loop, and the mpv command line as the baseline for a first frame.
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qarvel::bench {

// Interpolated between the two nearest values; 0.5 is the median.
double quantile(std::vector<double> values, double q);
double median(std::vector<double> values);
// "Q1-Q3" with one decimal, for a table's spread column.
std::string quartiles(const std::vector<double>& values);

// Runs the event loop until done() holds or the time is up; returns done().
// The loop sleeps between events, so the wait takes no CPU time from what it
// waits for.
bool waitFor(const std::function<bool()>& done, int timeoutMs);

struct CommandLineTimes {
    double process = 0;     // start to exit of the whole process
    double firstFrame = 0;  // the first status line by mpv's own clock (from its start-up)
};

// One run of `mpv --no-config --vo=null --ao=null --frames=1` on the media: no
// picture and no sound, so it measures opening, demuxing and decoding. Nothing
// when the program fails or prints no status line.
std::optional<CommandLineTimes> mpvCommandLine(const QString& mpv, const QString& media);

}  // namespace qarvel::bench
