#pragma once
// What the user is told when the program cannot save what it keeps: one line
// per kind of file and run, since a full disk or a read-only folder fails
// every write after the first as well. Every failure goes to the log.
// Failures before there is anywhere to show them (start-up) wait for it.
#include <QString>
#include <functional>

namespace qarvel {

enum class WriteKind { Records, Settings };

// The line for a kind of file.
QString writeFailureText(WriteKind kind);

class WriteFailureNotice {
public:
    using Show = std::function<void(const QString& text)>;

    // Logs that the write of what (a file, a key) failed; shows the kind's
    // line unless it was shown this run, or keeps it until setShow().
    void failed(WriteKind kind, const QString& what);
    // Where lines go from now on; lines kept until now are shown at once.
    // An empty show keeps them again.
    void setShow(Show show);

private:
    void showOnce(WriteKind kind);

    Show show_;
    bool failed_[2] = {false, false};
    bool shown_[2] = {false, false};
};

}  // namespace qarvel
