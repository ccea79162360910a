// The window manager's close (its close button, Alt+F4: WM_DELETE_WINDOW from
// the X server) in the program as main() builds it takes the close button's
// path: the question the first time, then the tray or the exit as answered.
// The application's own close of every window is never asked.
#include "program_harness.h"
#include "support/x_server.h"
#include "window/window_settings.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

using namespace playtest;

namespace {

const auto* const kXServer = ::testing::AddGlobalTestEnvironment(new qarvel::test::XServer([] { app(); }));

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

// What a window manager sends when the user closes the window.
bool windowManagerClose(QWidget* window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return false;
    xcb_connection_t* connection = x11->connection();
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window->winId());
    message.type = atom(connection, "WM_PROTOCOLS");
    message.data.data32[0] = atom(connection, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    return xcb_flush(connection) > 0;
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
