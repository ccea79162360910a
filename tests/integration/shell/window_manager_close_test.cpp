// On an X server with a real window manager: its close (Alt+F4, which it
// turns into WM_DELETE_WINDOW) in the program as main() builds it takes the
// close button's path: the question the first time, then the tray or the exit
// as answered. The application's own close of every window is never asked.
// The always-on-top button has the window manager keep the window above.
#include "program_harness.h"
#include "support/x_server.h"
#include "window/window_settings.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

using namespace playtest;
using namespace qarvel;

namespace {

const auto* const kXServer = ::testing::AddGlobalTestEnvironment(
    new qarvel::test::XServer([] { app(); }, qarvel::test::XServer::kScreen, qarvel::test::WithWindowManager));

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

// The user's Alt+F4 to the window, made active first: the window manager
// sends the close.
bool windowManagerClose(QWidget* window) {
    window->activateWindow();
    if (!waitUntil([&] { return window->isActiveWindow(); }, 5000)) return false;
    return qarvel::test::xdotool({QStringLiteral("key"), QStringLiteral("alt+F4")});
}

// Whether the window manager lists "above" in the window's _NET_WM_STATE.
bool keptAbove(QWidget* window) {
    xcb_connection_t* connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, xcb_window_t(window->winId()),
                                                atom(connection, "_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 32),
                               nullptr);
    if (!reply) return false;
    const auto* states = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    const int count = xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t));
    const xcb_atom_t above = atom(connection, "_NET_WM_STATE_ABOVE");
    const bool found = std::find(states, states + count, above) != states + count;
    std::free(reply);
    return found;
}

const QString kQuestion = QStringLiteral("提示：|关闭 Qarvel影视盒  最小化到托盘吗？");

}  // namespace

TEST(WindowManagerClose, TakesTheCloseButtonsPathAndTheApplicationsCloseIsNotAsked) {
    svc::DemoService service;
    ASSERT_TRUE(service.start());
    Program p(service.baseUrl(), {{"ts", "3"}, {"quit", "2"}});
    ASSERT_TRUE(p.started);
    qarvel::MainWindow& w = p.window();
    ASSERT_TRUE(waitUntil([&] { return w.isVisible() && w.windowHandle() && w.windowHandle()->isExposed(); }));

    // Closing every window from inside (as the application's quit does) asks nothing.
    QApplication::closeAllWindows();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(p.dialogs.asked.isEmpty());
    w.showNormal();
    ASSERT_TRUE(waitUntil([&] { return w.windowHandle()->isExposed(); }));

    // First time: the question; "yes" puts the window away (minimised: this
    // X server has no tray) and keeps the program running.
    p.dialogs.answer = true;
    ASSERT_TRUE(windowManagerClose(&w));
    ASSERT_TRUE(waitUntil([&] { return !p.dialogs.asked.isEmpty(); }, 5000));
    EXPECT_EQ(p.dialogs.asked, QStringList{kQuestion});
    EXPECT_TRUE(waitUntil([&] { return !w.isVisible() || w.isMinimized(); }));
    EXPECT_EQ(p.ended, 0);
    EXPECT_EQ(w.settings().read("S_q", "ts", {}), "1");

    // Answered "exit" in the settings: the next close ends the program, unasked.
    w.showNormal();
    ASSERT_TRUE(waitUntil([&] { return w.isVisible() && !w.isMinimized(); }));
    w.settings().write("S_q", "quit", "1");
    ASSERT_TRUE(windowManagerClose(&w));
    EXPECT_TRUE(waitUntil([&] { return p.ended == 1; }, 5000));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(p.dialogs.asked.size(), 1);
}

TEST(AlwaysOnTop, TheWindowManagerKeepsTheWindowAbove) {
    svc::DemoService service;
    ASSERT_TRUE(service.start());
    Program p(service.baseUrl());
    ASSERT_TRUE(p.started);
    qarvel::MainWindow& w = p.window();
    w.showNormal();
    ASSERT_TRUE(waitUntil([&] { return w.windowHandle() && w.windowHandle()->isExposed(); }));
    EXPECT_FALSE(keptAbove(&w));
    QTest::mouseClick(p.c().windowButtons[WindowButton::AlwaysOnTop], Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_TRUE(waitUntil([&] { return keptAbove(&w); }, 5000));
    EXPECT_TRUE(w.isVisible());
    QTest::mouseClick(p.c().windowButtons[WindowButton::AlwaysOnTop], Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_TRUE(waitUntil([&] { return !keptAbove(&w); }, 5000));
}
