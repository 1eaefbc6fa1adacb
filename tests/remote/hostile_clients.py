"""Clients that misbehave on purpose, written on raw sockets so that no client library smooths
over what they send: HTTP/2 frames by hand over TLS, idle TCP connections, oversize messages."""

import os
import pathlib
import socket
import ssl
import struct
import threading
import time

PREFACE = b"PRI * HTTP/2.0\r\n\r\nSM\r\n\r\n"
HEADERS, RST_STREAM, SETTINGS, DATA = 1, 3, 4, 0
END_STREAM, END_HEADERS, ACK = 0x1, 0x4, 0x1
CANCEL = 8
SERVER_NAME = "/sila2.org.silastandard.core.silaservice.v1.SiLAService/Get_ServerName"


def frame(kind, flags, stream, payload=b""):
    return struct.pack(">I", len(payload))[1:] + bytes([kind, flags]) + struct.pack(
        ">I", stream) + payload


def _string(text):
    data = text.encode()
    assert len(data) < 127
    return bytes([len(data)]) + data


def request_headers(path):
    """HPACK without the dynamic table: indexed :method POST and :scheme https, literals else."""
    return (b"\x83\x87" + b"\x04" + _string(path) + b"\x01" + _string("localhost")
            + b"\x0f\x10" + _string("application/grpc") + b"\x00" + _string("te")
            + _string("trailers"))


def tls_context(certificate):
    context = ssl.create_default_context(cafile=str(certificate))
    context.check_hostname = False
    context.set_alpn_protocols(["h2"])
    return context


class Http2Connection:
    """One TLS connection speaking HTTP/2; whatever the server sends is read and dropped, so that
    its writes never stall on us."""

    def __init__(self, port, certificate, source="127.0.0.1"):
        raw = socket.create_connection(("127.0.0.1", port), timeout=10,
                                       source_address=(source, 0))
        self.socket = tls_context(certificate).wrap_socket(raw, server_hostname="localhost")
        self.socket.sendall(PREFACE + frame(SETTINGS, 0, 0) + frame(SETTINGS, ACK, 0))
        self.closed = threading.Event()
        self.received = 0
        self.reader = threading.Thread(target=self._drain, daemon=True)
        self.reader.start()

    def _drain(self):
        try:
            while True:
                data = self.socket.recv(65536)
                if not data:
                    break
                self.received += len(data)
        except OSError:
            pass
        self.closed.set()

    def send(self, data):
        self.socket.sendall(data)

    def close(self):
        try:
            self.socket.close()
        except OSError:
            pass
        self.reader.join(timeout=5)


def rapid_reset(port, certificate, streams, batch=2000):
    """Opens `streams` requests on one connection and cancels each at once (CVE-2023-44487)."""
    connection = Http2Connection(port, certificate)
    headers = request_headers(SERVER_NAME)
    stream = 1
    try:
        while stream < 2 * streams:
            chunk = bytearray()
            for _ in range(batch):
                if stream >= 2 * streams:
                    break
                chunk += frame(HEADERS, END_HEADERS, stream, headers)
                chunk += frame(RST_STREAM, 0, stream, struct.pack(">I", CANCEL))
                stream += 2
            connection.send(bytes(chunk))
    except OSError:
        pass  # the server may close the connection: that is one way to refuse
    finally:
        connection.close()
    return (stream - 1) // 2


def oversize_message(port, certificate, size, path=SERVER_NAME, seconds=20.0):
    """Sends one gRPC message of `size` bytes (its length prefix and body) on one stream; gives
    the bytes the server took before it closed the stream or the connection."""
    connection = Http2Connection(port, certificate)
    sent = 0
    try:
        connection.send(frame(HEADERS, END_HEADERS, 1, request_headers(path)))
        body = b"\x00" + struct.pack(">I", size)
        piece = b"\x00" * 16384
        connection.send(frame(DATA, 0, 1, body))
        deadline = time.monotonic() + seconds
        connection.socket.settimeout(1.0)
        while sent < size and time.monotonic() < deadline and not connection.closed.is_set():
            try:
                connection.send(frame(DATA, 0, 1, piece))
            except (TimeoutError, socket.timeout):
                continue  # flow control holds us back: the server reads no more
            sent += len(piece)
    except OSError:
        pass
    finally:
        connection.close()
    return sent


def idle_connections(port, count, sources=("127.0.0.1",)):
    """TCP connections that never say a word, spread over the given source addresses; those the
    system refuses are left out."""
    opened = []
    for i in range(count):
        try:
            opened.append(socket.create_connection(
                ("127.0.0.1", port), timeout=2, source_address=(sources[i % len(sources)], 0)))
        except OSError:
            break
    return opened


def closed_by_peer(sock, limit):
    """True when the server closes the connection within `limit` seconds."""
    sock.settimeout(limit)
    try:
        return sock.recv(1) == b""
    except (TimeoutError, socket.timeout):
        return False
    except OSError:
        return True


def memory_kib(pid, field="VmRSS"):
    for line in pathlib.Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith(field + ":"):
            return int(line.split()[1])
    return 0


def open_descriptors(pid):
    return len(os.listdir(f"/proc/{pid}/fd"))
