#pragma once
// Message boxes that answer every question the same way and remember what
// was asked and said ("caption|text"). Header-only.
#include "platform/user_dialogs.h"

#include <QStringList>

namespace qarvel::testing {

struct AnsweringDialogs final : platform::UserDialogs {
    bool answer = true;  // Yes
    QStringList asked, informed;
    bool askYesNo(const QString& title, const QString& text) override {
        asked << title + u'|' + text;
        return answer;
    }
    void inform(const QString& title, const QString& text) override { informed << title + u'|' + text; }
    QString pickFolder(const QString&, const QString&) override { return {}; }  // cancelled
};

}  // namespace qarvel::testing
