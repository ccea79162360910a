#pragma once
// The script every pane runs at document creation, in every frame and in a
// world of its own: it hands the program's links to the pane exactly as the
// page wrote them (QUrl cannot carry "zvqvod://qvod&&&http%3A//h/%u4E2D&&&…"),
// and reports right-clicks. It talks to the pane through console messages
// that start with a tag chosen at random per process, which the page's own
// scripts cannot see.
#include <QPoint>
#include <QString>

namespace qarvel::web {

struct ScriptMessage {
    enum Kind { None, Link, ContextMenu };
    Kind kind = None;
    QString text;           // Link: the raw link; ContextMenu: raw href of the link under the mouse, or empty
    bool topFrame = false;  // ContextMenu: the click was in the top document
    QPoint clientPos;       // ContextMenu: position in the document's viewport, CSS pixels
};

// The tag of this process.
const QString& scriptTag();

// Source of the capture script for `tag`.
QString linkCaptureScript(const QString& tag);

// Decodes a console message; kind None when it is not one of ours.
ScriptMessage parseScriptMessage(const QString& message, const QString& tag);

}  // namespace qarvel::web
