#include "platform/network_adapters.h"

#include <QNetworkInterface>

namespace qarvel::platform {

QStringList SystemNetworkAdapters::ipEnabledAdapterAddresses() const {
    QStringList addresses;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& adapter : interfaces) {
        const auto flags = adapter.flags();
        if (flags.testFlag(QNetworkInterface::IsLoopBack) || !flags.testFlag(QNetworkInterface::IsUp)) continue;
        if (adapter.addressEntries().isEmpty()) continue;
        addresses.append(adapter.hardwareAddress());
    }
    return addresses;
}

}  // namespace qarvel::platform
