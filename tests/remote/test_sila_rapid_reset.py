"""HTTP/2 rapid reset against the real program: 100,000 streams opened and cancelled at once on
one connection. The program cuts the flooding connection, stays under 150 MB, and a subscriber on
another connection goes on receiving. A program start of its own, so that no other attack's
memory is counted."""

import pathlib
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
import SiLAService_pb2 as ss  # noqa: E402
import SiLAService_pb2_grpc as ss_grpc  # noqa: E402

# AddressSanitizer's allocator keeps what the flood freed and costs more per call; the memory
# bound holds for the program as built for users (release), and is checked there.
SANITIZED = b"__asan_init" in pathlib.Path(h.PROGRAM).read_bytes()
simulator = program = channel = data = None
program_started = 0.0


def setUpModule():
    global simulator, program, channel, data, program_started
    data = h.data_folder(work)
    simulator, program, channel = h.serve(data)
    program_started = time.monotonic()  # its server is listening, and its guard looking


def tearDownModule():
    h.stop_all(channel, program, simulator, work)


class RapidReset(unittest.TestCase):
    def test_the_flood_is_cut_memory_stays_bounded_and_a_subscriber_is_served(self):
        stub = dc_grpc.DetectorControllerStub(channel)
        updates = []
        stream = stub.Subscribe_DetectorOutput(dc.Subscribe_DetectorOutput_Parameters())

        def read():
            try:
                for _ in stream:
                    updates.append(time.monotonic())
            except grpc.RpcError:
                pass

        threading.Thread(target=read, daemon=True).start()
        self.assertTrue(h.wait_until(lambda: len(updates) >= 2, limit=10))
        # The guard leaves the program's own start alone (its first 5 s of looks).
        time.sleep(max(0.0, program_started + 5.5 - time.monotonic()))
        before = hc.memory_kib(program.process.pid)
        start = time.monotonic()
        sent = hc.rapid_reset(program.port, data / "sila-server.pem", 100000)
        attack_end = time.monotonic()
        # The subscriber's values go on arriving (the output changes every two seconds or so).
        h.wait_until(lambda: len([t for t in updates if t > attack_end]) >= 2, limit=10)
        stream.cancel()
        peak = hc.memory_kib(program.process.pid, "VmHWM")
        during = [t for t in updates if t >= start - 1.5]
        gaps = [b - a for a, b in zip(during, during[1:])]
        cut = [line for line in program.stderr_lines if "flooded the server" in line]
        print(f"\nrapid reset: {sent} streams in {attack_end - start:.1f} s, RSS {before} KiB "
              f"before, peak {peak} KiB, largest gap {max(gaps or [0]):.2f} s, "
              f"connection cut: {bool(cut)}")
        self.assertTrue(gaps, updates)
        self.assertLess(max(gaps), 3.0)
        if not SANITIZED:
            self.assertLess(peak, 150 * 1024, (sent, before))
            self.assertTrue(cut, "the flooding connection is cut")

        def answers():
            try:
                return bool(ss_grpc.SiLAServiceStub(channel).Get_ServerName(
                    ss.Get_ServerName_Parameters(), timeout=2).ServerName.value)
            except grpc.RpcError:
                return False

        # The flood's calls still drain (slowly under the sanitizers); then calls are answered.
        self.assertTrue(h.wait_until(answers, limit=60, step=0.5))


if __name__ == "__main__":
    unittest.main()
