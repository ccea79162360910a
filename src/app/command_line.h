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
    QString error;        // non-empty when the command line is unusable
};

// args excludes the program name. environmentHome is QARVEL_HOME's value.
CommandLine parseCommandLine(const QStringList& args, const QString& environmentHome = {});
QString usageText();

}  // namespace qarvel
