"""The web server of the print service's whole-run test: serves this folder as an ordinary
site does, and keeps what a page reports (POST /report?name=NAME) as reports/NAME.json."""
import http.server
import os
import sys
import urllib.parse

ROOT = os.path.dirname(os.path.abspath(__file__))
REPORTS = sys.argv[2]


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=ROOT, **kwargs)

    def do_POST(self):
        query = urllib.parse.parse_qs(urllib.parse.urlparse(self.path).query)
        name = "".join(c for c in query.get("name", ["report"])[0] if c.isalnum() or c in "-_")
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        with open(os.path.join(REPORTS, name + ".json.part"), "wb") as f:
            f.write(body)
        os.replace(os.path.join(REPORTS, name + ".json.part"), os.path.join(REPORTS, name + ".json"))
        self.send_response(204)
        self.end_headers()

    def log_message(self, *args):
        pass


http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()
