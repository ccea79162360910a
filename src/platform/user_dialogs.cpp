#include "platform/user_dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace qarvel::platform {

bool QtUserDialogs::askYesNo(const QString& title, const QString& text) {
    return QMessageBox::question(nullptr, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtUserDialogs::inform(const QString& title, const QString& text) {
    QMessageBox::information(nullptr, title, text, QMessageBox::Ok);
}

QString QtUserDialogs::pickFolder(const QString& start, const QString& title) {
    const QString caption = title.isEmpty() ? QStringLiteral("请选择文件夹") : title;
    return QFileDialog::getExistingDirectory(nullptr, caption, start, QFileDialog::ShowDirsOnly);
}

QString QtUserDialogs::chooseFileToOpen(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(nullptr, title, QString(), qtFileFilter(filter));
}

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& p : patterns) p = p.trimmed();
        patterns.removeAll(QString());
        if (patterns.isEmpty()) continue;
        // Qt reads the patterns from the last parentheses of an entry.
        QString name = parts[i];
        name.remove(u'(').remove(u')').remove(u';');
        entries << name + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return entries.join(QStringLiteral(";;"));
}

bool DesktopShell::openUrl(const QString& address) {
    // A plain folder path opens in the file manager, as a web address in the browser.
    const QFileInfo info(address);
    const QUrl url =
        info.isAbsolute() && info.exists() ? QUrl::fromLocalFile(address) : QUrl(address, QUrl::TolerantMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool DesktopShell::startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

}  // namespace qarvel::platform
