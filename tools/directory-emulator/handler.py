# SPDX-License-Identifier: GPL-3.0-or-later
"""HTTP request handling: the directory's endpoints and the control API."""

import json
from dataclasses import dataclass
from http.server import BaseHTTPRequestHandler
from urllib.parse import parse_qs, unquote, urlsplit

import faults
from catalog import Document, encode
from control import RuleError, parse_rules

JSON = faults.JSON
STATIONS_PREFIX = "/json/stations/bycountrycodeexact/"
URL_PREFIX = "/json/url/"
VOTE_PREFIX = "/json/vote/"
CONTROL_PREFIX = "/_control/"
EMPTY_LIST = Document(b"[]")


@dataclass
class Answer:
    status: int
    document: Document
    content_type: str = JSON


def _flag(query, name):
    return query.get(name, "").lower() in ("true", "1")


def _number(query, name):
    try:
        return int(query[name])
    except (KeyError, ValueError):
        return None


class DirectoryHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "DirectoryEmulator/1.0"
    sys_version = ""
    timeout = 120   # idle keep-alive connections are closed after this

    def do_GET(self):
        self._handle()

    def do_POST(self):
        self._handle()

    def version_string(self):
        return self.server_version

    def log_message(self, format, *args):
        if self.server.verbose:
            super().log_message(format, *args)

    # -- sending ------------------------------------------------------------

    def send_body(self, status, content_type, body, etag=None, extra=()):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        if etag:
            self.send_header("ETag", etag)
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def send_answer(self, answer):
        doc = answer.document
        if answer.status == 200 and doc.etag in self.headers.get("If-None-Match", ""):
            self.send_response(304)
            self.send_header("ETag", doc.etag)
            self.end_headers()
            return
        extra = [("Access-Control-Allow-Origin", "*")]
        body = doc.body
        if self.server.gzip:
            extra.append(("Vary", "Accept-Encoding"))
            if "gzip" in self.headers.get("Accept-Encoding", ""):
                body = doc.gzipped()
                extra.append(("Content-Encoding", "gzip"))
        self.send_body(answer.status, answer.content_type, body, doc.etag, extra)

    def _send_control(self, status, value):
        self.send_body(status, JSON, encode(value), extra=[("Cache-Control", "no-store")])

    # -- dispatching --------------------------------------------------------

    def _handle(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        url = urlsplit(self.path)
        try:
            if url.path.startswith(CONTROL_PREFIX):
                self._control(url.path[len(CONTROL_PREFIX):], body)
            else:
                self._directory(url, body)
        except OSError:     # the client hung up
            self.close_connection = True

    def _directory(self, url, body):
        query = {name: values[-1] for name, values
                 in parse_qs(url.query, keep_blank_values=True).items()}
        query.update(self._form(body))
        headers = {}
        for name, value in self.headers.items():
            headers[name] = headers[name] + ", " + value if name in headers else value
        state = self.server.state
        state.record({"method": self.command, "path": url.path, "query": query,
                      "raw_query": url.query, "headers": headers})
        rule = state.take_rule(url.path)
        state.begin()
        try:
            if rule:
                faults.respond(self, rule, lambda: self._route(url.path, query))
            else:
                self.send_answer(self._route(url.path, query))
        finally:
            state.end()

    def _form(self, body):
        """Parameters sent in a POST body, as a form or as a JSON object."""
        kind = self.headers.get("Content-Type", "")
        try:
            if "json" in kind:
                value = json.loads(body.decode("utf-8") or "{}")
                return {str(k): ",".join(map(str, v)) if isinstance(v, list) else str(v)
                        for k, v in value.items()} if isinstance(value, dict) else {}
            return {name: values[-1] for name, values
                    in parse_qs(body.decode("utf-8"), keep_blank_values=True).items()}
        except ValueError:
            return {}

    def _route(self, path, query):
        catalog = self.server.catalog
        directory = self.server.directory
        if path == "/json/servers":
            return Answer(200, self.server.state.servers() or catalog.servers)
        if path == "/json/stations/search":
            return Answer(200, Document(encode(directory.search(query))))
        if path == "/json/stations/byuuid":
            return Answer(200, Document(encode(directory.by_uuid(query.get("uuids", "").split(",")))))
        if path.startswith(VOTE_PREFIX):
            return Answer(200, Document(encode(directory.vote(unquote(path[len(VOTE_PREFIX):])))))
        if path == "/json/countries":
            return Answer(200, catalog.countries(query.get("order"), _flag(query, "reverse")))
        if path.startswith(STATIONS_PREFIX):
            code = unquote(path[len(STATIONS_PREFIX):])
            doc = catalog.stations(code, _flag(query, "hidebroken"), _number(query, "count"))
            return Answer(200, doc or EMPTY_LIST)
        if path.startswith(URL_PREFIX):
            uuid = unquote(path[len(URL_PREFIX):])
            found = catalog.station_url(uuid)
            if found:
                reply = {"ok": True, "message": "retrieved station url",
                         "stationuuid": uuid, "name": found[0], "url": found[1]}
            else:
                reply = {"ok": False, "message": "did not find station with matching uuid",
                         "stationuuid": uuid, "name": "", "url": ""}
            return Answer(200, Document(encode(reply)))
        return Answer(404, Document(faults.NOT_FOUND_PAGE), faults.HTML)

    def _control(self, action, body):
        state = self.server.state
        if self.command == "GET" and action == "requests":
            self._send_control(200, state.requests())
        elif self.command == "GET" and action == "status":
            self._send_control(200, state.status())
        elif self.command == "GET" and action == "mode":
            self._send_control(200, state.rules())
        elif self.command == "POST" and action == "reset":
            state.reset()
            self.server.directory.reset()
            self._send_control(200, {"ok": True})
        elif self.command == "POST" and action in ("edit", "servers"):
            try:
                value = json.loads(body.decode("utf-8") or "null")
                if action == "edit":
                    if not isinstance(value, dict) or not all(
                            v is None or isinstance(v, dict) for v in value.values()):
                        raise ValueError("edit takes {stationuuid: {key: value} or null}")
                    self.server.directory.edit(value)
                else:
                    state.set_servers(value)
            except ValueError as error:
                self._send_control(400, {"ok": False, "error": str(error)})
                return
            self._send_control(200, {"ok": True})
        elif self.command == "POST" and action == "mode":
            try:
                rules = parse_rules(json.loads(body.decode("utf-8") or "null"))
            except (ValueError, RuleError) as error:
                self._send_control(400, {"ok": False, "error": str(error)})
                return
            state.set_rules(rules)
            self._send_control(200, {"ok": True, "rules": rules})
        else:
            self._send_control(404, {"ok": False, "error": "no such control action"})
