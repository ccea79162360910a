#include "platform/user_dialogs.h"

#include "common/logging.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QProcess>
#include <QTranslator>
#include <QUrl>

namespace qarvel::platform {

namespace {

QMessageBox::StandardButton showBox(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text,
                                    QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, owner);
    box.setTextFormat(Qt::PlainText);
    return QMessageBox::StandardButton(box.exec());
}

}  // namespace

bool QtUserDialogs::askYesNo(const QString& title, const QString& text) {
    return showBox(owner_, QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtUserDialogs::inform(const QString& title, const QString& text) {
    showBox(owner_, QMessageBox::NoIcon, title, text, QMessageBox::Ok);
}

bool QtUserDialogs::askYesNoWithQuestionMark(const QString& title, const QString& text) {
    return showBox(owner_, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtUserDialogs::informWithQuestionMark(const QString& title, const QString& text) {
    showBox(owner_, QMessageBox::Question, title, text, QMessageBox::Ok);
}

UserDialogs& QtUserDialogs::over(QWidget* window) {
    for (const auto& d : others_)
        if (d->owner_ == window) return *d;
    // A dialog opened again is a new window; the entry of a closed one is reused.
    for (const auto& d : others_)
        if (!d->owner_) {
            d->owner_ = window;
            return *d;
        }
    others_.push_back(std::make_unique<QtUserDialogs>(window));
    return *others_.back();
}

void useChineseQtTexts() {
    static QPointer<QTranslator> installed;
    if (installed || !QCoreApplication::instance()) return;
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), folder)) {
        qCWarning(lcClient, "Qt's Chinese texts are not in %s; its buttons stay English", qPrintable(folder));
        delete translator;
        return;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
}

QString QtUserDialogs::pickFolder(const QString& start, const QString& title) {
    const QString caption = title.isEmpty() ? QStringLiteral("请选择文件夹") : title;
    return QFileDialog::getExistingDirectory(owner_, caption, start, QFileDialog::ShowDirsOnly);
}

QString QtUserDialogs::chooseFileToOpen(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(owner_, title, QString(), qtFileFilter(filter));
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
