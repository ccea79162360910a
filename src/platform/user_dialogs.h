#pragma once
// Message boxes and the shell's "Open", behind an interface tests can answer.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

namespace qarvel::platform {

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // Texts are shown as they are, never as markup: many come from the
    // service or from file names.
    // Question box with Yes and No, without an icon; true for Yes.
    virtual bool askYesNo(const QString& title, const QString& text) = 0;
    // Information box with an OK button, without an icon.
    virtual void inform(const QString& title, const QString& text) = 0;
    // The same two with the question mark; a stand-in may take them as the plain ones.
    virtual bool askYesNoWithQuestionMark(const QString& title, const QString& text) { return askYesNo(title, text); }
    virtual void informWithQuestionMark(const QString& title, const QString& text) { inform(title, text); }
    // The window the boxes belong to from now on: they stay above it, centred on it.
    virtual void setOwner(QWidget* window) { (void)window; }
    // Boxes that belong to another window (a dialog's own messages).
    virtual UserDialogs& over(QWidget* window) {
        (void)window;
        return *this;
    }
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
    explicit QtUserDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    bool askYesNo(const QString& title, const QString& text) override;
    void inform(const QString& title, const QString& text) override;
    bool askYesNoWithQuestionMark(const QString& title, const QString& text) override;
    void informWithQuestionMark(const QString& title, const QString& text) override;
    void setOwner(QWidget* window) override { owner_ = window; }
    UserDialogs& over(QWidget* window) override;
    QString pickFolder(const QString& start, const QString& title) override;
    QString chooseFileToOpen(const QString& title, const QString& filter) override;

private:
    QPointer<QWidget> owner_;
    std::vector<std::unique_ptr<QtUserDialogs>> others_;  // over() of other windows
};

// Qt's own texts (standard buttons, file choosers) in Chinese, whatever the
// system's language: the whole interface is Chinese. Once per process.
void useChineseQtTexts();

class DesktopShell final : public Shell {
public:
    bool openUrl(const QString& address) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
};

}  // namespace qarvel::platform
