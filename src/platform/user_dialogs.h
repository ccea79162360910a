#pragma once
// Message boxes and the shell's "Open", behind an interface tests can answer.
#include <QString>
#include <QStringList>

namespace qarvel::platform {

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // Question box with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& title, const QString& text) = 0;
    // Information box with an OK button.
    virtual void inform(const QString& title, const QString& text) = 0;
    // The desktop's folder picker, opened at start; the chosen folder, or
    // empty text when the user cancels. No trailing separator but the root's.
    virtual QString pickFolder(const QString& start, const QString& title) = 0;
    // The open-file dialog: the chosen file's full path, "" when cancelled.
    // filter: pairs of a name and its patterns, all separated by "|", the
    // patterns of one name by ";" ("影音文件|*.mp4;*.wav|所有文件|*.*").
    // Without a dialog of its own the answer is a cancel.
    virtual QString chooseFileToOpen(const QString& title, const QString& filter) {
        (void)title;
        (void)filter;
        return {};
    }
};

// The filter above in the form of Qt's file dialogs: "name (patterns);;…".
// A name without patterns is left out.
QString qtFileFilter(const QString& filter);

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a web page or folder in the user's default application.
    virtual bool openUrl(const QString& address) = 0;
    // Starts a program with an argument list and does not wait for it.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
};

class QtUserDialogs final : public UserDialogs {
public:
    bool askYesNo(const QString& title, const QString& text) override;
    void inform(const QString& title, const QString& text) override;
    QString pickFolder(const QString& start, const QString& title) override;
    QString chooseFileToOpen(const QString& title, const QString& filter) override;
};

class DesktopShell final : public Shell {
public:
    bool openUrl(const QString& address) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
};

}  // namespace qarvel::platform
