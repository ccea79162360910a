#include "platform/player_component.h"

#include <QLibrary>

#ifndef QARVEL_MPV_LIBRARY
#define QARVEL_MPV_LIBRARY "libmpv.so.2"
#endif

namespace qarvel::platform {

LinuxPlayerComponent::LinuxPlayerComponent() : library_(QStringLiteral(QARVEL_MPV_LIBRARY)) {}

LinuxPlayerComponent::LinuxPlayerComponent(QString library) : library_(std::move(library)) {}

bool LinuxPlayerComponent::componentFileExists() {
    // Loading an already loaded library only takes a reference; it is not
    // unloaded here, since the program itself uses it.
    QLibrary lib(library_);
    return lib.load() && lib.resolve("mpv_create") != nullptr;
}

}  // namespace qarvel::platform
