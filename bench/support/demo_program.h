#pragma once
// The real program on the demo service, as the benchmarks drive it: desktop
// dialogs that answer by themselves, the catalogue's episode links, and a
// click on one of them in the page.
#include "platform/user_dialogs.h"

#include <QString>
#include <QVariant>
#include <string>
#include <vector>

namespace qarvel::web {
class WebPane;
}

namespace qarvel::bench {

// Message boxes and the shell's "Open" would wait for a person or start other
// programs; here they are only reported, prefixed with the benchmark's name.
class QuietDesktop : public platform::UserDialogs, public platform::Shell {
public:
    explicit QuietDesktop(const char* name) : name_(name) {}
    bool askYesNo(const QString& title, const QString& text) override;
    void inform(const QString& title, const QString& text) override;
    QString pickFolder(const QString&, const QString& title) override;
    bool openUrl(const QString& address) override;
    bool startDetached(const QString& program, const QStringList&) override;

private:
    const char* name_;
};

struct EpisodeLink {
    std::string href;  // the catalogue's "zuvovod://" link
    std::string clip;  // the file in the media folder
    int source = 0;
    int episode = 0;
};

// The released episodes of the series' first source, in order.
std::vector<EpisodeLink> playableEpisodes(int seriesId);

// The script's result, or an invalid value when the page did not answer in time.
QVariant runScript(web::WebPane* pane, const QString& script);

// A user's click on the link: the page's own link handling runs. The script
// answers whether the link was there.
QString clickScript(const std::string& href);

}  // namespace qarvel::bench
