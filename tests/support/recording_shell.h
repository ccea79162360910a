#pragma once
// The desktop's "Open" and program starts as tests see them: recorded, and
// nothing leaves the test.
#include "platform/user_dialogs.h"

#include <QStringList>

namespace qarvel::test {

struct RecordingShell : platform::Shell {
    bool openUrl(const QString& address) override {
        opened << address;
        return true;
    }
    bool startDetached(const QString& program, const QStringList& arguments) override {
        started << (QStringList{program} + arguments).join(u' ');
        return true;
    }
    QStringList opened;
    QStringList started;
};

}  // namespace qarvel::test
