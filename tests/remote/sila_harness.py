"""The real program on the simulator with its SiLA 2 server, and a client for it.

The protocol buffers are compiled here, at test time, from the program's own .proto files."""

import os
import pathlib
import subprocess
import sys
import tempfile
import threading
import time

import grpc
from grpc_tools import protoc

PROGRAM = os.environ["KQVDR_PROGRAM"]
SIMULATOR = os.environ["KQVDR_SIMULATOR"]
PROTO_DIR = os.environ["KQVDR_SILA_DIR"]


def compile_protos(target):
    protos = sorted(str(p) for p in pathlib.Path(PROTO_DIR).glob("*.proto"))
    include = pathlib.Path(protoc.__file__).parent / "_proto"
    code = protoc.main(["protoc", f"-I{PROTO_DIR}", f"-I{include}", f"--python_out={target}",
                        f"--grpc_python_out={target}"] + protos)
    if code != 0:
        raise RuntimeError("the .proto files do not compile")
    sys.path.insert(0, target)


class Simulator:
    """kqvdr1000-sim on a pseudo-terminal; every frame it receives is kept with its time."""

    def __init__(self):
        self.process = subprocess.Popen([SIMULATOR, "--trace"], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        first = self.process.stdout.readline().split()
        if len(first) != 2 or first[0] != "PTY":
            raise RuntimeError("the simulator did not start")
        self.pty = first[1]
        self.received = []  # (monotonic time, command code)
        self.replies = []  # (monotonic time, command code, first data word) of data replies
        self.lock = threading.Lock()
        threading.Thread(target=self._trace, daemon=True).start()

    def _trace(self):
        for line in self.process.stderr:
            now = time.monotonic()
            if line.startswith("in  ") and len(line) >= 8:
                try:
                    code = int(line[6:8], 16)
                except ValueError:
                    continue
                with self.lock:
                    self.received.append((now, code))
            elif line.startswith("out <STX>") and len(line) >= 17:
                try:
                    code, word = int(line[11:13], 16), int(line[13:17], 16)
                except ValueError:
                    continue
                with self.lock:
                    self.replies.append((now, code, word - 0x10000 if word >= 0x8000 else word))

    def codes_since(self, moment):
        with self.lock:
            return [code for at, code in self.received if at >= moment]

    def times_of(self, code, since=0.0):
        with self.lock:
            return [at for at, c in self.received if c == code and at >= since]

    def command(self, text):
        self.process.stdin.write(text + "\n")
        self.process.stdin.flush()
        return self.process.stdout.readline().strip()

    def stop(self):
        if self.process.poll() is None:
            self.process.stdin.close()
            self.process.wait(timeout=10)
        self.process.stdout.close()


def write_port_file(directory):
    # One archived string: its length byte and the text.
    (pathlib.Path(directory) / "KQ-VDR 1000.ini").write_bytes(b"\x05COM 1")


class Program:
    """kqvdr1000-control, offscreen, with --sila on a free port."""

    def __init__(self, directory, device, extra=(), preexec_fn=None):
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        self.process = subprocess.Popen(
            [PROGRAM, "--dir", directory, "--device", device, "--sila", "0", *extra],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env, text=True,
            preexec_fn=preexec_fn)
        line = self.process.stdout.readline()
        if not line.startswith("SiLA 2 server on "):
            self.process.kill()
            raise RuntimeError("no server: " + line + self.process.stderr.read())
        self.address = line.split()[-1]
        self.port = int(self.address.rsplit(":", 1)[1])
        # Read all along: a full pipe would stop the program at its next message.
        self.stderr_lines = []
        self.reader = threading.Thread(target=self._read_stderr, daemon=True)
        self.reader.start()

    def _read_stderr(self):
        for line in self.process.stderr:
            self.stderr_lines.append(line)

    def running(self):
        return self.process.poll() is None

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.reader.join(timeout=10)
        self.stderr_text = "".join(self.stderr_lines)
        self.process.stdout.close()
        self.process.stderr.close()


def secure_channel(directory, port):
    certificate = (pathlib.Path(directory) / "sila-server.pem").read_bytes()
    credentials = grpc.ssl_channel_credentials(root_certificates=certificate)
    return grpc.secure_channel(f"127.0.0.1:{port}", credentials)


def wait_until(done, limit=30.0, step=0.05):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        if done():
            return True
        time.sleep(step)
    return done()


def sila_error(error):
    """The SiLAError a failed call carries, as Part B of the standard puts it in the status."""
    import base64
    import SiLAFramework_pb2
    assert error.code() == grpc.StatusCode.ABORTED, error
    parsed = SiLAFramework_pb2.SiLAError()
    parsed.ParseFromString(base64.b64decode(error.details()))
    return parsed


def temporary_directory():
    return tempfile.TemporaryDirectory(prefix="kqvdr-sila-")


def data_folder(work):
    """A test module's data folder, with the port file a first start would ask for."""
    data = pathlib.Path(work.name, "data")
    data.mkdir()
    write_port_file(data)
    return data


def serve(data):
    """The simulator, the program on `data` against it, and a ready channel to its server."""
    simulator = Simulator()
    program = Program(str(data), simulator.pty)
    channel = secure_channel(data, program.port)
    grpc.channel_ready_future(channel).result(timeout=30)
    return simulator, program, channel


def stop_all(channel, program, simulator, work):
    """A test module's end: whatever of its client, program and simulator got started, then its
    folder."""
    if channel is not None:
        channel.close()
    if program is not None:
        program.stop()
    if simulator is not None:
        simulator.stop()
    work.cleanup()
