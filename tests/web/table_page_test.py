#!/usr/bin/python3
"""table.html as a player meets it, served by kestrilon-table beside the game's page: today's board, then all
time, best first; a name written as markup shown as text; a pasted code answered with its ranks, a cut one with
the reason; a phone's width (screenshot: 360 x 740, ratio 3); "Watch" opening the game playing that replay.

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
        today = json.load(urllib.request.urlopen(origin + "/api/info"))["today"]
        # Rows the API would refuse, as a table filled some other way might hold them.
        with sqlite3.connect(os.path.join(data, "table.db")) as db:
            db.executemany("INSERT INTO games (code, name, score, created, day, stage, keys) VALUES (?,?,?,?,?,0,0)",
                           [("K1.none", HTML_NAME, -1, "2026-01-01T00:00:00Z", None),
                            ("K1.dawn", "Dawn", 120, today + "T00:01:02Z", today),
                            ("K1.dusk", "Dusk", 0, today + "T00:02:03Z", today)])
        best = sorted(entries, key=lambda e: (-e["score"], e["id"]))

        with Session(page_folder) as page:
            page.open(origin + "/table.html")
            rows = lambda board: page.evaluate("Array.from(document.querySelectorAll('#%s tr'), r =>"
                                               " Array.from(r.cells, c => c.textContent))" % board)
            shown = wait_for(lambda: len((rows("today-rows") or []) + (rows("rows") or [])) == 9 and rows("rows"), 10)
            check("the rows best first: %s" % shown, shown and [row[1] for row in shown[1:5]] ==
                  [e["name"] for e in best] and [row[2] for row in shown[1:5]] == [str(e["score"]) for e in best])
            check("a name written as markup is shown as text, and runs nothing",
                  shown and shown[6][1] == HTML_NAME and page.evaluate("document.querySelector('main img')") is None
                  and page.evaluate("document.title") != "1")

            def send(code, name):
                page.evaluate("(e => { e('answer').textContent = ''; e('code').value = %s; e('name').value = %s;"
                              " e('send-button').click(); })(id => document.getElementById(id))"
                              % (json.dumps(code), json.dumps(name)))
                return wait_for(lambda: (page.evaluate("document.getElementById('answer').textContent")
                                         .replace("Sending…", "")), 30)

            daily = subprocess.run([code_tool, "1", today], capture_output=True, text=True, check=True).stdout.strip()
            answer = send(daily, "Paste-1")
            board = json.load(urllib.request.urlopen(origin + "/api/games?day=" + today))["games"]
            sent = next((game for game in board if game["code"] == daily), {})
            check("a pasted code of today's game is sent and answered with its ranks: %r" % answer,
                  sent.get("name") == "Paste-1" and "rank %d of all time" % sent["rank"] in answer and
                  "rank %d on the board of %s" % (sent["dayRank"], today) in answer)
            check("today's board first, the sent game ranked on it: %s" % rows("today-rows"),
                  page.evaluate("document.getElementById('today-title').textContent") == "Today, " + today and
                  page.evaluate("document.getElementById('today').nextElementSibling.id") == "all" and
                  wait_for(lambda: [row[:3] for row in rows("today-rows")] ==
                           [["1", "Dawn", "120"], ["2", "Paste-1", str(sent.get("score"))], ["3", "Dusk", "0"]], 10))
            answer = send(daily[:-6], "Paste-2")
            check("a pasted code cut short is refused with the table's reason: %r" % answer,
                  answer == "Not taken: the replay code is cut short")

            page.open(origin + "/table.html", 360, 740, mobile=True, ratio=3)
            wait_for(lambda: len(rows("rows") or []) == 8 and len(rows("today-rows") or []) == 3, 10)
            check("on a phone the page fits the screen's width",
                  page.evaluate("document.documentElement.scrollWidth <= window.innerWidth"))
            if screenshot:
                with open(screenshot, "wb") as out:
                    out.write(base64.b64decode(page.call("Page.captureScreenshot", format="png")["data"]))
            page.evaluate("document.querySelectorAll('#rows tr a')[1].click()")
            message = lambda: page.evaluate("document.getElementById('message') &&"
                                            " document.getElementById('message').textContent")
            check('"Watch" opens the game playing that replay',
                  wait_for(lambda: message() == "Replay: a game played back, as it was played.", 30) and
                  page.evaluate("location.hash") == "#replay=" + best[0]["code"])
    finally:
        server.terminate()
        server.wait(30)

check.finish()
