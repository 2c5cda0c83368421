#!/usr/bin/python3
"""table.html as a player meets it, served by kestrilon-table beside the game's page: the rows of
real games best first, a name written as markup shown as text, the page fitting a phone's width,
and each row's "Watch" opening the game playing that row's replay.

usage: table_page_test.py <page folder> <Linux kestrilon-table> <kestrilon-bench-codes> [screenshot.png]
Exit code 77 (skipped) when Chromium or the Linux build's table is missing."""
import base64
import json
import os
import shutil
import socket
import sqlite3
import subprocess
import sys
import tempfile
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "devtools"))
from devtools import Checks, Session, wait_for  # noqa: E402

page_folder, table, code_tool = (os.path.abspath(arg) for arg in sys.argv[1:4])
screenshot = sys.argv[4] if len(sys.argv) > 4 else None
if not shutil.which("chromium"):
    print("SKIPPED: no chromium")
    sys.exit(77)
for tool in (table, code_tool):
    if not os.access(tool, os.X_OK):
        print("SKIPPED: no %s (build the default preset)" % tool)
        sys.exit(77)

check = Checks()


HTML_NAME = '<img src=x onerror="document.title=1">'

with tempfile.TemporaryDirectory() as data:
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    origin = "http://127.0.0.1:%d" % port
    server = subprocess.Popen([table, "--listen", "127.0.0.1:%d" % port, "--page", page_folder,
                               "--data", data, "--rate", "0"], stderr=subprocess.DEVNULL)
    try:
        def healthy():
            try:
                return urllib.request.urlopen(origin + "/healthz").status == 200
            except OSError:
                return False
        wait_for(healthy, 30)
        codes = subprocess.run([code_tool, "4", "7"], capture_output=True, text=True,
                               check=True).stdout.split()
        entries = []
        for code, name in zip(codes, ("ANNA", "Bo.b", "kestrel_7", "Z-Z")):
            request = urllib.request.Request(origin + "/api/games", json.dumps({"code": code, "name": name}).encode(),
                                             {"Content-Type": "application/json"})
            entries.append(json.load(urllib.request.urlopen(request)))
        # A row the API would refuse, as a table filled some other way might hold it.
        with sqlite3.connect(os.path.join(data, "table.db")) as db:
            db.execute("INSERT INTO games (code, name, score, stage, keys, created) VALUES"
                       " ('K1.none', ?, -1, 0, 0, '2026-01-01T00:00:00Z')", (HTML_NAME,))
        best = sorted(entries, key=lambda e: (-e["score"], e["id"]))

        with Session(page_folder) as page:
            page.open(origin + "/table.html")
            rows = lambda: page.evaluate("Array.from(document.querySelectorAll('#rows tr'), r =>"
                                         " Array.from(r.cells, c => c.textContent))")
            shown = wait_for(lambda: len(rows() or []) == 5 and rows(), 10)
            check("the rows best first: %s" % shown, shown and [row[1] for row in shown[:4]] ==
                  [e["name"] for e in best] and [row[2] for row in shown[:4]] == [str(e["score"]) for e in best])
            check("a name written as markup is shown as text, and runs nothing",
                  shown and shown[4][1] == HTML_NAME and page.evaluate("document.querySelector('#rows img')") is None
                  and page.evaluate("document.title") != "1")
            if screenshot:
                with open(screenshot, "wb") as out:
                    out.write(base64.b64decode(page.call("Page.captureScreenshot", format="png")["data"]))
            page.open(origin + "/table.html", 360, 640, mobile=True)
            wait_for(lambda: len(rows() or []) == 5, 10)
            check("on a phone the table fits the screen's width",
                  page.evaluate("document.documentElement.scrollWidth <= window.innerWidth"))
            page.evaluate("document.querySelector('#rows tr a').click()")
            message = lambda: page.evaluate("document.getElementById('message') &&"
                                            " document.getElementById('message').textContent")
            check('"Watch" opens the game playing that replay',
                  wait_for(lambda: message() == "Replay: a game played back, as it was played.", 30) and
                  page.evaluate("location.hash") == "#replay=" + best[0]["code"])
    finally:
        server.terminate()
        server.wait(30)

check.finish()
