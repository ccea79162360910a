#pragma once
// The machine's network adapters, as far as the anonymous user identifier
// needs them. Behind an interface so that tests can supply any adapter list.
#include <QStringList>

namespace qarvel::platform {

class NetworkAdapters {
public:
    virtual ~NetworkAdapters() = default;
    // Hardware address of every adapter that is up and has an IP address,
    // loopback excluded, in the system's order; each as the system writes it
    // ("AA:BB:CC:DD:EE:FF", possibly empty for adapters without one).
    virtual QStringList ipEnabledAdapterAddresses() const = 0;
};

// The real adapters, from the kernel's interface list.
class SystemNetworkAdapters final : public NetworkAdapters {
public:
    QStringList ipEnabledAdapterAddresses() const override;
};

}  // namespace qarvel::platform
