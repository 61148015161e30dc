#!/usr/bin/env python3
"""A keep-alive HTTP/1.1 file server on 127.0.0.1 that waits DELAY ms before serving each new
connection, as a server slow to accept does, and writes how many connections it opened to
COUNT_FILE whenever one opens.  Usage: slow_accept_server.py ROOT PORT_FILE COUNT_FILE [DELAY_MS]"""
import http.server
import os
import socketserver
import sys
import threading
import time

root, port_file, count_file = sys.argv[1:4]
delay = (int(sys.argv[4]) if len(sys.argv) > 4 else 100) / 1000.0
lock = threading.Lock()
opened = 0


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=root, **kwargs)

    def setup(self):
        global opened
        time.sleep(delay)
        with lock:
            opened += 1
            with open(count_file, "w") as out:
                out.write(str(opened))
        super().setup()

    def log_message(self, *args):
        pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    request_queue_size = 128


server = Server(("127.0.0.1", 0), Handler)
with open(port_file, "w") as out:
    out.write(str(server.server_address[1]))
server.serve_forever()
