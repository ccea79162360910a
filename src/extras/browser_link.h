#pragma once
// Hands a web address to the system's browser: the one door by which the
// service's links (notices, new-window links) leave the program.
#include <QString>

namespace qarvel::platform {
class Shell;
}

namespace qarvel::extras {

// Opens an http or https address in the system's browser; anything else (the
// program's own links, local files, empty text) is dropped. True when opened.
bool openInBrowser(platform::Shell& shell, const QString& address);

}  // namespace qarvel::extras
