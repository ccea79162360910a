#!/usr/bin/python3
"""The window's art at scale 2 is drawn at 2x, and other scales keep the layout.

Usage: screen_scale_test.py CLIENT

Each run starts the client with the demo service on an Xvfb screen of its own
and takes the window from the screen (ImageMagick's import). The title band's
tabs and buttons (right of the caption, which Qt draws itself) are compared:

- at scale 2 the art has detail finer than a logical pixel: with 1x art only,
  each logical pixel is a flat 2 x 2 block, so no edge falls inside a block;
- its edges are steeper than those of the 1x art scaled up smoothly;
- at 1.25 and 1.5 the window is the 1x window, enlarged: scaled back down, its
  title band and control bar match the 1x run's.
"""

import os
import subprocess
import sys
import tempfile
import time

from PIL import Image

CLIENT = sys.argv[1]
TITLE_ROWS = 37   # the tabs' height, in logical pixels
ART_LEFT = 200    # the first tab; the caption lies left of it
BAR_ROWS = 45     # the control bar and the frame under it


def fail(text):
    print("FAIL:", text)
    sys.exit(1)


def window_shot(scale, work):
    """The client's window at the given QT_SCALE_FACTOR, as the screen shows it."""
    server = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "3200x2000x24", "-nolisten", "tcp"],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    client = None
    try:
        display = ":" + server.stdout.readline().decode().strip()
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_SCALE_FACTOR=str(scale),
                   QTWEBENGINE_DISABLE_SANDBOX="1", DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent/x")
        env.pop("QT_SCREEN_SCALE_FACTORS", None)
        home = os.path.join(work, "home-%s" % scale)
        log = open(os.path.join(work, "run-%s.log" % scale), "wb")
        client = subprocess.Popen([CLIENT, "--home", home, "--demo", "--quit-after", "60000"], env=env,
                                  stdout=log, stderr=subprocess.STDOUT)
        window = None
        for _ in range(60):
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Qarvel"], env=env,
                                   capture_output=True, text=True).stdout.split()
            if found:
                window = found[0]
                break
            if client.poll() is not None:
                fail("the client ended at scale %s" % scale)
            time.sleep(0.5)
        if window is None:
            fail("no window at scale %s" % scale)
        time.sleep(3)  # the first paints
        path = os.path.join(work, "window-%s.png" % scale)
        subprocess.run(["import", "-window", window, path], env=env, check=True)
        return Image.open(path).convert("L")
    finally:
        if client:
            client.terminate()
            client.wait(10)
        server.terminate()
        server.wait(10)


def edge_energy(img):
    """Mean squared step between neighbours in a row: (inside 2 x 2 blocks, across them)."""
    w, h = img.size
    px = img.load()
    inside = across = 0
    for y in range(h):
        for x in range(w - 1):
            d = (px[x + 1, y] - px[x, y]) ** 2
            if x % 2 == 0:
                inside += d
            else:
                across += d
    return inside / (w * h), across / (w * h)


def mean_difference(a, b):
    pa, pb = a.load(), b.load()
    w, h = a.size
    return sum(abs(pa[x, y] - pb[x, y]) for y in range(h) for x in range(w)) / (w * h)


def chrome(img):
    """The title band and the control bar, side by side."""
    w, h = img.size
    top = img.crop((0, 0, w, TITLE_ROWS))
    bottom = img.crop((0, h - BAR_ROWS, w, h))
    out = Image.new("L", (w, TITLE_ROWS + BAR_ROWS))
    out.paste(top, (0, 0))
    out.paste(bottom, (0, TITLE_ROWS))
    return out


def main():
    with tempfile.TemporaryDirectory() as work:
        one = window_shot(1, work)
        two = window_shot(2, work)
        W, H = one.size
        if two.size != (2 * W, 2 * H):
            fail("window at scale 2 is %s, at 1 %s" % (two.size, one.size))
        art = (ART_LEFT, 0, W - 2, TITLE_ROWS)
        sharp = two.crop(tuple(2 * v for v in art))
        inside, across = edge_energy(sharp)
        small = one.crop(art)
        smooth_in, smooth_across = edge_energy(small.resize((small.width * 2, small.height * 2), Image.BILINEAR))
        print("scale 2: inside blocks %.1f, across %.1f; 1x smoothly enlarged: %.1f, %.1f"
              % (inside, across, smooth_in, smooth_across))
        if inside < 0.25 * (inside + across):
            fail("the art at scale 2 has no detail finer than a logical pixel (1x art enlarged)")
        if inside + across < 2 * (smooth_in + smooth_across):
            fail("the art at scale 2 is no sharper than the 1x art enlarged smoothly")

        for scale in (1.25, 1.5):
            shot = window_shot(scale, work)
            expected = (round(W * scale), round(H * scale))
            if abs(shot.width - expected[0]) > 1 or abs(shot.height - expected[1]) > 1:
                fail("window at scale %s is %s, expected about %s" % (scale, shot.size, expected))
            back = chrome(shot.resize((W, H), Image.BILINEAR))
            diff = mean_difference(back, chrome(one))
            print("scale %s: chrome differs from 1x by %.1f" % (scale, diff))
            if diff > 12:
                fail("the window's chrome at scale %s does not match the 1x layout" % scale)
    print("screen scales: ok")


main()
