"""The SiLA 2 server of the real program against clients that mean harm, on 127.0.0.1: each
attack is run for real and the program is checked to hold. One program start serves the module;
it starts with a low descriptor limit so that running out of descriptors takes seconds."""

import base64
import pathlib
import resource
import socket
import threading
import time
import unittest

import grpc

import hostile_clients as hc
import sila_harness as h

work = h.temporary_directory()
pathlib.Path(work.name, "stubs").mkdir()
h.compile_protos(str(pathlib.Path(work.name, "stubs")))

import DetectorController_pb2 as dc  # noqa: E402
import DetectorController_pb2_grpc as dc_grpc  # noqa: E402
import SiLAFramework_pb2 as fw  # noqa: E402
import SiLAService_pb2 as ss  # noqa: E402
import SiLAService_pb2_grpc as ss_grpc  # noqa: E402
import SystemTest_pb2 as st  # noqa: E402
import SystemTest_pb2_grpc as st_grpc  # noqa: E402

SOFT, HARD = 256, 1024
# AddressSanitizer's allocator keeps what the flood freed; malloc_trim cannot reach it. The
# memory bound holds for the program as built for users (release), and is checked there.
SANITIZED = b"__asan_init" in pathlib.Path(h.PROGRAM).read_bytes()
PER_ADDRESS, STREAMS_PER_CLIENT = 32, 100
simulator = program = channel = data = None


def low_descriptor_limit():
    resource.setrlimit(resource.RLIMIT_NOFILE, (SOFT, HARD))


def setUpModule():
    global simulator, program, channel, data
    data = pathlib.Path(work.name, "data")
    data.mkdir()
    h.write_port_file(data)
    simulator = h.Simulator()
    program = h.Program(str(data), simulator.pty, preexec_fn=low_descriptor_limit)
    channel = h.secure_channel(data, program.port)
    grpc.channel_ready_future(channel).result(timeout=30)


def tearDownModule():
    h.stop_all(channel, program, simulator, work)


def certificate():
    return data / "sila-server.pem"


def server_name(target_channel, timeout=10):
    return ss_grpc.SiLAServiceStub(target_channel).Get_ServerName(
        ss.Get_ServerName_Parameters(), timeout=timeout).ServerName.value


class Relay:
    """Forwards connections to the program from another loopback address, so that the program
    sees a second client address."""

    def __init__(self, source):
        self.source = source
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self):
        while True:
            try:
                client, _ = self.listener.accept()
            except OSError:
                return
            server = socket.create_connection(("127.0.0.1", program.port),
                                              source_address=(self.source, 0))
            for a, b in ((client, server), (server, client)):
                threading.Thread(target=self._pump, args=(a, b), daemon=True).start()

    @staticmethod
    def _pump(a, b):
        try:
            while data := a.recv(65536):
                b.sendall(data)
        except OSError:
            pass
        for s in (a, b):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def channel(self):
        credentials = grpc.ssl_channel_credentials(root_certificates=certificate().read_bytes())
        return grpc.secure_channel(f"127.0.0.1:{self.port}", credentials)

    def close(self):
        self.listener.close()


class Descriptors(unittest.TestCase):
    def test_the_soft_descriptor_limit_is_raised_to_the_hard_one(self):
        limits = pathlib.Path(f"/proc/{program.process.pid}/limits").read_text()
        line = next(l for l in limits.splitlines() if l.startswith("Max open files"))
        self.assertEqual(line.split()[3:5], [str(HARD), str(HARD)], line)

    def test_an_address_beyond_its_cap_is_cut_and_a_silent_connection_ends_at_the_deadline(self):
        opened = hc.idle_connections(program.port, PER_ADDRESS + 8, sources=("127.0.0.5",))
        try:
            self.assertEqual(len(opened), PER_ADDRESS + 8)
            start = time.monotonic()
            # The newest beyond the cap go within a look or two of the guard.
            self.assertTrue(all(hc.closed_by_peer(s, 3) for s in opened[PER_ADDRESS:]))
            self.assertLess(time.monotonic() - start, 3)
            # The others say nothing either: the handshake deadline of 10 s ends them.
            self.assertFalse(hc.closed_by_peer(opened[0], 5))
            self.assertTrue(all(hc.closed_by_peer(s, 8) for s in opened[:PER_ADDRESS]))
            self.assertLess(time.monotonic() - start, 14)
        finally:
            for s in opened:
                s.close()
        self.assertTrue(server_name(channel))

    def test_after_the_descriptors_ran_out_the_server_accepts_again(self):
        sources = [f"127.0.1.{i}" for i in range(1, 40)]
        opened = hc.idle_connections(program.port, HARD + 64, sources=sources)
        try:
            self.assertTrue(h.wait_until(
                lambda: any("Failed accept4" in l for l in program.stderr_lines), limit=10),
                "the program never ran out of descriptors")
        finally:
            for s in opened:
                s.close()
        # A new channel each time: one channel's reconnection back-off would outlast the test.
        deadline = time.monotonic() + 20
        answered = False
        while not answered and time.monotonic() < deadline:
            fresh = h.secure_channel(data, program.port)
            try:
                answered = bool(server_name(fresh, timeout=2))
            except grpc.RpcError:
                time.sleep(0.5)
            finally:
                fresh.close()
        self.assertTrue(answered, "".join(program.stderr_lines[-5:]))
        self.assertTrue(any("started again" in l for l in program.stderr_lines))


class Floods(unittest.TestCase):
    def test_a_100_mb_message_is_refused_and_its_memory_given_back(self):
        before = hc.memory_kib(program.process.pid)
        # gRPC 1.51 may read all of it before its size limit refuses it; it must not keep it.
        hc.oversize_message(program.port, certificate(), 100 * 1024 * 1024)
        if not SANITIZED:
            self.assertTrue(h.wait_until(
                lambda: hc.memory_kib(program.process.pid) < before + 64 * 1024, limit=10,
                step=0.5), (before, hc.memory_kib(program.process.pid)))
        self.assertTrue(server_name(channel))

    def test_invalid_utf8_and_failed_handshakes_are_counted_not_printed_each(self):
        # A String message whose value is the single byte 0xFF: no valid UTF-8.
        request = bytes([0x0A, 0x03, 0x0A, 0x01, 0xFF])
        call = channel.unary_unary(
            "/sila2.org.silastandard.core.silaservice.v1.SiLAService/GetFeatureDefinition",
            request_serializer=lambda raw: raw, response_deserializer=lambda raw: raw)
        for _ in range(50):
            with self.assertRaises(grpc.RpcError):
                call(request, timeout=5)
        # Bytes that are no TLS, on connections of their own.
        for seed in range(20):
            with socket.create_connection(("127.0.0.1", program.port), timeout=5) as raw:
                raw.sendall(bytes((seed * 29 + i * 7) % 256 for i in range(512)))
        time.sleep(0.5)
        printed = [l for l in program.stderr_lines
                   if "invalid UTF-8" in l or "Handshake failed" in l]
        self.assertEqual(printed, [])


class Streams(unittest.TestCase):
    def test_one_client_fills_only_its_share_and_a_refusal_is_a_sila_error(self):
        # A connection carries 32 streams at once, so the share is filled over four.
        own = [h.secure_channel(data, program.port) for _ in range(5)]
        stubs = [dc_grpc.DetectorControllerStub(c) for c in own]
        relay = Relay("127.0.0.7")
        other = relay.channel()
        streams = []
        try:
            for i in range(STREAMS_PER_CLIENT):
                streams.append(stubs[i % 4].Subscribe_Mode(dc.Subscribe_Mode_Parameters(),
                                                           timeout=60))
            # gRPC opens streams lazily: each is open once its first value came.
            for s in streams:
                next(s)
            with self.assertRaises(grpc.RpcError) as caught:
                next(stubs[4].Subscribe_Mode(dc.Subscribe_Mode_Parameters(), timeout=10))
            error = h.sila_error(caught.exception)
            self.assertTrue(error.HasField("undefinedExecutionError"), error)
            self.assertIn("as many as one client may", error.undefinedExecutionError.message)
            # Another address is still served.
            theirs = dc_grpc.DetectorControllerStub(other).Subscribe_Mode(
                dc.Subscribe_Mode_Parameters(), timeout=10)
            self.assertTrue(next(theirs).Mode.value)
            theirs.cancel()
        finally:
            for s in streams:
                s.cancel()
            for c in own + [other]:
                c.close()
            relay.close()

    def test_subscribing_and_cancelling_in_a_loop_never_fills_the_share(self):
        stub = dc_grpc.DetectorControllerStub(channel)
        time.sleep(0.5)  # the slots of the test before are given back
        for i in range(2 * STREAMS_PER_CLIENT + 50):
            stream = stub.Subscribe_Mode(dc.Subscribe_Mode_Parameters(), timeout=10)
            try:
                next(stream)
            except grpc.RpcError as error:
                self.fail(f"refused after {i} subscriptions: {error.details()}")
            stream.cancel()


class AnalyzeLog(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        lines, seconds = [], 18 * 3600
        for i in range(80):
            stamp = f"{seconds // 3600:02d}:{seconds // 60 % 60:02d}:{seconds % 60:02d}"
            lines.append(f"{stamp} 100 80 50 1.0 100.{i % 3} 80.0 1.0 0.05 40.0 RUN T F T 1  -  "
                         "\r\n")
            seconds += 30
        (data / "003_007.log").write_text("".join(lines), newline="")
        (data / "003_008.log").write_bytes(b"x" * (4 * 1024 * 1024 + 1))
        cls.system = st_grpc.SystemTestStub(channel)

    def analyse(self, name=None):
        parameters = st.AnalyzeLog_Parameters()
        if name is not None:
            parameters.Path.value = name
        return self.system.AnalyzeLog(parameters, timeout=30)

    def refusal(self, name):
        with self.assertRaises(grpc.RpcError) as caught:
            self.analyse(name)
        return h.sila_error(caught.exception)

    def test_a_test_log_of_the_data_folder_is_analysed_by_its_name(self):
        self.assertEqual([row.MethodNumber.value for row in self.analyse("003_007.log").Rows], [1])

    def test_anything_else_is_one_and_the_same_validation_error(self):
        (data / "003_009.log").symlink_to("/etc/hostname")
        names = ["/etc/shadow", "/etc/hostname", "../x", "003_999.log", "audit.log",
                 "KQ-VDR 1000.ini", str(data / "003_007.log"), "003_009.log", ""]
        errors = {name: self.refusal(name) for name in names}
        first = errors[names[0]]
        self.assertTrue(first.HasField("validationError"), first)
        self.assertTrue(first.validationError.parameter.endswith("/AnalyzeLog/Parameter/Path"))
        for name, error in errors.items():
            self.assertEqual(error, first, name)

    def test_a_missing_path_is_a_validation_error(self):
        error = self.refusal(None)
        self.assertTrue(error.validationError.parameter.endswith("/AnalyzeLog/Parameter/Path"))
        self.assertIn("missing", error.validationError.message)

    def test_a_log_larger_than_a_week_is_not_read(self):
        error = self.refusal("003_008.log")
        self.assertTrue(error.definedExecutionError.errorIdentifier.endswith("/LogNotReadable"))
        self.assertIn("larger than a week's log", error.definedExecutionError.message)

    def test_a_second_analysis_while_one_runs_is_refused(self):
        (data / "003_010.log").write_bytes((data / "003_007.log").read_bytes() * 500)
        outcomes = []

        def one():
            try:
                self.analyse("003_010.log")
                outcomes.append("analysed")
            except grpc.RpcError as error:
                outcomes.append(h.sila_error(error).undefinedExecutionError.message)

        callers = [threading.Thread(target=one) for _ in range(6)]
        for caller in callers:
            caller.start()
        for caller in callers:
            caller.join(60)
        self.assertIn("analysed", outcomes)
        self.assertIn("Another log is being analysed: try again when that analysis has finished.",
                      outcomes)


if __name__ == "__main__":
    unittest.main()
