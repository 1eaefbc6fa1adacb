"""The standard's LockController in the real program: a scheduler locks the server, other clients
are refused, the holder is let in, the lock ends by UnlockServer or by its timeout, and the audit
trail records it."""

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
import SiLAService_pb2 as ss  # noqa: E402
import SiLAService_pb2_grpc as ss_grpc  # noqa: E402

LOCK = "org.silastandard/core/LockController/v2"
KEY = "sila-org.silastandard-core-lockcontroller-v2-metadata-lockidentifier-bin"

simulator = program = channel = data = None


def setUpModule():
    global simulator, program, channel, data
    data = pathlib.Path(work.name, "data")
    data.mkdir()
    h.write_port_file(data)
    simulator = h.Simulator()
    program = h.Program(str(data), simulator.pty)
    channel = h.secure_channel(data, program.port)
    grpc.channel_ready_future(channel).result(timeout=30)
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


def unlock_server(identifier):
    return lc_grpc.LockControllerStub(channel).UnlockServer(lc.UnlockServer_Parameters(
        LockIdentifier=fw.String(value=identifier)), timeout=10)


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


def audit_text():
    return pathlib.Path(data, "audit.log").read_text()


class IsLockedWatcher:
    """A subscription to IsLocked, its values collected as they come."""

    def __init__(self):
        self.values = queue.Queue()
        self.stream = lc_grpc.LockControllerStub(channel).Subscribe_IsLocked(
            lc.Subscribe_IsLocked_Parameters())
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        try:
            for response in self.stream:
                self.values.put(response.IsLocked.value)
        except grpc.RpcError:
            pass

    def next(self, limit=10):
        return self.values.get(timeout=limit)

    def cancel(self):
        self.stream.cancel()


class LockTest(unittest.TestCase):
    def tearDown(self):
        try:
            unlock_server("sched-1")
        except grpc.RpcError:
            pass

    def test_other_clients_are_refused_the_holder_is_admitted_and_unlock_ends_it(self):
        watcher = IsLockedWatcher()
        self.assertFalse(watcher.next())
        lock_server("sched-1", 0)
        self.assertTrue(watcher.next())
        wrong = f"{LOCK}/DefinedExecutionError/InvalidLockIdentifier"
        self.assertEqual(refusal(lambda: set_mode()), ("frameworkError", "INVALID_METADATA"))
        self.assertEqual(refusal(lambda: set_mode(carrying("other"))),
                         ("definedExecutionError", wrong))
        self.assertIsNone(refusal(lambda: set_mode(carrying("sched-1"))))
        # Learning about the server and its lock stays open to everyone.
        ss_grpc.SiLAServiceStub(channel).Get_ServerName(ss.Get_ServerName_Parameters(),
                                                        timeout=10)
        affected = lc_grpc.LockControllerStub(channel).Get_FCPAffectedByMetadata_LockIdentifier(
            lc.Get_FCPAffectedByMetadata_LockIdentifier_Parameters(), timeout=10)
        self.assertEqual([a.value for a in affected.AffectedCalls],
                         ["com.brackwater/detector/DetectorController/v1",
                          "com.brackwater/detector/MethodStore/v1",
                          "com.brackwater/detector/SystemTest/v1"])
        self.assertEqual(refusal(lambda: lock_server("mine", 0)),
                         ("definedExecutionError", f"{LOCK}/DefinedExecutionError/"
                                                   "ServerAlreadyLocked"))
        self.assertEqual(refusal(lambda: unlock_server("other")), ("definedExecutionError", wrong))
        unlock_server("sched-1")
        self.assertFalse(watcher.next())
        watcher.cancel()
        self.assertEqual(refusal(lambda: unlock_server("sched-1")),
                         ("definedExecutionError", f"{LOCK}/DefinedExecutionError/"
                                                   "ServerNotLocked"))
        self.assertIsNone(refusal(lambda: set_mode()))
        self.assertEqual(refusal(lambda: set_mode(carrying("sched-1"))),
                         ("definedExecutionError", wrong))
        self.assertTrue(h.wait_until(lambda: "remote unlock" in audit_text(), 10))
        text = audit_text()
        for line in ("remote lock\t127.0.0.1\t\tno timeout",
                     "remote call refused by the lock\tcom.brackwater/detector/"
                     "DetectorController/v1/Command/SetMode\t\tlocked by 127.0.0.1, no lock "
                     "identifier sent",
                     "remote unlock\t127.0.0.1\t\tunlocked by the client"):
            self.assertIn(line, text)

    def test_the_lock_ends_after_its_timeout_without_a_call_and_its_identifier_with_it(self):
        watcher = IsLockedWatcher()
        self.assertFalse(watcher.next())
        started = time.monotonic()
        lock_server("sched-1", 2)
        self.assertTrue(watcher.next())
        # A call with the identifier starts the time again.
        time.sleep(1.2)
        self.assertIsNone(refusal(lambda: set_mode(carrying("sched-1"))))
        renewed = time.monotonic()
        self.assertFalse(watcher.next(limit=15))
        self.assertGreaterEqual(time.monotonic() - renewed, 1.5)
        self.assertGreater(time.monotonic() - started, 3.0)
        self.assertIsNone(refusal(lambda: set_mode()))
        self.assertEqual(refusal(lambda: set_mode(carrying("sched-1"))),
                         ("definedExecutionError",
                          f"{LOCK}/DefinedExecutionError/InvalidLockIdentifier"))
        watcher.cancel()
        self.assertTrue(h.wait_until(lambda: "timed out after 2 s" in audit_text(), 10))

    def test_missing_parameters_and_a_negative_timeout_are_validation_errors(self):
        stub = lc_grpc.LockControllerStub(channel)
        for what, call in (
                ("no identifier", lambda: stub.LockServer(
                    lc.LockServer_Parameters(Timeout=fw.Integer(value=1)), timeout=10)),
                ("no timeout", lambda: stub.LockServer(
                    lc.LockServer_Parameters(LockIdentifier=fw.String(value="x")), timeout=10)),
                ("negative timeout", lambda: lock_server("x", -1)),
                ("unlock without identifier", lambda: stub.UnlockServer(
                    lc.UnlockServer_Parameters(), timeout=10))):
            with self.subTest(what):
                self.assertEqual(refusal(call)[0], "validationError")
        self.assertIsNone(refusal(lambda: set_mode()), "nothing was locked")


if __name__ == "__main__":
    unittest.main()
