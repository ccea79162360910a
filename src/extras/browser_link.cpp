#include "extras/browser_link.h"

#include "extras/control_files.h"
#include "platform/user_dialogs.h"

namespace qarvel::extras {

bool openInBrowser(platform::Shell& shell, const QString& address) {
    if (!isBrowserAddress(address)) return false;
    return shell.openUrl(address.trimmed());
}

}  // namespace qarvel::extras
