#pragma once
// The client's command line. Parsed before anything else runs, so a bad
// option ends the program with a usage message and touches no file.
#include <QString>
#include <QStringList>

namespace qarvel {

struct CommandLine {
    QString home;       // program folder (--home, or QARVEL_HOME); empty = chooseProgramFolder's
    QString service;    // service base address (--service), empty = built-in
    bool demo = false;  // start the demo service in-process and use it
    bool help = false;
    bool version = false;
    QString screenshot;   // save a picture of the main window here once its pages loaded
    int quitAfterMs = 0;  // leave after this long (unattended runs); 0 = never
    QString playTarget;   // the optional file or address to play
    // Further files after the first (a file manager's "open with" on several):
    // the player plays one film, so these are named to the user and left.
    QStringList leftTargets;
    QString error;  // non-empty when the command line is unusable
};

// args excludes the program name. environmentHome is QARVEL_HOME's value.
// A file, folder or address holding a control character is an error.
CommandLine parseCommandLine(const QStringList& args, const QString& environmentHome = {});
QString usageText();

// True when text may name a file, a folder or an address: it holds no NUL
// and no other control character. Every way a path comes in (command line,
// a second start's hand-off, the file chooser) asks this first: such text
// would end up in a record line, a list page or the player.
bool isAcceptableTarget(QStringView text);
// What the status text says when a chosen file's name is refused so.
inline const QString kControlCharacterRefused = QStringLiteral("文件名含控制字符，无法打开");
// text with its control characters written as \xHH, fit for a message.
QString visibleText(QStringView text);
// target as named from any folder: a file named relative to workingFolder is
// given its full path; an address (scheme://...) stays as it is.
QString absoluteTarget(const QString& target, const QString& workingFolder);

}  // namespace qarvel
