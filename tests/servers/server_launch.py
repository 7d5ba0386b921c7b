"""What the test servers share: their command line, a hard time limit, and running a
command (a test program) with the server's port in its environment."""

import argparse
import os
import subprocess
import sys
import threading


def parse_arguments(description, limit_option, limit_default, extra=()):
    """--port, --time-limit, the server's own count limit, the server's own text options
    (extra: (name, default, help) each) and an optional "-- COMMAND ..."; arms the hard
    time limit. Returns the arguments and the command (a list, maybe empty)."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--time-limit", type=float, default=600)
    parser.add_argument(limit_option, type=int, default=limit_default)
    for name, default, text in extra:
        parser.add_argument(name, default=default, help=text)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    arm_hard_limit(args.time_limit)
    return args, args.command[1:] if args.command[:1] == ["--"] else args.command


def arm_hard_limit(seconds):
    """Ends the process a little after `seconds`, whatever the server or the command is doing."""
    killer = threading.Timer(seconds + 5, lambda: os._exit(3))
    killer.daemon = True
    killer.start()


def serve_or_run(command, port, stop, time_limit, port_variable, server_name):
    """Without a command: prints "port N" and serves until `stop` or the time limit.
    With one: runs it with PORT_VARIABLE=port; its exit status (124 when it was killed)."""
    if not command:
        print(f"port {port}", flush=True)
        stop.wait(time_limit)
        return 0
    env = dict(os.environ, **{port_variable: str(port)})
    try:
        return subprocess.run(command, env=env, timeout=time_limit).returncode
    except subprocess.TimeoutExpired:
        print(f"{server_name}: {command[0]} still running after {time_limit} s; killed", file=sys.stderr)
        return 124
