#!/usr/bin/env python3
"""A stand-in for the product web site: answers /03/report.asp with a small
HTML page and writes every request line it receives to a file, one a line.

    report_server.py <record file>

Listens on 127.0.0.1 at a free port and prints the port on the first line of
its standard output; runs until it is killed.
"""
import http.server
import sys


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(sys.argv[1], "a", encoding="utf-8") as record:
            record.write(self.requestline + "\n")
        if self.path.split("?", 1)[0] == "/03/report.asp":
            # text/html, or the browser takes the page for a download.
            body = b"<html><body><p id='report'>report</p></body></html>"
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
        else:
            body = b"not here"
            self.send_response(404)
            self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def main():
    server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
