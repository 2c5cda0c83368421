#!/usr/bin/python3
"""The web page's rows of scripts/bench: what the page loads, raw and gzip-compressed as a server
sends it, and the browser's work while the title waits, beside a blank page served and measured
the same way in the same run.

usage: page_bench.py <page folder> [seconds]"""
import gzip
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tools", "devtools"))
from devtools import Session, wait_for  # noqa: E402

# The budget tests/web/page_test.py holds the page to.
BUDGET = 900 * 1024


def busy(page, seconds):
    """The renderer's main-thread task time over `seconds`, as a share of one core, and the
    milliseconds of script run meanwhile."""
    metrics = lambda: {m["name"]: m["value"] for m in page.call("Performance.getMetrics")["metrics"]}
    before = metrics()
    time.sleep(seconds)
    after = metrics()
    return ((after["TaskDuration"] - before["TaskDuration"]) / seconds,
            1000 * (after["ScriptDuration"] - before["ScriptDuration"]))


folder = sys.argv[1]
seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 5
# What a visit loads; kestrilon.html is index.html again, and the icons are fetched by installing.
files = ["index.html", "kestrilon.js", "kestrilon.wasm", "kestrilon.data", "kestrilon.webmanifest", "kestrilon-sw.js"]
contents = [open(os.path.join(folder, name), "rb").read() for name in files]
size = sum(len(data) for data in contents)
packed = sum(len(gzip.compress(data)) for data in contents)
print("| the page: everything a visit loads (%s) | %.0f KiB, %.0f KiB gzip-compressed | the budget: %.0f KiB |"
      % (", ".join(files), size / 1024, packed / 1024, BUDGET / 1024))

with tempfile.TemporaryDirectory() as blank_folder:
    open(os.path.join(blank_folder, "blank.html"), "w").write("<!doctype html><title>blank</title>")
    with Session(blank_folder) as blank:
        blank.call("Performance.enable")
        blank.open("blank.html")
        time.sleep(1)
        reference = busy(blank, seconds)
with Session(folder) as page:
    page.call("Performance.enable")
    page.open("kestrilon.html")
    wait_for(lambda: page.evaluate("document.title") == "Kestrilon", 15)
    time.sleep(2)  # the title drawn and the page settled
    ours = busy(page, seconds)
print("| browser CPU while the title waits, web page (%.0f s) | %.2f %% of a core, %.1f ms of script |"
      " a blank page: %.2f %%, %.1f ms of script |" % (seconds, 100 * ours[0], ours[1], 100 * reference[0], reference[1]))
