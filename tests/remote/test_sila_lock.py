"""The standard's LockController in the real program, with a short timeout: other clients are
refused, the holder is let in, IsLocked follows, the lock ends by its timeout, and the audit trail
records it. The rest of the lock's rules are checked in C++ against a clock of the test's own."""

import pathlib
import queue
import threading
import time
import unittest

import grpc

import sila_harness as h

work = h.temporary_directory()
pathlib.Path(work.name, "stubs").mkdir()
h.compile_protos(str(pathlib.Path(work.name, "stubs")))

import DetectorController_pb2 as dc  # noqa: E402
import DetectorController_pb2_grpc as dc_grpc  # noqa: E402
import LockController_pb2 as lc  # noqa: E402
import LockController_pb2_grpc as lc_grpc  # noqa: E402
import SiLAFramework_pb2 as fw  # noqa: E402

LOCK = "org.silastandard/core/LockController/v2"
KEY = "sila-org.silastandard-core-lockcontroller-v2-metadata-lockidentifier-bin"

simulator = program = channel = data = None


def setUpModule():
    global simulator, program, channel, data
    data = h.data_folder(work)
    simulator, program, channel = h.serve(data)
    # The instrument answers before the tests begin: a refusal is then the lock's alone.
    if not h.wait_until(lambda: refusal(set_mode) is None, 30):
        raise RuntimeError("the instrument never took a mode")


def tearDownModule():
    h.stop_all(channel, program, simulator, work)


def carrying(identifier):
    value = lc.Metadata_LockIdentifier(LockIdentifier=fw.String(value=identifier))
    return ((KEY, value.SerializeToString()),)


def lock_server(identifier, timeout):
    return lc_grpc.LockControllerStub(channel).LockServer(lc.LockServer_Parameters(
        LockIdentifier=fw.String(value=identifier), Timeout=fw.Integer(value=timeout)),
        timeout=10)


def set_mode(metadata=None):
    return dc_grpc.DetectorControllerStub(channel).SetMode(
        dc.SetMode_Parameters(Mode=fw.String(value="STANDBY")), metadata=metadata, timeout=15)


def refusal(call):
    try:
        call()
    except grpc.RpcError as failure:
        error = h.sila_error(failure)
        kind = error.WhichOneof("error")
        if kind == "definedExecutionError":
            return kind, error.definedExecutionError.errorIdentifier
        if kind == "frameworkError":
            return kind, fw.FrameworkError.ErrorType.Name(error.frameworkError.errorType)
        return kind, ""
    return None


class LockTest(unittest.TestCase):
    def test_others_are_refused_the_holder_admitted_and_the_lock_ends_after_its_timeout(self):
        stream = lc_grpc.LockControllerStub(channel).Subscribe_IsLocked(
            lc.Subscribe_IsLocked_Parameters())
        values = queue.Queue()

        def read():
            try:
                for response in stream:
                    values.put(response.IsLocked.value)
            except grpc.RpcError:
                pass  # cancelled at the end

        threading.Thread(target=read, daemon=True).start()
        self.assertFalse(values.get(timeout=10))
        lock_server("sched-1", 2)
        self.assertTrue(values.get(timeout=10))
        wrong = ("definedExecutionError", f"{LOCK}/DefinedExecutionError/InvalidLockIdentifier")
        self.assertEqual(refusal(set_mode), ("frameworkError", "INVALID_METADATA"))
        self.assertEqual(refusal(lambda: set_mode(carrying("other"))), wrong)
        # Only a call with the identifier starts the time again.
        time.sleep(1.2)
        self.assertIsNone(refusal(lambda: set_mode(carrying("sched-1"))))
        renewed = time.monotonic()
        self.assertFalse(values.get(timeout=15))
        self.assertGreaterEqual(time.monotonic() - renewed, 1.5)
        stream.cancel()
        self.assertIsNone(refusal(set_mode))
        self.assertEqual(refusal(lambda: set_mode(carrying("sched-1"))), wrong)
        audit = pathlib.Path(data, "audit.log")
        self.assertTrue(h.wait_until(lambda: "timed out after 2 s" in audit.read_text(), 10))
        text = audit.read_text()
        self.assertIn("remote lock\t127.0.0.1\t\ttimeout 2 s", text)
        self.assertIn("remote call refused by the lock\tcom.brackwater/detector/"
                      "DetectorController/v1/Command/SetMode\t\tlocked by 127.0.0.1, no lock "
                      "identifier sent", text)


if __name__ == "__main__":
    unittest.main()
