#!/usr/bin/python3
"""kestrilon-table as a player's browser and a cheater meet it: a real code is taken with the
simulator's own score; edited, cut and foreign codes, an oversized body, bad JSON and bad or HTML
names are refused with their reasons; a game of today's seed is filed on today's board, one of a
closed day's on the all-time board only; a flood past the limit gets 429 with Retry-After; a code
whose worker stalls is refused for time and the server goes on, as it does when a worker dies;
two servers on one PostgreSQL taking the same codes at once keep one row each, ranked alike; and
a SIGTERM during submissions loses no entry the server had accepted.

usage: server_test.py <kestrilon-table> <kestrilon-sim> <kestrilon-bench-codes>
The PostgreSQL case runs where PG* name a server (with_postgres.sh), else says it is skipped."""
import datetime
import http.client
import json
import os
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

table, simulator, code_tool = sys.argv[1:4]
failures = 0


def check(what, ok):
    global failures
    print(("ok: " if ok else "FAILED: ") + what)
    failures += 0 if ok else 1


def codes(count, first_seed):
    return subprocess.run([code_tool, str(count), str(first_seed)], capture_output=True, text=True,
                          check=True).stdout.split()


class Server:
    def __init__(self, work, *options):
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            self.port = probe.getsockname()[1]
        self.log = open(os.path.join(work, "log-%d" % self.port), "w+")
        self.process = subprocess.Popen([table, "--listen", "127.0.0.1:%d" % self.port,
                                         "--page", work, "--simulator", simulator, *options],
                                        stderr=self.log)
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline and self.process.poll() is None:
            try:
                if self.get("/healthz")[0] == 200:
                    return
            except OSError:
                time.sleep(0.05)
        raise RuntimeError("kestrilon-table did not start: " + open(self.log.name).read())

    def request(self, method, path, body=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30)
        connection.request(method, path, body, {"Content-Type": "application/json"})
        response = connection.getresponse()
        data = response.read()
        connection.close()
        try:
            answer = json.loads(data)
        except ValueError:
            answer = None
        return response.status, answer, dict(response.getheaders())

    def get(self, path):
        return self.request("GET", path)

    def submit(self, code, name="ANNA"):
        return self.request("POST", "/api/games", json.dumps({"code": code, "name": name}))

    def workers(self):
        with open("/proc/%d/task/%d/children" % (self.process.pid, self.process.pid)) as children:
            return [int(pid) for pid in children.read().split()]

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        return self.process.wait(30)


def refused(server, what, body, status, reason):
    got, answer, _ = server.request("POST", "/api/games", body)
    error = (answer or {}).get("error", "") if isinstance(answer, dict) else ""
    check("%s: %d %r" % (what, got, error), got == status and reason in error)


with tempfile.TemporaryDirectory() as work:
    server = Server(work, "--data", work, "--rate", "0")
    real = codes(8, 500)
    end = subprocess.run([simulator, "--replay", real[0]], capture_output=True, text=True,
                         check=True).stdout.split("\n")[-2].split()
    status, entry, _ = server.submit(real[0], "  Anna-1.b_ ")
    check("a real code is taken: %d %s, its score and stage the simulator's (%s)"
          % (status, entry, " ".join(end)),
          status == 201 and entry["score"] == int(end[2]) and entry["stage"] == int(end[3]) and
          entry["name"] == "Anna-1.b_" and entry["rank"] == 1 and entry["code"] == real[0])
    status, again, _ = server.submit("\ufeff " + real[0] + "\r\n", "BOB")
    check("the same code again, as an editor leaves it, answers with its entry: %d" % status,
          status == 200 and again == entry and len(server.get("/api/games")[1]["games"]) == 1)
    middle = len(real[1]) // 2
    edited = real[1][:middle] + ("A" if real[1][middle] != "A" else "B") + real[1][middle + 1:]
    refused(server, "an edited code", json.dumps({"code": edited, "name": "X"}), 400, "damaged")
    refused(server, "a cut code", json.dumps({"code": real[1][:-6], "name": "X"}), 400, "cut short")
    refused(server, "a code of another version", json.dumps({"code": "K2." + real[1][3:], "name": "X"}),
            400, "another version")
    refused(server, "an oversized body", json.dumps({"code": "K1." + "A" * (9 << 20), "name": "X"}), 413,
            "too large")
    refused(server, "bad JSON", '{"code": "K1.', 400, "not a JSON object")
    refused(server, "a score instead of a code", json.dumps({"score": 99999, "name": "X"}), 400,
            "needs \"code\"")
    for name, reason in (("", "empty"), ("A" * 17, "longer than 16"), ("<b>x</b>", "only letters")):
        refused(server, "the name %r" % name, json.dumps({"code": real[1], "name": name}), 400, reason)
    check("nothing refused was stored", server.get("/api/games")[1]["games"] == [entry])

    status, info, _ = server.get("/api/info")
    today = datetime.date.fromisoformat(info["today"])
    check("api/info names the table, today and the open days: %s" % info,
          status == 200 and info["table"] == "kestrilon" and
          abs(today - datetime.datetime.now(datetime.timezone.utc).date()).days <= 1 and
          today.isoformat() in info["days"] and info["days"] == sorted(info["days"]) and
          len(info["days"]) in (2, 3))
    status, daily, _ = server.submit(codes(1, today.isoformat())[0])
    check("a game of today's seed is on today's board: %d %s %s"
          % (status, daily.get("day"), daily.get("dayRank")),
          status == 201 and daily["day"] == today.isoformat() and daily["dayRank"] == 1)
    status, late, _ = server.submit(codes(1, (today - datetime.timedelta(days=2)).isoformat())[0])
    board = server.get("/api/games?day=" + today.isoformat())[1]["games"]
    check("a game of a closed day's seed is on the all-time board only: %d %s, today's board %s"
          % (status, late.get("day"), [game["id"] for game in board]),
          status == 201 and late["day"] is None and late["dayRank"] == 0 and
          [game["id"] for game in board] == [daily["id"]])
    for day in ("bad", "2026-02-30", "2026-1-05"):
        status, answer, _ = server.get("/api/games?day=" + day)
        check("a board of the day %r is refused: %d %s" % (day, status, answer),
              status == 400 and answer["error"] == "the day is not a date (YYYY-MM-DD)")

    for worker in server.workers():
        os.kill(worker, signal.SIGSTOP)
    status, answer, _ = server.submit(real[1])
    check("a code whose simulation stalls is refused for time: %d %s" % (status, answer),
          status == 422 and "too long" in answer["error"])
    status, _, _ = server.submit(real[2])
    check("and the server goes on with a new worker: %d" % status, status == 201)
    for worker in server.workers():
        os.kill(worker, signal.SIGKILL)
    time.sleep(0.1)
    status, _, _ = server.submit(real[3])
    check("workers that died are replaced: %d" % status, status == 201)
    server.stop()  # a request's line is written once its answer is sent
    log = open(server.log.name).read()
    check("a line per request on stderr in the common log format",
          '] "POST /api/games HTTP/1.1" 201 ' in log and log.count('"POST /api/games') >= 14)

    limited = Server(work, "--data", work, "--rate", "3")
    statuses = [limited.submit(code)[0] for code in real[4:7]]
    status, answer, headers = limited.submit(real[7])
    check("a flood past --rate 3 a minute: %s then %d, Retry-After %s"
          % (statuses, status, headers.get("Retry-After")),
          statuses == [201] * 3 and status == 429 and int(headers.get("Retry-After", "0")) > 0)
    check("hide and unhide take an entry down and back",
          subprocess.run([table, "hide", str(entry["id"]), "--data", work]).returncode == 0 and
          limited.get("/api/games/%d" % entry["id"])[0] == 404 and
          subprocess.run([table, "unhide", str(entry["id"]), "--data", work]).returncode == 0 and
          limited.get("/api/games/%d" % entry["id"])[0] == 200)
    limited.stop()

    # SIGTERM while submissions stream in: every entry answered 201 is there after a restart.
    stream = Server(work, "--data", work, "--rate", "0")
    accepted = []
    lock = threading.Lock()

    def submit_all(batch):
        for code in batch:
            try:
                status, answer, _ = stream.submit(code)
            except OSError:
                return
            if status == 201:
                with lock:
                    accepted.append((answer["id"], code))

    batch = codes(600, 10000)
    threads = [threading.Thread(target=submit_all, args=(batch[i::4],)) for i in range(4)]
    for thread in threads:
        thread.start()
    while len(accepted) < 100 and any(thread.is_alive() for thread in threads):
        time.sleep(0.01)
    exit_code = stream.stop()
    for thread in threads:
        thread.join()
    after = Server(work, "--data", work)
    lost = [pair for pair in accepted if after.get("/api/games/%d" % pair[0])[1].get("code") != pair[1]]
    check("SIGTERM during submissions: exit %d, %d of %d codes accepted, none lost (%s)"
          % (exit_code, len(accepted), len(batch), lost[:3]),
          exit_code == 0 and 100 <= len(accepted) < len(batch) and not lost)
    after.stop()

    if "PGHOST" not in os.environ:
        print("skipped: two servers on one PostgreSQL (no PostgreSQL 15)")
    else:
        pair = [Server(work, "--database", "postgresql://", "--rate", "0") for _ in range(2)]
        shared = codes(30, 900)
        answers = []

        def race(server):
            for code in shared:
                answers.append(server.submit(code, "S%d" % server.port)[0])

        threads = [threading.Thread(target=race, args=(server,)) for server in pair]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        tables = [server.get("/api/games?limit=100")[1]["games"] for server in pair]
        check("two servers on one PostgreSQL take the same 30 codes at once: %d created, %d rows"
              % (answers.count(201), len(tables[0])),
              sorted(answers) == [200] * 30 + [201] * 30 and len(tables[0]) == 30 and
              sorted(game["code"] for game in tables[0]) == sorted(shared) and tables[0] == tables[1])
        for server in pair:
            server.stop()

print("%d failed" % failures)
sys.exit(1 if failures else 0)
