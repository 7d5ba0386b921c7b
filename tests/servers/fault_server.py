#!/usr/bin/env python3
"""A download server with switchable faults, for the download engine's tests and benchmarks.

Listens on 127.0.0.1 only and answers in HTTP/1.0 (one response per connection). It stops
by itself after --time-limit seconds or --max-requests requests, whichever comes first.

    fault_server.py [--port P] [--time-limit S] [--max-requests N] [--config QUERY]
        serves in the foreground and prints "port N" once it listens;
    fault_server.py [options] -- COMMAND [ARGS...]
        serves in the background, runs COMMAND with FAULT_SERVER_PORT in its environment,
        and exits with its status (COMMAND is killed at the time limit).

--config QUERY starts with the faults of a /__control query (say, a real file to serve).

Control paths (every configuration starts from the defaults):
    GET /__control?key=value&...   set the faults below and clear the log and counters
    GET /__log                     what each request sent and got, as text blocks
    GET /__stats                   "requests N" and "body_bytes N" (object body bytes sent)
    GET /__shutdown                stop

Keys of /__control:
    path=/pkg.bin        object path          size=N, seed=N   the generated object
    lm=TEXT              Last-Modified; "none" leaves it out; repeated: one per request in turn
    lm_from=K:TEXT       from the K-th object response on (0-based), Last-Modified TEXT
    no_cl=1              no Content-Length    cl_extra=N       Content-Length N above the body
    range=honour|ignore|shift|status          how a "Range: bytes=N-" request is answered
    range_shift=N        with range=shift: the body and Content-Range start N bytes early
    range_status=N       with range=status: the status given to ranged requests (416)
    drop_after=N         close after N body bytes of a response; drop_count=K: first K only
    stall_after=N        go silent after N body bytes for stall_secs (default 20), then close;
                         stall_count=K: first K only; stall_headers=1: silent before headers
    status=N             answer the object path with status N
    status_secs=S        with status=N: only for the first S seconds after this configuration
    redirect=FROM CODE LOCATION   (repeatable) answer path FROM with CODE and LOCATION
    filler=N             add a header line of N bytes to every object response
    write_timeout=S      drop a connection whose client does not read for S seconds (30)
    file=PATH            serve this file's bytes as the object instead of generated ones
    rate=N               send the object body at about N bytes a second
    stats_delay=S        answer a statistics request (/ajax/...) after S seconds (at most 30)

A statistics request gets "ok" and is logged like an object request; its status shows in
the log only once the answer has been written.

The object's byte k is a hash of (k mod 65521, seed): the tests generate the same bytes.
"""

import re
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

import server_launch

PERIOD = 65521
MAX_STALL_SECS = 60
DEFAULT_LM = "Wed, 21 Oct 2015 07:28:00 GMT"


def object_block(seed, cache={}):
    if seed not in cache:
        out = bytearray(PERIOD)
        for k in range(PERIOD):
            x = (k * 2654435761 + seed * 40503 + 12345) & 0xFFFFFFFF
            x ^= x >> 15
            x = (x * 2246822519) & 0xFFFFFFFF
            x ^= x >> 13
            x = (x * 3266489917) & 0xFFFFFFFF
            x ^= x >> 16
            out[k] = x & 0xFF
        # Twice, so that any slice of up to one period is one plain slice.
        cache[seed] = bytes(out) * 2
    return cache[seed]


def object_chunks(seed, start, end, chunk=65536):
    block = object_block(seed)
    pos = start
    while pos < end:
        offset = pos % PERIOD
        n = min(end - pos, PERIOD, chunk)
        yield block[offset:offset + n]
        pos += n


class Faults:
    def __init__(self, query=""):
        q = urllib.parse.parse_qs(query, keep_blank_values=True)

        def one(key, default):
            return q[key][-1] if key in q else default

        def number(key, default):
            return int(one(key, default))

        self.path = one("path", "/pkg.bin")
        self.size = number("size", 5000)
        self.seed = number("seed", 1)
        self.lm = q.get("lm", [DEFAULT_LM])
        self.no_cl = one("no_cl", "0") == "1"
        self.cl_extra = number("cl_extra", 0)
        self.range = one("range", "honour")
        self.range_shift = number("range_shift", 0)
        self.range_status = number("range_status", 416)
        self.drop_after = number("drop_after", -1)
        self.drop_count = number("drop_count", -1)
        self.stall_after = number("stall_after", -1)
        self.stall_secs = min(float(one("stall_secs", "20")), MAX_STALL_SECS)
        self.stall_count = number("stall_count", -1)
        self.stall_headers = one("stall_headers", "0") == "1"
        self.status = number("status", 0)
        self.status_secs = float(one("status_secs", "0"))
        self.created = time.monotonic()
        self.lm_from = None
        if "lm_from" in q:
            first, text = one("lm_from", "").split(":", 1)
            self.lm_from = (int(first), text)
        self.filler = number("filler", 0)
        self.write_timeout = float(one("write_timeout", "30"))
        self.file = one("file", "")
        self.file_bytes = b""
        if self.file:
            with open(self.file, "rb") as source:
                self.file_bytes = source.read()
            self.size = len(self.file_bytes)
        self.rate = number("rate", 0)
        self.stats_delay = min(float(one("stats_delay", "0")), 30)
        self.redirects = {}
        for rule in q.get("redirect", []):
            source, code, location = rule.split(" ", 2)
            self.redirects[source] = (int(code), location)


class State:
    def __init__(self):
        self.lock = threading.Lock()
        self.faults = Faults()
        self.log = []
        self.requests = 0
        self.object_responses = 0
        self.body_bytes = 0
        self.stop = threading.Event()

    def configure(self, query):
        faults = Faults(query)  # a bad query raises before anything changes
        with self.lock:
            self.faults = faults
            self.log = []
            self.object_responses = 0
            self.body_bytes = 0


STATE = State()


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    server_version = "FaultServer"
    sys_version = ""

    def log_message(self, *args):
        pass

    def setup(self):
        super().setup()
        self.connection.settimeout(10)

    def do_GET(self):
        with STATE.lock:
            STATE.requests += 1
            if STATE.requests >= self.server.max_requests:
                STATE.stop.set()
        url = urllib.parse.urlsplit(self.path)
        if url.path.startswith("/__"):
            return self.control(url)
        with STATE.lock:
            faults = STATE.faults
            entry = {"line": self.requestline, "headers": [f"{k}: {v}" for k, v in self.headers.items()],
                     "status": 0, "sent": 0}
            STATE.log.append(entry)
        self.connection.settimeout(faults.write_timeout)
        try:
            self.serve_object(faults, entry)
        except (OSError, ValueError):
            pass  # the client went away, or a write timed out: the connection just ends
        self.close_connection = True

    def control(self, url):
        if url.path == "/__control":
            try:
                STATE.configure(url.query)
                return self.reply(200, b"ok\n")
            except (ValueError, KeyError) as error:
                return self.reply(400, f"bad control query: {error}\n".encode())
        if url.path == "/__log":
            with STATE.lock:
                blocks = []
                for n, entry in enumerate(STATE.log):
                    lines = [f"request {n}", "line " + entry["line"]]
                    lines += ["header " + h for h in entry["headers"]]
                    lines += [f"status {entry['status']}", f"sent {entry['sent']}", "end"]
                    blocks.append("\n".join(lines) + "\n")
            return self.reply(200, "".join(blocks).encode())
        if url.path == "/__stats":
            with STATE.lock:
                text = f"requests {len(STATE.log)}\nbody_bytes {STATE.body_bytes}\n"
            return self.reply(200, text.encode())
        if url.path == "/__shutdown":
            self.reply(200, b"bye\n")
            STATE.stop.set()
            return None
        return self.reply(404, b"no such control path\n")

    def reply(self, status, body, headers=()):
        self.send_response_only(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def serve_object(self, faults, entry):
        path = urllib.parse.urlsplit(self.path).path
        if path.startswith("/ajax/"):
            STATE.stop.wait(faults.stats_delay)
            self.reply(200, b"ok\n")
            entry["status"] = 200
            return None
        if path in faults.redirects:
            code, location = faults.redirects[path]
            entry["status"] = code
            return self.reply(code, b"", [("Location", location)])
        if path != faults.path:
            entry["status"] = 404
            return self.reply(404, b"not here\n")
        if faults.status and (not faults.status_secs or time.monotonic() - faults.created < faults.status_secs):
            entry["status"] = faults.status
            return self.reply(faults.status, b"fault\n")

        with STATE.lock:
            index = STATE.object_responses
            STATE.object_responses += 1
        if faults.stall_headers:
            STATE.stop.wait(faults.stall_secs)
            return None

        size = faults.size
        status, start, content_range = 200, 0, None
        asked = self.asked_offset()
        if asked is not None and faults.range != "ignore":
            if faults.range == "status" or asked >= size:
                entry["status"] = faults.range_status if faults.range == "status" else 416
                return self.reply(entry["status"], b"", [("Content-Range", f"bytes */{size}")])
            start = max(0, asked - faults.range_shift) if faults.range == "shift" else asked
            status, content_range = 206, f"bytes {start}-{size - 1}/{size}"

        headers = [("Content-Type", "application/octet-stream"), ("Accept-Ranges", "bytes")]
        lm = faults.lm[index % len(faults.lm)]
        if faults.lm_from and index >= faults.lm_from[0]:
            lm = faults.lm_from[1]
        if lm != "none":
            headers.append(("Last-Modified", lm))
        if content_range:
            headers.append(("Content-Range", content_range))
        if not faults.no_cl:
            headers.append(("Content-Length", str(size - start + faults.cl_extra)))
        if faults.filler:
            headers.append(("X-Filler", "f" * faults.filler))
        entry["status"] = status
        self.send_response_only(status)
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.flush()

        limit, stall = size - start, False
        if faults.drop_after >= 0 and (faults.drop_count < 0 or index < faults.drop_count):
            limit = min(limit, faults.drop_after)
        if faults.stall_after >= 0 and (faults.stall_count < 0 or index < faults.stall_count):
            if faults.stall_after < limit:
                limit, stall = faults.stall_after, True
        if faults.file:
            chunks = (faults.file_bytes[at:min(at + 65536, start + limit)] for at in range(start, start + limit, 65536))
        else:
            chunks = object_chunks(faults.seed, start, start + limit)
        pace = min(65536, max(1024, faults.rate // 20)) if faults.rate else 0
        for chunk in chunks:
            for at in range(0, len(chunk), pace or len(chunk)):
                piece = chunk[at:at + pace] if pace else chunk
                self.connection.sendall(piece)
                with STATE.lock:
                    entry["sent"] += len(piece)
                    STATE.body_bytes += len(piece)
                if pace:
                    time.sleep(len(piece) / faults.rate)
        if stall:
            STATE.stop.wait(faults.stall_secs)
        return None

    def asked_offset(self):
        value = self.headers.get("Range")
        if value is None:
            return None
        match = re.fullmatch(r"\s*bytes\s*=\s*(\d+)\s*-\s*", value, re.IGNORECASE)
        return int(match.group(1)) if match else None


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


def start_server(port, max_requests):
    server = Server(("127.0.0.1", port), Handler)
    server.max_requests = max_requests
    server.timeout = 0.5
    thread = threading.Thread(target=serve_until_stopped, args=(server,), daemon=True)
    thread.start()
    return server, thread


def serve_until_stopped(server):
    while not STATE.stop.is_set():
        server.handle_request()
    server.server_close()


def main():
    args, command = server_launch.parse_arguments(
        __doc__.splitlines()[0], "--max-requests", 100000,
        extra=[("--config", "", "the /__control query to start with")])
    STATE.configure(args.config)
    server, thread = start_server(args.port, args.max_requests)
    object_block(1)
    status = server_launch.serve_or_run(command, server.server_address[1], STATE.stop, args.time_limit,
                                        "FAULT_SERVER_PORT", "fault_server")
    STATE.stop.set()
    thread.join(5)
    return status


if __name__ == "__main__":
    sys.exit(main())
