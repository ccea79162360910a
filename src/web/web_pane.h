#pragma once
// One browser pane of the main window (Web1 … Web11): a QWebEngineView whose
// page hands every navigation to a hook before it happens, never shows the
// browser's own dialogs or context menu, and reports loads the way the panes'
// handlers expect them (download begin/complete, navigation error).
#include "state/window_ids.h"

#include <QPoint>
#include <QString>
#include <QWebEngineView>
#include <array>
#include <functional>

class QWebEngineLoadingInfo;
class QWebEngineProfile;

namespace qarvel::web {

class PanePage;

class WebPane : public QWebEngineView {
    Q_OBJECT
public:
    // Called before every navigation with the address as text; returns true
    // to cancel. Program links and the sentinel arrive exactly as the page or
    // the program wrote them and are never loaded, whatever the answer.
    using NavigationHook = std::function<bool(const QString& rawAddress)>;

    // `profile` nullptr: the shared profile when it exists, else Qt's default.
    explicit WebPane(QWidget* parent = nullptr, QWebEngineProfile* profile = nullptr);

    void setNavigationHook(NavigationHook hook);

    // Navigate / Navigate2. A program link or the sentinel goes straight to
    // the hook. Anything else goes to the hook too and is loaded unless it
    // cancels; an absolute local path is loaded as a file. Use this, not
    // load()/setUrl(): loads the program starts itself are not asked again.
    void navigate(const QString& address);
    // Writes an HTML text into an empty document.
    void writeDocument(const QString& html);
    // Reloads the current document, without asking the hook.
    void refresh();
    // True once the pane was sent to a page (program links do not count).
    bool wasSent() const { return sent_; }

signals:
    void downloadBegin();
    void downloadComplete();
    // A failed load or an HTTP error status of the main frame.
    void navigateError(const QString& address);
    // A right-click (or the menu key) in the pane: the raw href of the link
    // under the mouse, empty when there is none, and the screen position.
    void contextMenuRequested(const QString& activeHref, const QPoint& globalPos);
    // The page opened a new window (a link with a target, window.open) for
    // this address. No window of ours is made and nothing is loaded; what
    // happens is up to whoever listens.
    void newWindowRequested(const QString& address);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    friend class PanePage;
    friend class NewWindowCatcher;
    // Runs the hook; true when the navigation is to be cancelled.
    bool askHook(const QString& rawAddress);
    void handleLoading(const QWebEngineLoadingInfo& info);
    void handleScriptMessage(const QString& message);

    PanePage* page_ = nullptr;
    NavigationHook hook_;
    QUrl cancelledUrl_;  // last main-frame navigation the hook cancelled
    bool hidingCancelled_ = false;
    bool sent_ = false;
};

// The eleven panes, Web1 at index 0 … Web11 at index 10 (paneSlot).
using PaneSet = std::array<WebPane*, kPaneCount>;

// Address of a pane's navigation as a URL: absolute paths become file URLs.
QUrl addressToUrl(const QString& address);

}  // namespace qarvel::web
