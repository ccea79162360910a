#include "web/link_capture.h"

#include "common/build_config.h"
#include "web/program_links.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>

namespace qarvel::web {

namespace {

// Links are taken from clicks (raw attribute text) and cancelled at the
// navigation itself (Navigation API), so a page that prevents a click's
// default keeps the browser's meaning: no navigation, nothing handed over.
// Script navigations (location.href = "zvqvod://…", window.location = …) are
// caught by the same navigate event, with the address as the browser parsed it.
const char kScript[] = R"JS((function () {
  'use strict';
  var TAG = %TAG%;
  var SCHEMES = %SCHEMES%;
  var SENTINEL = %SENTINEL%;
  var log = console.log.bind(console);
  function trim(s) { return String(s).replace(/^\s+|\s+$/g, ''); }
  function isSentinel(s) { return s.indexOf(SENTINEL) >= 0; }
  function isProgramLink(s) {
    for (var i = 0; i < SCHEMES.length; i++) { if (s.indexOf(SCHEMES[i]) === 0) return true; }
    return isSentinel(s);
  }
  function send(kind, text) { try { log(TAG + kind + text); } catch (e) {} }
  function linkOf(node) {
    for (; node; node = node.parentNode) {
      if (node.nodeType === 1 && (node.localName === 'a' || node.localName === 'area') &&
          node.hasAttribute('href')) return node;
    }
    return null;
  }
  function opensElsewhere(a) {
    var t = trim(a.getAttribute('target') || '').toLowerCase();
    return t !== '' && t !== '_self';
  }
  var hasNavigationApi = !!(window.navigation && window.navigation.addEventListener);
  var pending = null;
  window.addEventListener('click', function (e) {
    pending = null;
    var a = linkOf(e.target);
    if (!a) return;
    var raw = trim(a.getAttribute('href'));
    if (!isProgramLink(raw)) return;
    pending = { raw: raw, href: a.href, link: a };
  }, true);
  window.addEventListener('click', function (e) {
    var p = pending;
    if (!p || e.defaultPrevented) return;
    // A link aimed at another window never reaches this document's navigate event.
    if (hasNavigationApi && !opensElsewhere(p.link)) return;
    pending = null;
    e.preventDefault();
    send('L', p.raw);
  }, false);
  if (hasNavigationApi) {
    window.navigation.addEventListener('navigate', function (e) {
      var url = String(e.destination.url), p = pending;
      pending = null;
      var raw = (p && p.href === url) ? p.raw : url;
      if (!isProgramLink(raw)) return;
      if (e.cancelable) {
        e.preventDefault();
        send('L', raw);
      } else if (!isSentinel(raw)) {
        // Not cancelable: the browser cannot load these schemes anyway. The
        // sentinel is an http address and reaches the pane through the browser.
        send('L', raw);
      }
    });
  }
  window.addEventListener('contextmenu', function (e) {
    var a = linkOf(e.target);
    var href = a ? trim(a.getAttribute('href')) : '';
    send('C', (window.top === window ? '1' : '0') + ',' + Math.round(e.clientX) + ',' +
              Math.round(e.clientY) + ',' + href);
  }, true);
})();)JS";

QString jsString(const QString& text) {
    // A JSON array of one string is a valid script literal once the brackets go.
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

}  // namespace

const QString& scriptTag() {
    static const QString tag = [] {
        QString t = QStringLiteral("\x01qarvel-");
        for (int i = 0; i < 4; ++i) t += QString::number(QRandomGenerator::system()->generate(), 36);
        return t + QLatin1Char(':');
    }();
    return tag;
}

QString linkCaptureScript(const QString& tag) {
    QJsonArray schemes;
    for (const QString& s : programSchemes()) schemes.append(s);
    QString script = QString::fromLatin1(kScript);
    script.replace(QLatin1String("%TAG%"), jsString(tag));
    script.replace(QLatin1String("%SCHEMES%"),
                   QString::fromUtf8(QJsonDocument(schemes).toJson(QJsonDocument::Compact)));
    script.replace(QLatin1String("%SENTINEL%"), jsString(QLatin1String(config::kSentinelHost)));
    return script;
}

ScriptMessage parseScriptMessage(const QString& message, const QString& tag) {
    ScriptMessage result;
    if (tag.isEmpty() || !message.startsWith(tag) || message.size() <= tag.size()) return result;
    const QChar kind = message.at(tag.size());
    const QString body = message.mid(tag.size() + 1);
    if (kind == QLatin1Char('L')) {
        if (body.isEmpty()) return result;
        result.kind = ScriptMessage::Link;
        result.text = body;
    } else if (kind == QLatin1Char('C')) {
        // "top,x,y,href"; the href may itself hold commas.
        const QStringList head = body.section(QLatin1Char(','), 0, 2).split(QLatin1Char(','));
        if (head.size() != 3) return result;
        bool okX = false, okY = false;
        const int x = head[1].toInt(&okX);
        const int y = head[2].toInt(&okY);
        if (!okX || !okY) return result;
        result.kind = ScriptMessage::ContextMenu;
        result.topFrame = head[0] == QLatin1String("1");
        result.clientPos = QPoint(x, y);
        result.text = body.section(QLatin1Char(','), 3);
    }
    return result;
}

}  // namespace qarvel::web
