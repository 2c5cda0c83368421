#!/usr/bin/python3
"""The page as a player meets it: headless Chromium, the page served by a plain static server.
On phones, laptops and desktops at their pixel ratios, the title is pixel for pixel the desktop's
(the headless host's picture of it), at the largest whole number of device pixels a game pixel
that fits, all of it within the screen; Enter shows "0*", X then "1*" (also as an input method
that is composing sends it), and a tap on the touch screen's Enter button "0*"; Tab takes the
focus off the canvas; a pad's Start then west button show "0*" then "1*", and
the pad plays the game to its end (a scripted pad of the standard layout, read only while it is
connected); a game played to GAME OVER offers its replay link (in a field where the
clipboard is refused), which the Linux simulator and the page play back to the same score, and a
damaged, undecodable or codeless link is named while the page plays on; the page is installable and
plays offline once its service worker runs, which keeps the caches of other folders of its host;
a visit loads no more than the page's budget; it asks nothing of any other host, and says what is wrong without
WebAssembly or opened as a file. A replay at 4x ends as at 1x. Served by kestrilon-table, the games
sent (kept while it is down) reach it, today's under today, and a refusal is said.

usage: page_test.py <page folder> <Linux kestrilon-headless> <glyph folder> [screenshot after a send]
Exit code 77 (skipped) when Chromium, ImageMagick or the Linux headless runner is missing."""
import base64
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "devtools"))
from devtools import Checks, Session, wait_for  # noqa: E402
from table_server import TableServer  # noqa: E402

WIDTH, HEIGHT = 392, 88

page_folder, headless, glyphs = (os.path.abspath(arg) for arg in sys.argv[1:4])
after_send = sys.argv[4] if len(sys.argv) > 4 else None
programs = os.path.dirname(headless)
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


def lcd_of(shot):
    """The scale and the LCD's logical picture of a screenshot of the canvas, when the screenshot
    is that picture enlarged by a whole scale (each logical pixel a block of one colour); else
    (0, None)."""
    scale = shot.width // WIDTH
    if scale < 1 or (shot.width, shot.height) != (WIDTH * scale, HEIGHT * scale):
        return 0, None
    lcd = Picture.__new__(Picture)
    lcd.width, lcd.height = WIDTH, HEIGHT
    lcd.rgb = b"".join(shot.pixel(x * scale, y * scale) for y in range(HEIGHT) for x in range(WIDTH))
    return (scale, lcd) if enlarged(lcd.rgb, WIDTH, scale) == shot.rgb else (0, None)


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
        time.sleep(0.05)


check = Checks()


def canvas_shows(page, expected, scale):
    """The canvas is `expected` enlarged `scale` times in device pixels."""
    def matches():
        shown, lcd = lcd_of(Picture(page.screenshot("#kestrilon")))
        return shown == scale and lcd.rgb == expected.rgb
    return wait_for(matches, 15, step=0.2)


def cells_show(page, text, seconds=5):
    """The LCD's picture once its first cells show exactly the glyph pictures of `text`, within
    `seconds`; else None."""
    glyphs_wanted = [Picture(open(os.path.join(glyphs, "%03d.bmp" % ord(c)), "rb").read()) for c in text]
    def matches():
        lcd = lcd_of(Picture(page.screenshot("#kestrilon")))[1]
        return lcd if lcd is not None and all(
            lcd.region(8 + 32 * i, 40, g.width, g.height) == g.region(0, 0, g.width, g.height)
            for i, g in enumerate(glyphs_wanted)) else None
    return wait_for(matches, seconds, step=0.1)


def play_to_game_over(page, start=False):
    """Fires at every aim in turn until the 30th press of Z ends the game, a key a frame or two
    apart, the game started from its title with `start`: the game's [score, code]."""
    if start:
        cells_show(page, "PUSH ENTER", 30)
        page.key(13, "Enter")
    page.evaluate("window.games = []; const told = Module.kestrilonGameOver;"
                  " Module.kestrilonGameOver = (s, c, r) => { games.push([s, c]); told(s, c, r); }")
    for _ in range(120):
        if page.evaluate("games.length"):
            break
        for code, key in ((90, "z"), (88, "x")):
            page.key(code, key)
            time.sleep(0.06)
    return wait_for(lambda: page.evaluate("games[0]"), 5)


def simulated_end(code):
    """The Linux simulator's last line for a replay code, "end MS SCORE STAGE LIVES", split."""
    return (subprocess.run([os.path.join(programs, "kestrilon-sim"), "--replay", code], capture_output=True,
                           text=True).stdout.splitlines() or [""])[-1].split()


def box(page, selector):
    return page.evaluate("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                         " return [r.left, r.top, r.right, r.bottom]; })()" % json.dumps(selector))


# Width, height and pixel ratio of the screen, a phone's touch screen or not, and the device pixels
# a game pixel that fit: the largest whole number within the width and within the height the LCD
# has (the screen less the key line, and the buttons on a touch screen); 0 where not even one fits.
SCREENS = [(360, 740, 3, True, 2), (390, 844, 3, True, 2), (844, 390, 3, True, 6),
           (700, 500, 1.25, False, 2), (1280, 800, 1, False, 3), (1280, 800, 2, False, 6),
           (320, 480, 1, False, 0)]

# Everything a visit loads, the files bench/page_bench.py weighs, against the page's budget.
visit = ("index.html", "kestrilon.js", "kestrilon.wasm", "kestrilon.data", "kestrilon.webmanifest", "kestrilon-sw.js")
size = sum(os.path.getsize(os.path.join(page_folder, name)) for name in visit)
check("a visit loads %d KiB, within the page's 900 KiB" % (size // 1024), size <= 900 * 1024)
title = desktop_title()
check("the desktop's title is %dx%d" % (WIDTH, HEIGHT), (title.width, title.height) == (WIDTH, HEIGHT))
for ratio in sorted(set(screen[2] for screen in SCREENS)):
    with Session(page_folder, ratio) as page:
        for width, height, _, phone, scale in (screen for screen in SCREENS if screen[2] == ratio):
            screen = "%d x %d at %g%s" % (width, height, ratio, " (touch)" if phone else "")
            page.open("kestrilon.html", width, height, phone)
            if scale:
                check("%s: the title shows pixel for pixel as on the desktop, %d device pixels a pixel"
                      % (screen, scale), canvas_shows(page, title, scale))
            else:
                wait_for(lambda: page.evaluate("document.getElementById('kestrilon').style.width"), 15)
            left, top, right, bottom = box(page, "#kestrilon")
            check("%s: the canvas is within the screen, from a whole device pixel" % screen,
                  left >= 0 and top >= 0 and right <= width and bottom <= height and
                  all(abs(v * ratio - round(v * ratio)) < 0.05 for v in (left, top)))
            line = page.evaluate("document.getElementById('keys').innerText")
            check("%s: the line under the LCD is the %s one" % (screen, "touch" if phone else "key"),
                  line.startswith("Tap") == phone)
            if phone and height > width:
                check("%s: the LCD at the top, the buttons under the thumbs" % screen,
                      top < height / 8 and box(page, "#touch")[1] > height / 2)

with Session(page_folder) as page:
    page.call("Network.enable")
    # Before the service worker comes: an older cache of its own, and a copy's in another folder.
    caches = ["kestrilon-%s/ 0-old" % page.origin, "kestrilon-%s/beta/ 0-old" % page.origin]
    page.open("kestrilon.webmanifest")
    page.evaluate("Promise.all(%s.map(name => caches.open(name))).then(() => made = 1)" % json.dumps(caches))
    wait_for(lambda: page.evaluate("window.made"), 5)
    page.open("kestrilon.html")
    canvas_shows(page, title, 2)
    check('the page\'s title is "Kestrilon"', page.evaluate("document.title") == "Kestrilon")
    page.key(13, "Enter")
    check('Enter shows "0*"', cells_show(page, "0*"))
    page.key(229, "Process", "KeyX")
    check('X then shows "1*", sent by an input method that is composing', cells_show(page, "1*"))
    page.key(9, "Tab")
    check("Tab takes the focus off the canvas",
          page.evaluate("document.activeElement !== document.getElementById('kestrilon')"))

    score = (play_to_game_over(page) or [None])[0]
    sound = page.evaluate("[kestrilonSound.context && kestrilonSound.context.state, kestrilonSound.started]")
    check("the first key made the audio context run, and the game's shots started tones (%s)" % sound,
          sound[0] == "running" and sound[1] >= 30)
    page.evaluate("navigator.clipboard.writeText = () => Promise.reject(new Error('refused'));"
                  " document.getElementById('copy-replay').click()")
    wait_for(lambda: not page.evaluate("document.getElementById('link').hidden"), 5)
    link = page.evaluate("document.getElementById('link').value")
    check("GAME OVER offers the game's replay link, in a field when the clipboard is refused (%s)" % link,
          "#replay=K1." in link)
    code = link.partition("#replay=")[2]
    # A score written with a leading zero is the same score.
    page.evaluate("localStorage.setItem('kestrilon/best-score', '0' + localStorage.getItem('kestrilon/best-score'));"
                  " document.getElementById('link').value = ''; document.getElementById('copy-best').click()")
    wait_for(lambda: page.evaluate("document.getElementById('link').value"), 5)
    check("and its best game's link, the same while it is the best, offered only then (score %s)" % score,
          page.evaluate("document.getElementById('link').value") == (link if score else "") and
          page.evaluate("document.getElementById('copy-best').hidden") == (not score))
    check("off a table, no table control is offered", not any(
        page.shown(selector) for selector in ("#send-game", "#best-games", "#watch-today")))
    end = simulated_end(code)
    check("the Linux simulator replays the page's game to its score %s (%s)" % (score, end),
          score is not None and end[2:3] == ["%d" % score])
    page.evaluate("localStorage.clear()")
    page.open("kestrilon.html?again#replay=" + code)
    message = lambda: page.evaluate("document.getElementById('message').textContent")
    check("while it plays back, the key line names the keys of its speed", page.shown("#keys .replay"))
    check('the link plays the game back and says "Replay: score %s", with no best game to offer' % score,
          wait_for(lambda: message() == "Replay: score %s. Press Enter to play." % score, 60, step=0.5) and
          page.evaluate("document.getElementById('copy-best').hidden") and not page.shown("#keys .replay"))
    banner = "-".join(end[3:4] + end[2:3])
    readout = cells_show(page, banner, 10)
    # Each its own query: a link that differs from the last in its fragment alone does not load.
    for query, fragment, named in (("damaged", code[:-1] + ("A" if code[-1] != "A" else "B"), "damaged"),
                                   ("text", "hello", "no replay code"), ("cut", "K1.AAAA%", "no replay code")):
        page.open("kestrilon.html?%s#replay=%s" % (query, fragment))
        shown = wait_for(lambda: named in message() and message().endswith("Press Enter to play."), 10)
        check("the link #replay=%s is named on the page: %s" % (fragment[-8:], message()), shown)
        canvas_shows(page, title, 2)
        page.key(13, "Enter")
        check('and the page plays on: Enter shows "0*"', cells_show(page, "0*"))
    page.key(77, "m")
    kept = wait_for(lambda: "sound off\n" in page.evaluate("Object.values(localStorage)"), 5)
    page.open("kestrilon.html")
    canvas_shows(page, title, 2)
    for keycode, key, shown in ((13, "Enter", "0*"), (88, "x", "1*")):
        page.key(keycode, key)
        kept = kept and cells_show(page, shown)
    check("M is kept in local storage and across a reload: the audio runs, the aim's step no tone",
          kept and wait_for(lambda: page.evaluate(
              "kestrilonSound.context.state == 'running' && kestrilonSound.started == 0"), 5))
    page.evaluate("localStorage.clear()")  # the desktop's title shows no best score
    page.open("kestrilon.html")
    canvas_shows(page, title, 2)
    page.evaluate(PAD)
    key_line = "document.getElementById('keys').innerText"
    check("the key line names the pad's buttons while it is connected",
          "Start starts" in page.evaluate(key_line))
    press_pad(page, 9)
    check('the pad\'s Start shows "0*"', cells_show(page, "0*"))
    press_pad(page, 2)
    check('the pad\'s west button then shows "1*"', cells_show(page, "1*"))
    for _ in range(29):
        press_pad(page, 0)
    check("29 shots of the pad's south button leave the game going", cells_show(page, "1*"))
    # The 30th shot ends the game; a press the row's march takes is not a shot, so up to four more.
    over = False
    for _ in range(5):
        press_pad(page, 0)
        over = cells_show(page, "GAME OVER", 0.5)
        if over:
            break
    check('the 30th shot ends the game: "GAME OVER"', over)
    press_pad(page, 9)
    check('the pad\'s Start skips the banner: "PUSH ENTER"', cells_show(page, "PUSH ENTER"))
    page.evaluate("pad.unplug()")
    reads = page.evaluate("pad.reads")
    time.sleep(0.5)
    check("the pad is read while connected (%d reads), and no more once it is gone, nor named" % reads,
          reads > 0 and page.evaluate("pad.reads") == reads and "pad" not in page.evaluate(key_line))
    page.evaluate("localStorage.clear()")

    page.open("kestrilon.html?fast#replay=" + code, 420, 400, mobile=True)
    # The pace is the replay's once it plays: its game's first step of the aim shows.
    paced = cells_show(page, "1*", 10) and page.shown("#pace")
    page.tap('#pace [data-key="52"]')
    fast = cells_show(page, banner, 60)
    check("on a touch screen a replay offers its speeds, and at 4x ends on the readout %s of 1x" % banner,
          paced and readout and fast and fast.rgb == readout.rgb and not page.shown("#pace"))
    page.open("kestrilon.html?touch#replay=", 420, 400, mobile=True)
    canvas_shows(page, title, 1)
    check("on a touch screen, a link without a code is named, with the button to tap", message() ==
          "This link's replay cannot be played: it holds no replay code. Tap Enter to play.")
    page.tap("#touch button")
    check('on a touch screen, a tap on the Enter button shows "0*"', cells_show(page, "0*"))

    check("the page is installable", page.call("Page.getInstallabilityErrors")["installabilityErrors"] == [])
    requests = [event["params"]["request"]["url"] for event in page.events
                if event["method"] == "Network.requestWillBeSent"]
    # The browser's own favicon.ico is asked for the manifest opened as a document.
    strangers = [url for url in requests if not url.startswith(page.origin + "/") or not (url.endswith(
        ("/api/info", "/favicon.ico")) or os.path.exists(page_folder + url[len(page.origin):].split("?")[0]))]
    check("the page asks only its own host, for its files and whether a table serves it (%d requests) %s"
          % (len(requests), strangers or ""), requests and not strangers)
    check("the service worker runs", wait_for(lambda: page.evaluate(
        "navigator.serviceWorker.controller !== null && navigator.serviceWorker.controller.state === 'activated'"),
        15))
    page.evaluate("caches.keys().then(names => cacheNames = names)")
    names = sorted(wait_for(lambda: page.evaluate("window.cacheNames"), 5) or [])
    check("its cache is named after its folder, and only its own older caches are gone (%s)" % names,
          len(names) == 2 and names[1] == caches[1] and names[0].startswith(caches[0][:-5]) and names[0] != caches[0])
    page.call("Network.emulateNetworkConditions", offline=True, latency=0, downloadThroughput=-1,
              uploadThroughput=-1)
    page.open("kestrilon.html")
    check("offline, the page reloaded draws the title again", canvas_shows(page, title, 2))
    page.call("Network.emulateNetworkConditions", offline=False, latency=0, downloadThroughput=-1,
              uploadThroughput=-1)

    page.open("file://%s/kestrilon.html" % page_folder)
    check("opened as a file, the page says it must be served", wait_for(lambda: "must be served" in
          page.evaluate("document.getElementById('message').textContent"), 15))

    page.call("Page.addScriptToEvaluateOnNewDocument", source="delete window.WebAssembly")
    page.open("kestrilon.html")
    check("without WebAssembly the page says so", "needs WebAssembly" in
          page.evaluate("document.getElementById('message').textContent"))


with tempfile.TemporaryDirectory() as data, Session(page_folder) as page, \
        TableServer(os.path.join(programs, "kestrilon-table"), page_folder, data) as table:
    page.call("Network.enable")
    said = lambda: page.evaluate("document.getElementById('table-said').innerText")
    page.open(table.origin + "/kestrilon.html")
    score, code = play_to_game_over(page, True) or [None, ""]
    check("served by a table, a game's end offers it to the table, and the page its best games",
          wait_for(lambda: page.shown("#send-game"), 5) and page.shown("#best-games"))
    # The game takes its keys where they reach the window.
    page.evaluate("window.reached = 0; addEventListener('keydown', () => ++reached);"
                  " const field = document.getElementById('table-name'); field.value = '<b>x</b>'; field.focus()")
    page.key(88, "x")
    page.key(13, "Enter")
    refused = wait_for(lambda: "refused" in said() and said(), 10)
    check("Enter in the name field sends, a refusal says the table's reason, and no key reaches the game: %s"
          % refused, refused and "letters, digits" in refused and page.evaluate("reached") == 0)
    page.evaluate("document.getElementById('table-name').value = 'Kes 1'; document.getElementById('send').click()")
    wait_for(lambda: "Sent" in said(), 30)
    if after_send:
        open(after_send, "wb").write(base64.b64decode(page.call("Page.captureScreenshot")["data"]))
    entry = [(g["name"], g["score"]) for g in table.api("api/games")["games"] if g["code"] == code]
    end = simulated_end(code)
    check("the game sent is on the table with the simulator's score %s: %s" % (end[2:3], entry),
          end[2:3] == ["%d" % score] and entry == [("Kes 1", score)])
    page.evaluate("document.getElementById('daily').click()")
    page.wait_event("Page.loadEventFired")
    daily_code = (play_to_game_over(page, True) or [0, ""])[1]
    table.stop()
    page.evaluate("document.getElementById('send').click()")
    kept = wait_for(lambda: "kept" in said(), 10)
    table.start()
    page.open(table.origin + "/kestrilon.html")
    arrived = wait_for(lambda: "Sent" in said() and said(), 30)
    board = table.api("api/games?day=" + table.api("api/info")["today"])["games"]
    check("today's game, kept while the table is down, arrives at the next visit under the name"
          " remembered, filed under today: %s" % arrived, kept and arrived and "today" in arrived and
          [(g["code"], g["name"]) for g in board] == [(daily_code, "Kes 1")] and
          page.evaluate("localStorage['kestrilon/unsent']") == "[]")
    check("the page then offers to watch it as today's best", wait_for(lambda: page.evaluate(
        "document.getElementById('watch-today').hash") == "#replay=" + daily_code, 5))
    answers = [event["params"]["response"] for event in page.events if event["method"] ==
               "Network.responseReceived" and "/api/" in event["params"]["response"]["url"]]
    check("the table's answers never come from the service worker (%d)" % len(answers),
          page.evaluate("navigator.serviceWorker.controller !== null") and answers and
          not any(answer["fromServiceWorker"] for answer in answers))

check.finish()
