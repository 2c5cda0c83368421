#!/usr/bin/python3
"""The page as a player meets it: headless Chromium, the page served by a plain static server.
The title is pixel for pixel the desktop's (the headless host's picture of it), shown at a whole
scale of device pixels at ratios 1 and 2; Enter shows "0*", X then "1*", and so does a tap on
the touch screen's Enter button, and so do a pad's Start then west button (a scripted pad of the
standard layout, read only while it is connected); the page asks nothing of any other host, and says so when the
browser has no WebAssembly.

usage: page_test.py <page folder> <Linux kestrilon-headless> <glyph folder>
Exit code 77 (skipped) when Chromium, ImageMagick or the Linux headless runner is missing."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "devtools"))
from devtools import Session, wait_for  # noqa: E402

WIDTH, HEIGHT = 392, 88

page_folder, headless, glyphs = (os.path.abspath(arg) for arg in sys.argv[1:4])
for tool in ("chromium", "convert"):
    if not shutil.which(tool):
        print("SKIPPED: no %s" % tool)
        sys.exit(77)
if not os.access(headless, os.X_OK):
    print("SKIPPED: no Linux headless runner at %s (build the default preset)" % headless)
    sys.exit(77)


class Picture:
    """RGB pixels of any file ImageMagick reads."""

    def __init__(self, data):
        ppm = subprocess.run(["convert", "-", "-depth", "8", "ppm:-"], input=data,
                             capture_output=True, check=True).stdout
        head = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        self.width, self.height = int(head[1]), int(head[2])
        self.rgb = ppm[head.end():]

    def pixel(self, x, y):
        at = 3 * (y * self.width + x)
        return self.rgb[at:at + 3]

    def region(self, x, y, width, height):
        return [self.pixel(x + i, y + j) for j in range(height) for i in range(width)]


def enlarged(rgb, width, scale):
    rows = [rgb[3 * width * y:3 * width * (y + 1)] for y in range(len(rgb) // (3 * width))]
    return b"".join(b"".join(row[3 * x:3 * x + 3] * scale for x in range(width)) * scale for row in rows)


def lcd_of(shot, ratio):
    """The LCD's logical picture in a screenshot of the canvas, when the screenshot is that
    picture enlarged by a whole scale of at least `ratio` (each logical pixel a block of one
    colour); else None."""
    scale = shot.width // WIDTH
    if scale < ratio or (shot.width, shot.height) != (WIDTH * scale, HEIGHT * scale):
        return None
    lcd = Picture.__new__(Picture)
    lcd.width, lcd.height = WIDTH, HEIGHT
    lcd.rgb = b"".join(shot.pixel(x * scale, y * scale) for y in range(HEIGHT) for x in range(WIDTH))
    return lcd if enlarged(lcd.rgb, WIDTH, scale) == shot.rgb else None


def desktop_title():
    with tempfile.TemporaryDirectory() as work:
        shot = os.path.join(work, "title.ppm")
        subprocess.run([headless], input=("1000 snapshot %s\n" % shot).encode(), check=True,
                       cwd=os.path.dirname(headless), stdout=subprocess.DEVNULL)
        return Picture(open(shot, "rb").read())


# A pad of the standard layout in place of the browser's: navigator.getGamepads answers with it
# and counts its calls, pad.press(button, down) holds or lets go a button, pad.unplug() takes it
# away.
PAD = """(() => {
    const buttons = Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}));
    const gamepad = {id: "scripted pad", index: 0, connected: true, mapping: "standard",
                     timestamp: 0, axes: [0, 0, 0, 0], buttons: buttons};
    const pad = {reads: 0};
    Object.defineProperty(navigator, "getGamepads", {value: () => { ++pad.reads; return [gamepad]; }});
    const announce = (kind) => {
        const event = new Event(kind);
        event.gamepad = gamepad;
        window.dispatchEvent(event);
    };
    pad.press = (button, down) => { buttons[button].pressed = down; buttons[button].value = down ? 1 : 0; };
    pad.unplug = () => { gamepad.connected = false; announce("gamepaddisconnected"); };
    window.pad = pad;
    announce("gamepadconnected");
})()"""


def press_pad(page, button):
    for down in ("true", "false"):
        page.evaluate("pad.press(%d, %s)" % (button, down))
        time.sleep(0.15)


failures = 0


def check(what, ok):
    global failures
    print(("ok: " if ok else "FAILED: ") + what)
    failures += 0 if ok else 1


def canvas_shows(page, expected, ratio):
    """The canvas is `expected` enlarged by a whole scale of device pixels."""
    def matches():
        lcd = lcd_of(Picture(page.screenshot("#kestrilon")), ratio)
        return lcd is not None and lcd.rgb == expected.rgb
    return wait_for(matches, 15, step=0.2)


def cells_show(page, text):
    """The LCD's first cells show exactly the glyph pictures of `text`."""
    glyphs_wanted = [Picture(open(os.path.join(glyphs, "%03d.bmp" % ord(c)), "rb").read()) for c in text]
    def matches():
        lcd = lcd_of(Picture(page.screenshot("#kestrilon")), 1)
        return lcd is not None and all(
            lcd.region(8 + 32 * i, 40, g.width, g.height) == g.region(0, 0, g.width, g.height)
            for i, g in enumerate(glyphs_wanted))
    return wait_for(matches, 5, step=0.1)


title = desktop_title()
check("the desktop's title is %dx%d" % (WIDTH, HEIGHT), (title.width, title.height) == (WIDTH, HEIGHT))
with Session(page_folder) as page:
    page.call("Network.enable")
    page.open("kestrilon.html")
    check("the title shows pixel for pixel as on the desktop, at a whole scale", canvas_shows(page, title, 1))
    check('the page\'s title is "Kestrilon"', page.evaluate("document.title") == "Kestrilon")
    page.key(13, "Enter")
    check('Enter shows "0*"', cells_show(page, "0*"))
    page.key(88, "x")
    check('X then shows "1*"', cells_show(page, "1*"))

    page.open("kestrilon.html")
    canvas_shows(page, title, 1)
    page.evaluate(PAD)
    press_pad(page, 9)
    check('the pad\'s Start shows "0*"', cells_show(page, "0*"))
    press_pad(page, 2)
    check('the pad\'s west button then shows "1*"', cells_show(page, "1*"))
    page.evaluate("pad.unplug()")
    reads = page.evaluate("pad.reads")
    time.sleep(0.5)
    check("the pad is read while connected (%d reads), and no more once it is gone" % reads,
          reads > 0 and page.evaluate("pad.reads") == reads)

    page.open("kestrilon.html", device_pixel_ratio=2)
    check("at a device pixel ratio of 2 the title is the same picture enlarged in device pixels",
          canvas_shows(page, title, 2))

    page.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
    page.open("kestrilon.html", width=420, height=400)
    canvas_shows(page, title, 1)
    x, y = page.evaluate("(() => { const r = document.querySelector('#touch button').getBoundingClientRect();"
                         " return [r.x + r.width / 2, r.y + r.height / 2]; })()")
    page.call("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
    page.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])
    check('on a touch screen, a tap on the Enter button shows "0*"', cells_show(page, "0*"))
    requests = [event["params"]["request"]["url"] for event in page.events
                if event["method"] == "Network.requestWillBeSent"]
    strangers = [url for url in requests if not url.startswith(page.origin + "/")]
    check("the page asks only its own host (%d requests)" % len(requests), requests and not strangers)

    page.call("Page.addScriptToEvaluateOnNewDocument", source="delete window.WebAssembly")
    page.open("kestrilon.html")
    check("without WebAssembly the page says so", "needs WebAssembly" in
          page.evaluate("document.getElementById('message').textContent"))

print("%d failed" % failures)
sys.exit(1 if failures else 0)
