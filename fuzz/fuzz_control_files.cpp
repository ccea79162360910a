// The service's three control files on arbitrary text: never a crash, and
// what they give stays within what the files may ask for.
#include "extras/control_files.h"
#include "fuzz_text_support.h"

using namespace qarvel::fuzz;
using namespace qarvel::extras;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = textOf(data, size);

    const auto update = parseUpdateControl(text);
    require(update.has_value() == text.contains(QLatin1String("====")));
    if (update) {
        // Line breaks go in one pass, so what the removal joins stays: only
        // the length is certain.
        require(update->latestVersion.size() <= text.size());
        require(!update->sideWindowOnExit.contains(QLatin1String("====")));
    }

    const QList<NoticeItem> notices = parseNoticeList(text);
    require(notices.size() <= kMaxItems);
    for (const NoticeItem& item : notices) {
        require(!item.text.contains(QLatin1String("$$$")) && !item.link.contains(QLatin1String("||")));
        require(!item.link.contains(QLatin1String("$$$")));
    }

    const auto popup = parsePopupControl(text);
    require(popup.has_value() == text.contains(QLatin1String("||")));
    if (popup) {
        require(popup->firstDelaySeconds > 0 && popup->intervalMinutes > 0);
        require(popup->pages.size() <= kMaxItems);
        for (const QString& page : popup->pages) require(page.startsWith(QLatin1String("http://")));
    }

    if (isBrowserAddress(text)) {
        const QString scheme = text.trimmed().section(u':', 0, 0).toLower();
        require(scheme == QLatin1String("http") || scheme == QLatin1String("https"));
    }
    return 0;
}
