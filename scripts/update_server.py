#!/usr/bin/env python3
"""A local stand-in for Tavilo's update server, for the tests.

Usage: update_server.py FOLDER

Makes a self-signed certificate for 127.0.0.1 in FOLDER, then serves HTTPS
on 127.0.0.1, one port per answer below, and writes "name port" lines to
FOLDER/ports once every port listens. The port named "closed" is bound but
never listens, so a connection to it is refused. Runs until it is killed.

Only a request like the program's own (GET /releases/latest with the user
agent "Tavilo/HTTPClient") gets the answer of its port; any other request
gets status 400, which the program must ignore.
"""
import http.server
import os
import socket
import ssl
import subprocess
import sys
import threading

HTML_PAGE = (b"<!DOCTYPE html>\r\n<html><head><title>404 Not Found</title></head>\r\n"
             b"<body><h1>Not Found</h1></body></html>\r\n")

# name: (status, body)
ANSWERS = {
    "current_crlf": (200, b"1.8.3\r\n"),
    "newer": (200, b"1.8.4"),
    "older": (200, b"1.8.2"),
    "leading_blank": (200, b" 1.8.3"),
    "blanks": (200, b" \r\n\t  \r\n"),
    # 63 bytes of a version number ending in a digit, then 37 more bytes.
    "long": (200, b"1.8.4" + b".0" * 29 + b"1" * 37),
    "not_found": (404, HTML_PAGE),
    "unavailable": (503, b"1.9.0"),
    "html": (200, HTML_PAGE),
    "newer_minor": (200, b"1.10.0"),
}


def make_certificate(folder):
    key = os.path.join(folder, "key.pem")
    cert = os.path.join(folder, "cert.pem")
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
         "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
         "-keyout", key, "-out", cert],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return cert, key


def handler_for(status, body):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def do_GET(self):
            expected = (self.path == "/releases/latest"
                        and self.headers.get("User-Agent") == "Tavilo/HTTPClient")
            code, payload = (status, body) if expected else (400, b"9.9.9")
            # Headers and body in one write, so that they travel in one TLS record.
            head = (f"HTTP/1.1 {code} {self.responses.get(code, ('',))[0]}\r\n"
                    f"Content-Type: text/plain\r\nContent-Length: {len(payload)}\r\n"
                    f"Connection: close\r\n\r\n").encode("ascii")
            self.wfile.write(head + payload)
            self.wfile.flush()
            self.close_connection = True

        def log_message(self, *args):
            pass

    return Handler


def serve(context, status, body):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler_for(status, body))
    server.daemon_threads = True
    server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(*make_certificate(folder))

    ports = {name: serve(context, status, body) for name, (status, body) in ANSWERS.items()}
    closed = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    closed.bind(("127.0.0.1", 0))
    ports["closed"] = closed.getsockname()[1]

    temporary = os.path.join(folder, "ports.tmp")
    with open(temporary, "w") as out:
        for name, port in ports.items():
            out.write(f"{name} {port}\n")
    os.replace(temporary, os.path.join(folder, "ports"))
    threading.Event().wait()


if __name__ == "__main__":
    main()
