"""A small DevTools-protocol client for the web build's test and bench: headless Chromium in a
profile of its own, a page served from a folder by a plain static server (Python's http.server,
no special headers) on 127.0.0.1, and the few calls they make. `with Session(folder) as page:`"""
import base64
import functools
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

import websocket

CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--remote-debugging-port=0"]


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Checks:
    """Named checks printed as they are made; finish() ends the script failed if any was."""

    def __init__(self):
        self.failures = 0

    def __call__(self, what, ok):
        print(("ok: " if ok else "FAILED: ") + what)
        self.failures += 0 if ok else 1

    def finish(self):
        print("%d failed" % self.failures)
        sys.exit(1 if self.failures else 0)


def wait_for(what, seconds, step=0.05):
    """The first true value of what() within the time, else None."""
    end = time.monotonic() + seconds
    while True:
        value = what()
        if value or time.monotonic() > end:
            return value
        time.sleep(step)


class Session:
    def __init__(self, folder, ratio=1):
        """A browser whose screen has `ratio` device pixels a CSS pixel, as a real one lays the
        page out at it (DevTools' emulated ratio lays it out otherwise, in CSS pixels)."""
        self.folder = folder
        self.ratio = ratio
        self.events = []
        self.next_id = 0

    def __enter__(self):
        handler = functools.partial(Quiet, directory=self.folder)
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.origin = "http://127.0.0.1:%d" % self.server.server_address[1]
        self.profile = tempfile.mkdtemp(prefix="kestrilon-chromium-")
        browser = shutil.which("chromium") or "chromium"
        self.browser = subprocess.Popen([browser, *CHROMIUM_FLAGS, "--user-data-dir=" + self.profile,
                                         "--force-device-scale-factor=%g" % self.ratio, "about:blank"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        if not wait_for(lambda: os.path.exists(port_file) and open(port_file).read().count("\n") >= 1, 30):
            self.__exit__(None, None, None)
            raise RuntimeError("Chromium did not open its DevTools port")
        port = open(port_file).read().split("\n")[0]
        targets = json.load(urllib.request.urlopen("http://127.0.0.1:%s/json/list" % port))
        url = next(t["webSocketDebuggerUrl"] for t in targets if t["type"] == "page")
        self.socket = websocket.create_connection(url, timeout=30, suppress_origin=True)
        return self

    def __exit__(self, *exc):
        if hasattr(self, "socket"):
            self.socket.close()
        self.browser.terminate()
        try:
            self.browser.wait(10)
        except subprocess.TimeoutExpired:
            self.browser.kill()
            self.browser.wait()
        self.server.shutdown()
        self.server.server_close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            if "method" in message:
                self.events.append(message)

    def wait_event(self, method):
        """The params of the next event `method`, waiting for it if it has not come yet."""
        while True:
            for index, event in enumerate(self.events):
                if event["method"] == method:
                    return self.events.pop(index)["params"]
            message = json.loads(self.socket.recv())
            if "method" in message:
                self.events.append(message)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        return result["result"].get("value")

    def open(self, page, width=800, height=600, mobile=False, ratio=0):
        """The page of the served folder, or any address; `mobile` a phone's touch screen, `ratio`
        its device pixels a CSS pixel as DevTools emulates them (0: the browser's own)."""
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=ratio,
                  mobile=mobile)
        self.call("Emulation.setTouchEmulationEnabled", enabled=mobile, maxTouchPoints=5)
        self.call("Page.enable")
        self.call("Page.navigate", url=page if "://" in page else "%s/%s" % (self.origin, page))
        self.wait_event("Page.loadEventFired")

    def key(self, code, key, place=None):
        """A key pressed and let go: its Windows key code, its `key` and its `code` (its place)."""
        for kind in ("rawKeyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, windowsVirtualKeyCode=code, key=key,
                      code=place or key)

    def shown(self, selector):
        """Whether the element takes room on the page."""
        return self.evaluate("document.querySelector(%s).getClientRects().length > 0" % json.dumps(selector))

    def tap(self, selector):
        """A finger put down and lifted at the element's middle, on a touch screen."""
        x, y = self.evaluate("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                             " return [r.x + r.width / 2, r.y + r.height / 2]; })()" % json.dumps(selector))
        self.call("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
        self.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def screenshot(self, selector):
        """PNG bytes of the element as the screen shows it, in device pixels, cut from the whole
        screen's picture by ImageMagick: Chromium moves a clip that starts at a fraction of a CSS
        pixel, which an element on whole device pixels does at ratios such as 1.25."""
        box = self.evaluate("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                            " return [r.width, r.height, r.x, r.y].map(v => Math.round(v * devicePixelRatio));"
                            " })()" % json.dumps(selector))
        screen = base64.b64decode(self.call("Page.captureScreenshot", format="png")["data"])
        return subprocess.run(["convert", "png:-", "-crop", "%dx%d+%d+%d" % tuple(box), "+repage", "png:-"],
                              input=screen, capture_output=True, check=True).stdout
