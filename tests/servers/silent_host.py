#!/usr/bin/env python3
"""A host that accepts connections and never answers them: a dead banner host.

Listens on 127.0.0.1 only. Every connection is accepted, its request is read and then
nothing is sent; the connection stays open until the client gives up or the host stops.
One path is answered, so that a test can see what reached the host:

    GET /__connections   "connections N": how many silent connections were accepted

It stops by itself after --time-limit seconds or --max-connections connections.

    silent_host.py [--port P] [--time-limit S] [--max-connections N]
        serves in the foreground and prints "port N" once it listens;
    silent_host.py [options] -- COMMAND [ARGS...]
        serves in the background, runs COMMAND with SILENT_HOST_PORT in its environment,
        and exits with its status (COMMAND is killed at the time limit).
"""

import socket
import sys
import threading

import server_launch

STOP = threading.Event()
LOCK = threading.Lock()
SILENT = []  # the connections held open


def request_line(connection):
    data = b""
    while b"\r\n" not in data and len(data) < 8192:
        chunk = connection.recv(4096)
        if not chunk:
            break
        data += chunk
    return data.split(b"\r\n", 1)[0].decode("latin-1")


def serve_connection(connection):
    connection.settimeout(10)
    try:
        line = request_line(connection)
    except OSError:
        connection.close()
        return
    if line.startswith("GET /__connections "):
        with LOCK:
            body = f"connections {len(SILENT)}\n".encode()
        head = f"HTTP/1.0 200 OK\r\nContent-Length: {len(body)}\r\n\r\n".encode()
        try:
            connection.sendall(head + body)
        finally:
            connection.close()
        return
    with LOCK:
        SILENT.append(connection)


def serve(listener, max_connections):
    listener.settimeout(0.5)
    accepted = 0
    while not STOP.is_set() and accepted < max_connections:
        try:
            connection, _ = listener.accept()
        except socket.timeout:
            continue
        accepted += 1
        threading.Thread(target=serve_connection, args=(connection,), daemon=True).start()
    listener.close()


def main():
    args, command = server_launch.parse_arguments(__doc__.splitlines()[0], "--max-connections", 1000)
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", args.port))
    listener.listen(64)
    thread = threading.Thread(target=serve, args=(listener, args.max_connections), daemon=True)
    thread.start()
    status = server_launch.serve_or_run(command, listener.getsockname()[1], STOP, args.time_limit,
                                        "SILENT_HOST_PORT", "silent_host")
    STOP.set()
    thread.join(5)
    with LOCK:
        for connection in SILENT:
            connection.close()
    return status


if __name__ == "__main__":
    sys.exit(main())
