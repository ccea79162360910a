#include "web/web_pane.h"

#include "web/link_capture.h"
#include "web/program_links.h"
#include "web/web_environment.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QPointer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace qarvel::web {

// Stands in for the window a page asks for: it takes the new window's first
// navigation, hands its address to the pane and loads nothing. A request that
// never navigates leaves it to go with the pane.
class NewWindowCatcher : public QWebEnginePage {
public:
    NewWindowCatcher(QWebEngineProfile* profile, WebPane* pane) : QWebEnginePage(profile, pane), pane_(pane) {
        // Some requests name their address only as the page's URL.
        connect(this, &QWebEnginePage::urlChanged, this, [this](const QUrl& url) { report(url); });
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        if (isMainFrame) report(url);
        return false;
    }

private:
    void report(const QUrl& url) {
        if (done_ || url.isEmpty() || url.toString() == QLatin1String("about:blank")) return;
        done_ = true;
        // After the engine's call has returned: the listener may close the pane.
        QMetaObject::invokeMethod(
            pane_,
            [pane = QPointer<WebPane>(pane_), address = url.toString()] {
                if (pane) emit pane->newWindowRequested(address);
            },
            Qt::QueuedConnection);
        deleteLater();
    }

    WebPane* pane_;
    bool done_ = false;
};

class PanePage : public QWebEnginePage {
public:
    PanePage(QWebEngineProfile* profile, WebPane* pane) : QWebEnginePage(profile, pane), pane_(pane) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        // Loads, document writes and reloads started by the program have
        // already been through the hook in navigate() or need none.
        if (isMainFrame && (type == NavigationTypeTyped || type == NavigationTypeReload)) return true;
        // The sentinel can arrive here too (a redirect, a history step); it
        // is never loaded, whatever the hook answers.
        const QString address = url.toString();
        const bool cancel = pane_->askHook(address) || isProgramAddress(address);
        if (cancel && isMainFrame) pane_->cancelledUrl_ = url;
        return !cancel;
    }

    QWebEnginePage* createWindow(WebWindowType) override { return new NewWindowCatcher(profile(), pane_); }

    // Silent: pages never raise dialogs of their own.
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&) override {
        // Handled from the event loop, not inside the engine's callback: the
        // handlers may show message boxes and let window events run.
        if (!message.startsWith(scriptTag())) return;
        QMetaObject::invokeMethod(
            pane_, [pane = pane_, message] { pane->handleScriptMessage(message); }, Qt::QueuedConnection);
    }

private:
    WebPane* pane_;
};

QUrl addressToUrl(const QString& address) {
    const QString text = address.trimmed();
    if (text.isEmpty()) return {};
    if (text.startsWith(QLatin1Char('/'))) return QUrl::fromLocalFile(text);
    QUrl url(text, QUrl::TolerantMode);
    if (url.scheme().isEmpty()) url = QUrl::fromUserInput(text);
    return url;
}

WebPane::WebPane(QWidget* parent, QWebEngineProfile* profile) : QWebEngineView(parent) {
    if (!profile) profile = sharedProfile();
    if (!profile) profile = QWebEngineProfile::defaultProfile();
    page_ = new PanePage(profile, this);

    QWebEngineSettings* settings = page_->settings();
    // The service's pages and the program's list pages are GBK and may not say so.
    settings->setDefaultTextEncoding(QStringLiteral("GBK"));
    // The web player page starts its video by itself.
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);

    QWebEngineScript capture;
    capture.setName(QStringLiteral("qarvel-link-capture"));
    capture.setInjectionPoint(QWebEngineScript::DocumentCreation);
    capture.setWorldId(QWebEngineScript::ApplicationWorld);
    capture.setRunsOnSubFrames(true);
    capture.setSourceCode(linkCaptureScript(scriptTag()));
    page_->scripts().insert(capture);

    setPage(page_);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    connect(page_, &QWebEnginePage::loadingChanged, this, &WebPane::handleLoading);
}

void WebPane::setNavigationHook(NavigationHook hook) { hook_ = std::move(hook); }

bool WebPane::askHook(const QString& rawAddress) {
    // A copy: the hook may navigate this pane again, or replace itself.
    const NavigationHook hook = hook_;
    return hook ? hook(rawAddress) : false;
}

void WebPane::navigate(const QString& address) {
    if (isProgramAddress(address)) {
        askHook(address);
        return;
    }
    sent_ = true;
    const QUrl url = addressToUrl(address);
    if (!url.isValid()) {
        emit navigateError(address);
        return;
    }
    if (askHook(address)) return;
    load(url);
}

void WebPane::writeDocument(const QString& html) {
    sent_ = true;
    setHtml(html, QUrl(QStringLiteral("about:blank")));
}

void WebPane::refresh() { page_->triggerAction(QWebEnginePage::Reload); }

void WebPane::handleLoading(const QWebEngineLoadingInfo& info) {
    // A navigation the hook cancelled still starts and stops inside the
    // engine; the panes never hear of it.
    if (!cancelledUrl_.isEmpty() && info.url() == cancelledUrl_) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            hidingCancelled_ = true;
            return;
        }
        if (hidingCancelled_) {
            hidingCancelled_ = false;
            cancelledUrl_.clear();
            return;
        }
    }
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus: emit downloadBegin(); break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        emit navigateError(info.url().toString());
        emit downloadComplete();
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
    case QWebEngineLoadingInfo::LoadStoppedStatus: emit downloadComplete(); break;
    }
}

void WebPane::handleScriptMessage(const QString& message) {
    const ScriptMessage msg = parseScriptMessage(message, scriptTag());
    switch (msg.kind) {
    case ScriptMessage::Link: askHook(msg.text); break;
    case ScriptMessage::ContextMenu: {
        // Positions inside a frame are relative to that frame: the cursor is
        // the better guess there.
        QPoint global = QCursor::pos();
        if (msg.topFrame) {
            const qreal zoom = zoomFactor() > 0 ? zoomFactor() : 1.0;
            global = mapToGlobal(QPoint(qRound(msg.clientPos.x() * zoom), qRound(msg.clientPos.y() * zoom)));
        }
        emit contextMenuRequested(msg.text, global);
        break;
    }
    case ScriptMessage::None: break;
    }
}

void WebPane::contextMenuEvent(QContextMenuEvent* event) {
    // The browser's own menu never shows; the capture script reports the
    // right-click even on pages that cancel it (the list pages do).
    event->accept();
}

}  // namespace qarvel::web
