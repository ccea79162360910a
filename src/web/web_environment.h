#pragma once
// Process-wide set-up of the browser engine: start flags (before QApplication)
// and the one persistent profile every pane shares.
#include "common/program_files.h"

#include <QByteArray>
#include <QString>

class QWebEngineProfile;

namespace qarvel::web {

// Call in main() before QApplication is constructed. Sets QT_QUICK_BACKEND to
// "software" (unless already set), adds the Chromium flags below to
// QTWEBENGINE_CHROMIUM_FLAGS and sets Qt::AA_ShareOpenGLContexts.
void prepareWebEngineEnvironment();

// The Chromium flags for `existing` (the variable's current value): one
// renderer per site, no media-key handling by the browser (the player owns
// the media keys), and no sandbox when running as root, where Chromium refuses
// to start sandboxed. Flags already present are not repeated.
QByteArray chromiumFlags(const QByteArray& existing, bool runningAsRoot);

// Creates the program's profile, storing cookies, cache and local storage in
// the program's browser profile folder so the service's cookies survive a
// restart. The profile belongs to the application object and outlives every
// pane. Calling it again returns the profile already created.
QWebEngineProfile* createSharedProfile(const ProgramFiles& files);

// The profile made by createSharedProfile, or nullptr before it was called.
QWebEngineProfile* sharedProfile();

// Deletes the shared profile, which writes its cookies and storage to disk;
// left to the application object's end, the engine may already be gone and
// the last cookies lost. When a kept cookie changed lately, it waits (at most
// a second) for the engine to write them. Call after every pane is deleted
// and before the QApplication ends. Does nothing when there is no profile.
void releaseSharedProfile();

}  // namespace qarvel::web
