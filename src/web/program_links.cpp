#include "web/program_links.h"

#include "common/build_config.h"

namespace qarvel::web {

const QStringList& programSchemes() {
    static const QStringList schemes = {"zuvovod://", "zvqvod://", "zvtvs://", "open://", "delk://"};
    return schemes;
}

bool isProgramAddress(const QString& address) {
    const QString text = address.trimmed();
    for (const QString& scheme : programSchemes()) {
        if (text.startsWith(scheme)) return true;
    }
    return text.contains(QLatin1String(config::kSentinelHost));
}

}  // namespace qarvel::web
