"""A real kestrilon-table for the web build's scripts: it serves a page folder beside its API on a
port of its own on 127.0.0.1, its games kept in a given folder, with no limit on submissions.
stop() and start() take it down and bring it back on the same port, its games kept.
`with TableServer(table, folder, data) as table:`"""
import json
import socket
import subprocess
import urllib.request

from devtools import wait_for


class TableServer:
    def __init__(self, program, folder, data):
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            self.origin = "http://127.0.0.1:%d" % probe.getsockname()[1]
        self.command = [program, "--listen", self.origin[len("http://"):], "--page", folder, "--data", data,
                        "--rate", "0"]

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self):
        self.server = subprocess.Popen(self.command, stderr=subprocess.DEVNULL)
        wait_for(lambda: self.api("healthz"), 30)

    def stop(self):
        self.server.terminate()
        self.server.wait(30)

    def api(self, path):
        """The JSON answer to a GET of `path`, or None when it fails."""
        try:
            return json.load(urllib.request.urlopen(self.origin + "/" + path))
        except OSError:
            return None
