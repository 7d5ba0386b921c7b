#!/usr/bin/env python3
"""Runs a main-window test program with everything it needs on this machine.

    ui_servers.py --download-port P --stats-port S --lobby LOBBY_EXE --time-limit T -- COMMAND...

It writes the packages the tests serve (a good sample package and a file that is no zip),
mounts two small tmpfs volumes (54 and 55 MiB) when the system lets it, starts the
statistics server on S in the background and runs COMMAND under the download server on P
(the ports the program under test has baked in). The test program finds in its
environment:
    UI_GOOD_PACKAGE, UI_BAD_PACKAGE   Unix paths of the two packages (for the server)
    STATS_SERVER_PORT                 the statistics server's port
    UI_VOLUME_54, UI_VOLUME_55        Unix paths of the small volumes (missing when not mounted)
Both servers stop by themselves at the time limit; the volumes are unmounted at the end.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools"))
from make_package import write_package  # noqa: E402

FAULT_SERVER = os.path.join(ROOT, "tests", "servers", "fault_server.py")


def mount_small_volume(folder, mib):
    os.makedirs(folder, exist_ok=True)
    result = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%dm" % mib, "tmpfs", folder],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return result.returncode == 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--download-port", type=int, required=True)
    parser.add_argument("--stats-port", type=int, required=True)
    parser.add_argument("--lobby", required=True)
    parser.add_argument("--time-limit", type=float, default=300)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command

    work = tempfile.mkdtemp(prefix="ui-test-")
    mounted = []
    stats = None
    try:
        good = os.path.join(work, "good.zip")
        write_package(args.lobby, good, data_mb=3.0)
        bad = os.path.join(work, "bad.zip")
        with open(bad, "wb") as out:
            out.write(b"this is no zip archive\r\n" * 40000)
        env = dict(os.environ, UI_GOOD_PACKAGE=good, UI_BAD_PACKAGE=bad,
                   STATS_SERVER_PORT=str(args.stats_port))
        for mib in (54, 55):
            folder = os.path.join(work, "volume%d" % mib)
            if mount_small_volume(folder, mib):
                mounted.append(folder)
                env["UI_VOLUME_%d" % mib] = folder

        stats = subprocess.Popen([sys.executable, FAULT_SERVER, "--port", str(args.stats_port),
                                  "--time-limit", str(args.time_limit)], stdout=subprocess.PIPE, text=True)
        if not stats.stdout.readline().startswith("port"):
            print("ui_servers: the statistics server did not start", file=sys.stderr)
            return 1
        return subprocess.call([sys.executable, FAULT_SERVER, "--port", str(args.download_port),
                                "--time-limit", str(args.time_limit), "--"] + command, env=env)
    finally:
        if stats:
            stats.kill()
            stats.wait()
        for folder in mounted:
            subprocess.run(["umount", folder], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
