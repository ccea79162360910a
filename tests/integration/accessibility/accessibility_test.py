#!/usr/bin/python3
"""What a screen reader finds in the window, read through AT-SPI.

Usage: accessibility_test.py CLIENT FILM

Everything runs on buses of the test's own: a message bus with no service
files, the accessibility bus its launcher starts on it (with the registry), an
Xvfb screen. The client plays FILM on the demo service. Through AT-SPI:

- the window's controls carry their Chinese names and roles (buttons, tabs,
  bars, the status and time captions), and none of them is nameless;
- the play button's "press" pauses the film ("暂停" becomes "播放") and the
  one of "播放" plays it again;
- with the focus on the play button, Tab moves it to the stop button and
  Shift+Tab back; Enter and Space (real key events) press the focused button.
"""

import os
import subprocess
import sys
import tempfile
import time

CLIENT, FILM = sys.argv[1], sys.argv[2]
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>session</type><listen>unix:dir=%s</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>
"""


def fail(text):
    print("FAIL:", text)
    sys.exit(1)


def wait_for(what, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        found = what()
        if found:
            return found
        time.sleep(0.2)
    return what()


def start(args, env, **kw):
    return subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL, **kw)


def main(work, started):
    conf = os.path.join(work, "bus.conf")
    with open(conf, "w") as f:
        f.write(BUS_CONFIG % work)
    bus = start(["dbus-daemon", "--nofork", "--print-address=1", "--config-file=" + conf], os.environ,
                stdout=subprocess.PIPE)
    started.append(bus)
    address = bus.stdout.readline().decode().strip()
    xvfb = start(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"], os.environ,
                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    started.append(xvfb)
    display = ":" + xvfb.stdout.readline().decode().strip()
    env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address, DISPLAY=display, QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QTWEBENGINE_DISABLE_SANDBOX="1")
    started.append(start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately", "--a11y=1"], env))
    log = open(os.path.join(work, "client.log"), "wb")
    started.append(start([CLIENT, "--home", os.path.join(work, "home"), "--demo", FILM], env,
                         stdout=log, stderr=subprocess.STDOUT))

    os.environ.update(env)
    import pyatspi  # after the address: it connects on import

    def window():
        for app in pyatspi.Registry.getDesktop(0):
            for child in app or []:
                if child and child.name == "Qarvel影视盒":
                    return child
        return None

    frame = wait_for(window)
    if not frame:
        fail("the window is not on the accessibility bus")

    def controls():
        """(role, name, description, object) of every control outside the browser panes."""
        found, todo = [], [frame]
        while todo:
            node = todo.pop()
            for child in node:
                if child is None:
                    continue
                role = child.getRole()
                if role in (pyatspi.ROLE_DOCUMENT_WEB, pyatspi.ROLE_DOCUMENT_FRAME):
                    continue
                found.append((role, child.name, child.description, child))
                todo.append(child)
        return found

    def find(role, name):
        return wait_for(lambda: next((o for r, n, _, o in controls() if r == role and n == name), None), 20)

    B, TAB, SLIDER, LABEL = pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_SLIDER, pyatspi.ROLE_LABEL
    if not find(B, "暂停"):
        fail("the film does not play: no button named 暂停 among %s" % [(r.value_nick, n) for r, n, _, _ in controls()])
    seen = controls()
    names = {(r, n) for r, n, _, _ in seen}
    wanted = [(B, n) for n in ("最小化", "最大化", "关闭", "精简模式", "置顶", "菜单", "暂停", "停止", "静音", "全屏",
                               "打开文件", "上一集", "下一集", "侧栏", "关闭侧栏")]
    wanted += [(TAB, n) for n in ("影视", "播放", "电视", "精彩", "剧集列表", "网络任务", "本地播放")]
    wanted += [(SLIDER, "播放进度"), (SLIDER, "音量")]
    missing = [n for r, n in wanted if (r, n) not in names]
    if missing:
        fail("not found by name and role: %s" % missing)
    nameless = [r for r, n, _, _ in seen if r in (B, TAB, SLIDER) and not n]
    if nameless:
        fail("%d buttons, tabs or bars without a name" % len(nameless))
    described = {d for r, _, d, _ in seen if r == LABEL}
    if not {"状态", "播放时间"} <= described:
        fail("the status and time captions are not told apart: %s" % sorted(described))

    def act(button, action):
        actions = button.queryAction()
        actions.doAction(next(i for i in range(actions.nActions) if actions.getName(i) == action))

    def press(name, becomes):
        act(find(B, name), "Press")
        if not find(B, becomes):
            fail("pressing %s through AT-SPI did not make it %s" % (name, becomes))

    press("暂停", "播放")
    press("播放", "暂停")
    print("AT-SPI: names and roles found, 暂停 and 播放 pressed")

    # The keyboard: focus on the play button, Tab and Shift+Tab, Enter and Space.
    def focused():
        return next((n for r, n, _, o in controls() if o.getState().contains(pyatspi.STATE_FOCUSED)), None)

    def key(name):
        subprocess.run(["xdotool", "key", name], env=env, check=True)

    xid = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Qarvel"], env=env, capture_output=True,
                         text=True).stdout.split()
    if not xid:
        fail("no X window")
    subprocess.run(["xdotool", "windowfocus", "--sync", xid[0]], env=env, check=True)
    act(find(B, "暂停"), "SetFocus")
    if wait_for(focused, 10) != "暂停":
        fail("the play button does not take the focus: %s" % focused())
    for step, then in (("Tab", "停止"), ("shift+Tab", "暂停")):
        key(step)
        if not wait_for(lambda: focused() == then, 10):
            fail("%s went to %s, not %s" % (step, focused(), then))
    key("Return")
    if not find(B, "播放"):
        fail("Enter on the play button did not pause")
    key("space")
    if not find(B, "暂停"):
        fail("Space on the play button did not play")
    print("keyboard: focus order and Enter/Space ok")


with tempfile.TemporaryDirectory() as work:
    started = []
    try:
        main(work, started)
    except SystemExit:
        # What the client said tells a failure of its own from one of the bus.
        client_log = os.path.join(work, "client.log")
        if os.path.exists(client_log):
            with open(client_log, "rb") as f:
                print(f.read()[-4000:].decode(errors="replace"))
        raise
    finally:
        for p in reversed(started):
            p.terminate()
            try:
                p.wait(10)
            except subprocess.TimeoutExpired:
                p.kill()
print("accessibility: ok")
