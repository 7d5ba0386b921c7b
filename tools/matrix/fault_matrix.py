#!/usr/bin/env python3
"""The fault matrix: whole installs against every fault of the test server.

    fault_matrix.py --build BUILD_DIR [--rows NAME,...] [--mode headless|window|both] [--port P]

Runs inside a Wine environment that is already up (tools/fault-matrix brings it up; ctest
runs inside tools/test's). One fault server on 127.0.0.1 serves the run, configured afresh for
each row; each row is one install (or two, for the rows that kill the installer and start
it again), then the
outcome (installed, or the failure the user is shown), whether the installed tree is
byte-identical to the package, the package bytes sent over the package's size, and the
time. The last line counts corrupted installs and false successes; the exit status is 0
only when both are 0 and every row ended as it must.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time
import urllib.parse
import urllib.request
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools"))
from make_package import TOP, write_package  # noqa: E402

PACKAGE_PATH = "/update/vexa_lobby.zip"
MB = 1024 * 1024
LM2 = "Thu, 22 Oct 2015 07:28:00 GMT"


class Row:
    def __init__(self, name, query, expect, attempts=12, kill=None):
        self.name, self.query, self.expect, self.attempts, self.kill = name, query, expect, attempts, kill


def redirect_chain(count):
    """count redirects from the package path to the object, the last one an absolute
    address ({origin} is replaced by the server's address when the row runs)."""
    hops = [PACKAGE_PATH] + ["/hop/%d" % n for n in range(1, count)] + ["{origin}/real/pkg.zip"]
    rules = ["redirect=" + urllib.parse.quote("%s 302 %s" % (hops[n], hops[n + 1]), safe="{}")
             for n in range(count)]
    return "path=/real/pkg.zip&" + "&".join(rules)


ROWS = [
    Row("drops-every-1mb", "drop_after=%d" % MB, "installed"),
    Row("stall-10s", "stall_after=%d&stall_secs=10&stall_count=1" % MB, "installed"),
    Row("status-500-for-20s", "status=500&status_secs=20", "installed", attempts=12),
    Row("status-404", "status=404", "download failure", attempts=6),
    Row("redirect-chain-5", redirect_chain(5), "installed"),
    Row("redirect-loop", "redirect=" + urllib.parse.quote(PACKAGE_PATH + " 302 /hop/a") + "&redirect=" +
        urllib.parse.quote("/hop/a 301 " + PACKAGE_PATH), "download failure", attempts=6),
    Row("last-modified-missing", "lm=none", "download failure", attempts=6),
    Row("last-modified-changed", "drop_after=%d&drop_count=2&lm_from=%s" % (MB, urllib.parse.quote("2:" + LM2)),
        "installed"),
    Row("range-ignored", "drop_after=%d&drop_count=1&range=ignore" % MB, "installed"),
    Row("range-416", "drop_after=%d&drop_count=1&range=status&range_status=416" % MB, "installed"),
    Row("short-body", "cl_extra=1000", "download failure", attempts=4),
    Row("headers-64k", "filler=65536", "installed"),
    Row("killed-mid-download", "rate=%d" % (2 * MB), "installed", kill="download"),
    Row("killed-mid-extraction", "", "installed", kill="extraction"),
]


class FaultServer:
    def __init__(self, log_dir, port=0):
        self.out = open(os.path.join(log_dir, "server.out"), "w+")
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(ROOT, "tests", "servers", "fault_server.py"), "--port", str(port),
             "--time-limit", "1800"], stdout=self.out, stderr=subprocess.STDOUT)
        for _ in range(200):
            self.out.seek(0)
            text = self.out.read()
            if text.startswith("port "):
                self.port = int(text.split()[1])
                return
            time.sleep(0.05)
        raise RuntimeError("the fault server did not start")

    def get(self, path):
        with urllib.request.urlopen("http://127.0.0.1:%d%s" % (self.port, path), timeout=10) as answer:
            return answer.read().decode()

    def configure(self, query):
        self.get("/__control?" + query)

    def body_bytes(self):
        return int(dict(line.split() for line in self.get("/__stats").splitlines())["body_bytes"])

    def stats_types(self):
        lines = [line for line in self.get("/__log").splitlines() if line.startswith("line GET /ajax/")]
        return [urllib.parse.parse_qs(urllib.parse.urlsplit(line.split()[2]).query)["StatistsType"][0] for line in lines]

    def stop(self):
        try:
            self.get("/__shutdown")
        except OSError:
            pass
        self.process.wait(10)


def windows_path(unix):
    return "Z:" + unix.replace("/", "\\")


def tree_matches(package, install_dir):
    """Every file of the package below its top folder, byte for byte, in install_dir."""
    with zipfile.ZipFile(package) as archive:
        for info in archive.infolist():
            if info.is_dir():
                continue
            path = os.path.join(install_dir, info.filename[len(TOP):])
            try:
                with open(path, "rb") as installed:
                    if installed.read() != archive.read(info):
                        return False
            except OSError:
                return False
    return True


class Headless:
    """installer-cli install into a folder of the Wine prefix of its own for each row."""
    name = "headless"

    def __init__(self, build, prefix, server):
        self.cli = os.path.join(build, "bin", "installer-cli.exe")
        self.prefix = prefix
        self.server = server

    def install_dir(self, row):
        return os.path.join(self.prefix, "drive_c", "matrix", row.name, "Halvane")

    def start(self, row):
        host = "127.0.0.1:%d" % self.server.port
        command = ["wine", self.cli, "install", "C:\\matrix\\" + row.name, "--host", host, "--stats-host", host,
                   "--package-path", PACKAGE_PATH, "--attempts", str(row.attempts)]
        return subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def outcome(self, row, process, timeout):
        try:
            output, _ = process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.communicate()
            return "hung"
        lines = output.decode("gbk", "replace").splitlines()
        last = lines[-1].strip() if lines else ""
        if last == "result 0" and process.returncode == 0:
            return "installed"
        if last == "result download-failed":
            return "download failure"
        return "install failure (%s)" % last


class Window:
    """The real installer window with the build's baked-in hosts: started, its main button
    pressed, watched until it has started the lobby and ended, or shows its failure dialog.
    It installs into C:\\Program Files\\Halvane\\, the default folder."""
    name = "window"

    def __init__(self, build, prefix, server):
        self.program = os.path.join(build, "bin", "HalvaneSetup.exe")
        self.watch = os.path.join(build, "bin", "window_watch.exe")
        self.prefix = prefix
        self.server = server

    def install_dir(self, row):
        return os.path.join(self.prefix, "drive_c", "Program Files", "Halvane")

    def start(self, row):
        process = subprocess.Popen(["wine", self.program], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wine", self.watch, "press", "60000"], stdout=subprocess.DEVNULL, timeout=90)
        return process

    def outcome(self, row, process, timeout):
        watched = subprocess.run(["wine", self.watch, "outcome", str(int(timeout * 1000))], capture_output=True,
                                 timeout=timeout + 30).stdout.decode(errors="replace").strip()
        if watched == "failure-dialog":
            process.kill()
            process.wait()
            return "install failure" if "2" in self.server.stats_types() else "download failure"
        try:
            process.wait(30)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            return "hung"
        # The lobby is started through the shell and the installer ends at once; the lobby
        # records its start a moment later.
        ran_file = os.path.join(self.install_dir(row), "lobby-ran.txt")
        deadline = time.monotonic() + 15
        while watched == "ended" and process.returncode == 0 and not os.path.exists(ran_file) \
                and time.monotonic() < deadline:
            time.sleep(0.1)
        ran = os.path.exists(ran_file)
        if watched == "ended" and process.returncode == 0 and ran:
            return "installed"
        return "ended without the lobby (%s, exit %s)" % (watched, process.returncode)


def wait_for(condition, timeout):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.05)
    return False


def run_row(row, runner, package):
    """(outcome, identical, package bytes sent, seconds) of one row."""
    server = runner.server
    install_dir = runner.install_dir(row)
    shutil.rmtree(install_dir, ignore_errors=True)
    served = "file=" + urllib.parse.quote(package, safe="")
    if "path=" not in row.query:
        served += "&path=" + PACKAGE_PATH
    query = row.query.replace("{origin}", urllib.parse.quote("http://127.0.0.1:%d" % server.port, safe=""))
    server.configure(served + ("&" + query if query else ""))
    started = time.monotonic()
    sent_before = 0
    if row.kill:
        first = runner.start(row)
        size = os.path.getsize(package)
        partial = os.path.join(install_dir, "zel_lobby.install")
        small = os.path.join(install_dir, "small")
        if row.kill == "download":
            reached = wait_for(lambda: os.path.exists(partial) and os.path.getsize(partial) >= size * 0.4, 60)
        else:
            reached = wait_for(lambda: os.path.isdir(small) and len(os.listdir(small)) >= 100, 60)
        first.kill()  # SIGKILL: the installer ends at once, as a killed task does
        first.wait()
        if not reached:
            sys.stderr.write("%s: the kill point was not reached\n" % row.name)
        sent_before = server.body_bytes()
        server.configure(served)  # started again, on a healthy line
    outcome = runner.outcome(row, runner.start(row), timeout=300)
    seconds = time.monotonic() - started
    return outcome, tree_matches(package, install_dir), sent_before + server.body_bytes(), seconds


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="")
    parser.add_argument("--rows", default="")
    parser.add_argument("--mode", default="headless", choices=["headless", "window", "both"])
    parser.add_argument("--port", type=int, default=0, help="the fault server's port (the window's baked-in host)")
    parser.add_argument("--prepare", action="store_true", help="only write the package")
    parser.add_argument("--list", action="store_true", help="print the rows' names")
    args = parser.parse_args()
    if args.list:
        print(";".join(row.name for row in ROWS))
        return 0
    build = os.path.abspath(args.build)
    prefix = os.environ["WINEPREFIX"]
    chosen = [row for row in ROWS if not args.rows or row.name in args.rows.split(",")]
    if not chosen:
        print("no such row: %s" % args.rows)
        return 2

    work = os.path.join(build, "matrix")
    os.makedirs(work, exist_ok=True)
    package = os.path.join(work, "package.zip")
    if not os.path.exists(package):
        partial = package + ".%d" % os.getpid()
        write_package(os.path.join(build, "bin", "sample", "lobby.exe"), partial, data_mb=8, small_files=1500)
        os.replace(partial, package)
    size = os.path.getsize(package)
    if args.prepare:
        return 0

    run_dir = os.path.join(work, "run-%d" % os.getpid())
    os.makedirs(run_dir, exist_ok=True)
    server = FaultServer(run_dir, args.port)
    runners = {"headless": [Headless], "window": [Window], "both": [Headless, Window]}[args.mode]
    header = "%-24s %-9s %-22s %-10s %-9s %7s" % ("row", "mode", "outcome", "identical", "sent/size", "seconds")
    print(header)
    print("-" * len(header))
    corrupted = false_success = unexpected = count = 0
    try:
        for make_runner in runners:
            runner = make_runner(build, prefix, server)
            for row in chosen:
                outcome, identical, sent, seconds = run_row(row, runner, package)
                installed = outcome == "installed"
                count += 1
                corrupted += installed and not identical
                false_success += installed and (row.expect != "installed" or not identical)
                unexpected += outcome != row.expect
                print("%-24s %-9s %-22s %-10s %9.3f %7.1f" % (
                    row.name, runner.name, outcome, ("yes" if identical else "no") if installed else "-",
                    sent / size, seconds), flush=True)
    finally:
        server.stop()
    print("runs %d, corrupted installs %d, false successes %d, unexpected outcomes %d" %
          (count, corrupted, false_success, unexpected))
    return 0 if corrupted == 0 and false_success == 0 and unexpected == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
