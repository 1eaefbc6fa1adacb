"""The SiLA 2 server of the real program, driven by a real gRPC client over TLS against the
simulated instrument. One program start serves the whole module: starts are the expensive part."""

import json
import pathlib
import re
import socket
import statistics
import subprocess
import sys
import textwrap
import threading
import time
import unittest

import grpc
from lxml import etree

import sila_harness as h
from fdl_schema import schema_errors

work = h.temporary_directory()
pathlib.Path(work.name, "stubs").mkdir()
h.compile_protos(str(pathlib.Path(work.name, "stubs")))

import AuthorizationService_pb2 as az  # noqa: E402
import AuthorizationService_pb2_grpc as az_grpc  # noqa: E402
import DetectorController_pb2 as dc  # noqa: E402
import DetectorController_pb2_grpc as dc_grpc  # noqa: E402
import MethodStore_pb2 as ms  # noqa: E402
import MethodStore_pb2_grpc as ms_grpc  # noqa: E402
import SiLAFramework_pb2 as fw  # noqa: E402
import SiLAService_pb2 as ss  # noqa: E402
import SiLAService_pb2_grpc as ss_grpc  # noqa: E402
import SystemTest_pb2 as st  # noqa: E402
import SystemTest_pb2_grpc as st_grpc  # noqa: E402

SILA_NS = "{http://www.sila-standard.org}"
DETECTOR = "com.brackwater/detector/DetectorController/v1"
SWEEP_PERIOD = 1.1  # eleven ticks of 100 ms between status requests
STATUS_REQUEST, SELECT_METHOD, CLEAR_FAULT, HEATER_ON, HEATER_OFF, SET_MODE = 17, 9, 16, 14, 15, 0

simulator = program = channel = data = None


def setUpModule():
    global simulator, program, channel, data
    data = h.data_folder(work)
    simulator, program, channel = h.serve(data)


def tearDownModule():
    h.stop_all(channel, program, simulator, work)


def first_value(stream, field, wanted=None, limit=30.0):
    """The first streamed value (or the first equal to `wanted`), the stream then cancelled."""
    found = []

    def read():
        try:
            for response in stream:
                value = getattr(response, field).value
                if wanted is None or value == wanted:
                    found.append(value)
                    return
        except grpc.RpcError:
            pass

    reader = threading.Thread(target=read, daemon=True)
    reader.start()
    reader.join(limit)
    stream.cancel()
    return found[0] if found else None


def sweep_intervals(since):
    times = simulator.times_of(STATUS_REQUEST, since)
    return [b - a for a, b in zip(times, times[1:])]


class ServerIdentityAndFeatures(unittest.TestCase):
    def test_server_name_type_and_every_implemented_feature_are_told(self):
        service = ss_grpc.SiLAServiceStub(channel)
        self.assertTrue(service.Get_ServerName(ss.Get_ServerName_Parameters()).ServerName.value)
        self.assertEqual(service.Get_ServerType(ss.Get_ServerType_Parameters()).ServerType.value,
                         "KQVDR1000Control")
        self.assertEqual(
            service.Get_ServerVersion(ss.Get_ServerVersion_Parameters()).ServerVersion.value,
            "4.10")
        uuid = service.Get_ServerUUID(ss.Get_ServerUUID_Parameters()).ServerUUID.value
        self.assertRegex(uuid, r"^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$")
        features = [f.value for f in service.Get_ImplementedFeatures(
            ss.Get_ImplementedFeatures_Parameters()).ImplementedFeatures]
        self.assertEqual(features, ["org.silastandard/core/SiLAService/v1",
                                    "org.silastandard/core/AuthenticationService/v1",
                                    "org.silastandard/core/AuthorizationService/v1", DETECTOR,
                                    "com.brackwater/detector/MethodStore/v1",
                                    "com.brackwater/detector/SystemTest/v1",
                                    "org.silastandard/core.commands/CancelController/v1",
                                    "org.silastandard/core/LockController/v2"])

    def test_without_users_no_call_needs_an_access_token(self):
        affected = az_grpc.AuthorizationServiceStub(channel).Get_FCPAffectedByMetadata_AccessToken(
            az.Get_FCPAffectedByMetadata_AccessToken_Parameters(), timeout=10).AffectedCalls
        self.assertEqual(list(affected), [])

    def test_a_new_server_name_is_kept_and_one_of_spaces_only_is_a_validation_error(self):
        service = ss_grpc.SiLAServiceStub(channel)
        service.SetServerName(ss.SetServerName_Parameters(ServerName=fw.String(value="Bench 3")))
        self.assertEqual(service.Get_ServerName(ss.Get_ServerName_Parameters()).ServerName.value,
                         "Bench 3")
        uuid = service.Get_ServerUUID(ss.Get_ServerUUID_Parameters()).ServerUUID.value
        kept = (data / "sila-server.txt").read_text().splitlines()
        self.assertIn("uuid=" + uuid, kept, "the next start must know the server by its UUID")
        self.assertIn("name=Bench 3", kept)
        with self.assertRaises(grpc.RpcError) as caught:
            service.SetServerName(ss.SetServerName_Parameters(ServerName=fw.String(value="   ")))
        error = h.sila_error(caught.exception)
        self.assertEqual(error.WhichOneof("error"), "validationError")
        self.assertEqual(error.validationError.parameter,
                         "org.silastandard/core/SiLAService/v1/Command/SetServerName/Parameter/ServerName")

    def test_every_feature_definition_is_served_and_valid_against_the_fdl_schema(self):
        service = ss_grpc.SiLAServiceStub(channel)
        features = service.Get_ImplementedFeatures(
            ss.Get_ImplementedFeatures_Parameters()).ImplementedFeatures
        identifier = re.compile(r"^[A-Z][a-zA-Z0-9]*$")
        for feature in features:
            with self.subTest(feature=feature.value):
                xml = service.GetFeatureDefinition(ss.GetFeatureDefinition_Parameters(
                    FeatureIdentifier=feature)).FeatureDefinition.value
                self.assertEqual(schema_errors(xml), "")
                root = etree.fromstring(xml.encode())
                self.assertEqual(root.tag, SILA_NS + "Feature")
                originator, category, name, version = feature.value.split("/")
                self.assertEqual(root.get("Originator"), originator)
                self.assertEqual(root.get("Category"), category)
                self.assertEqual(root.get("SiLA2Version"), "1.0")
                self.assertEqual(version, "v" + root.get("FeatureVersion").split(".")[0])
                self.assertEqual(root.findtext(SILA_NS + "Identifier"), name)
                for node in root.iter(SILA_NS + "Identifier"):
                    self.assertRegex(node.text, identifier)

    def test_an_unknown_feature_is_the_defined_error_unimplemented_feature(self):
        service = ss_grpc.SiLAServiceStub(channel)
        with self.assertRaises(grpc.RpcError) as caught:
            service.GetFeatureDefinition(ss.GetFeatureDefinition_Parameters(
                FeatureIdentifier=fw.String(value="org.example/none/Nothing/v1")))
        self.assertEqual(h.sila_error(caught.exception).definedExecutionError.errorIdentifier,
                         "org.silastandard/core/SiLAService/v1/DefinedExecutionError/UnimplementedFeature")


class DetectorControl(unittest.TestCase):
    def setUp(self):
        self.detector = dc_grpc.DetectorControllerStub(channel)

    def test_subscriptions_send_a_value_at_once_and_mode_follows_set_mode(self):
        temperature = first_value(self.detector.Subscribe_EvaporatorTemperature(
            dc.Subscribe_EvaporatorTemperature_Parameters()), "EvaporatorTemperature", limit=10)
        self.assertIsNotNone(temperature)
        self.assertGreater(temperature, 0.0)
        modes = self.detector.Subscribe_Mode(dc.Subscribe_Mode_Parameters())
        self.assertEqual(first_value(modes, "Mode", limit=10), "STANDBY")
        watching = self.detector.Subscribe_Mode(dc.Subscribe_Mode_Parameters())
        self.detector.SetMode(dc.SetMode_Parameters(Mode=fw.String(value="RUN")))
        self.assertEqual(first_value(watching, "Mode", "RUN"), "RUN")
        self.detector.SetMode(dc.SetMode_Parameters(Mode=fw.String(value="STANDBY")))

    def test_two_modes_within_one_sweep_are_both_sent(self):
        watching = self.detector.Subscribe_Mode(dc.Subscribe_Mode_Parameters())
        start = time.monotonic()
        self.detector.SetMode(dc.SetMode_Parameters(Mode=fw.String(value="RUN")))
        self.assertEqual(first_value(watching, "Mode", "RUN"), "RUN")
        # The panel shows RUN as soon as it is asked; the frame may reach the wire a poll later.
        self.assertTrue(h.wait_until(lambda: SET_MODE in simulator.codes_since(start), limit=10))
        before = time.monotonic()
        self.detector.SetMode(dc.SetMode_Parameters(Mode=fw.String(value="STANDBY")))
        self.detector.SetMode(dc.SetMode_Parameters(Mode=fw.String(value="RUN")))
        self.assertTrue(h.wait_until(lambda: simulator.codes_since(before).count(SET_MODE) == 2,
                                     limit=10), simulator.codes_since(before))
        self.detector.SetMode(dc.SetMode_Parameters(Mode=fw.String(value="STANDBY")))

    def test_a_mode_outside_the_set_is_a_validation_error(self):
        with self.assertRaises(grpc.RpcError) as caught:
            self.detector.SetMode(dc.SetMode_Parameters(Mode=fw.String(value="run")))
        self.assertEqual(h.sila_error(caught.exception).validationError.parameter,
                         DETECTOR + "/Command/SetMode/Parameter/Mode")

    def test_method_eleven_is_a_validation_error_and_sends_nothing(self):
        before = time.monotonic()
        with self.assertRaises(grpc.RpcError) as caught:
            self.detector.SelectMethod(dc.SelectMethod_Parameters(
                MethodNumber=fw.Integer(value=11)))
        error = h.sila_error(caught.exception)
        self.assertEqual(error.validationError.parameter,
                         DETECTOR + "/Command/SelectMethod/Parameter/MethodNumber")
        # A whole sweep later nothing has selected a method.
        self.assertTrue(h.wait_until(lambda: simulator.codes_since(before).count(STATUS_REQUEST) >= 2))
        self.assertNotIn(SELECT_METHOD, simulator.codes_since(before))

    def test_a_gas_fault_appears_and_clear_fault_clears_it_on_the_instrument(self):
        faults = self.detector.Subscribe_Fault(dc.Subscribe_Fault_Parameters())
        self.assertEqual(simulator.command("fault GAS"), "ok fault GAS")
        self.assertEqual(first_value(faults, "Fault", "GAS"), "GAS")
        before = time.monotonic()
        self.detector.ClearFault(dc.ClearFault_Parameters())
        self.assertTrue(h.wait_until(lambda: CLEAR_FAULT in simulator.codes_since(before)))
        cleared = self.detector.Subscribe_Fault(dc.Subscribe_Fault_Parameters())
        self.assertEqual(first_value(cleared, "Fault", ""), "")
        with self.assertRaises(grpc.RpcError) as caught:
            self.detector.ClearFault(dc.ClearFault_Parameters())
        self.assertEqual(h.sila_error(caught.exception).definedExecutionError.errorIdentifier,
                         DETECTOR + "/DefinedExecutionError/NoFault")
        audit = (data / "audit.log").read_text()
        self.assertRegex(audit, r"\t127\.0\.0\.1\tfault cleared\tGAS")

    def test_a_remote_command_is_in_the_audit_trail_under_the_clients_address(self):
        self.detector.SetMode(dc.SetMode_Parameters(Mode=fw.String(value="GAS SAVE")))
        self.assertTrue(h.wait_until(
            lambda: re.search(r"\t127\.0\.0\.1\tmode\t\t[^\t]*\tGas Save",
                              (data / "audit.log").read_text()) is not None, limit=10),
            (data / "audit.log").read_text())
        self.detector.SetMode(dc.SetMode_Parameters(Mode=fw.String(value="STANDBY")))


    def test_autozero_in_standby_is_refused_with_the_panels_message_and_nobody_waits(self):
        self.detector.SetMode(dc.SetMode_Parameters(Mode=fw.String(value="STANDBY")))
        modes = self.detector.Subscribe_Mode(dc.Subscribe_Mode_Parameters())
        self.assertEqual(first_value(modes, "Mode", "STANDBY"), "STANDBY")
        started = time.monotonic()
        with self.assertRaises(grpc.RpcError) as caught:
            self.detector.Autozero(dc.Autozero_Parameters(), timeout=5)
        error = h.sila_error(caught.exception).definedExecutionError
        self.assertEqual(error.errorIdentifier, DETECTOR + "/DefinedExecutionError/AutozeroRefused")
        self.assertIn("Cannot Autozero when the KQ- VDR 1000 is in Standby mode.", error.message)
        self.assertLess(time.monotonic() - started, 2.0)

    def test_transfer_line_on_then_off_at_once_sends_both(self):
        before = time.monotonic()
        self.detector.SetTransferLine(dc.SetTransferLine_Parameters(On=fw.Boolean(value=True)))
        self.detector.SetTransferLine(dc.SetTransferLine_Parameters(On=fw.Boolean(value=False)))
        self.assertTrue(h.wait_until(lambda: [c for c in simulator.codes_since(before)
                                              if c in (HEATER_ON, HEATER_OFF)] == [HEATER_ON, HEATER_OFF],
                                     limit=10), simulator.codes_since(before))


class Methods(unittest.TestCase):
    def setUp(self):
        self.methods = ms_grpc.MethodStoreStub(channel)

    def fields(self, **changes):
        values = dict(MethodNumber=fw.Integer(value=4), Name=fw.String(value="Remote"),
                      Description=fw.String(value="stored by a client"),
                      EvaporatorTemperature=fw.Integer(value=60),
                      NebuliserTemperature=fw.Integer(value=40),
                      TransferLineTemperature=fw.Integer(value=50), GasFlow=fw.Real(value=1.2),
                      AutozeroOffset=fw.Integer(value=5), TimeConstant=fw.Integer(value=1))
        values.update(changes)
        return ms.StoreMethod_Parameters(**values)

    def test_a_stored_method_reads_back_and_an_out_of_range_field_is_named(self):
        self.methods.StoreMethod(self.fields())
        method = self.methods.GetMethod(ms.GetMethod_Parameters(
            MethodNumber=fw.Integer(value=4))).Method
        self.assertEqual((method.Name.value, method.EvaporatorTemperature.value,
                          round(method.GasFlow.value, 2)), ("Remote", 60, 1.2))
        prefix = "com.brackwater/detector/MethodStore/v1/Command/StoreMethod/Parameter/"
        for name, value in [("EvaporatorTemperature", fw.Integer(value=301)),
                            ("NebuliserTemperature", fw.Integer(value=29)),
                            ("GasFlow", fw.Real(value=2.05)),
                            ("TimeConstant", fw.Integer(value=4))]:
            with self.subTest(field=name):
                with self.assertRaises(grpc.RpcError) as caught:
                    self.methods.StoreMethod(self.fields(**{name: value}))
                self.assertEqual(h.sila_error(caught.exception).validationError.parameter,
                                 prefix + name)


class SystemTestFeature(unittest.TestCase):
    def test_analyze_log_gives_the_same_verdicts_and_rows_as_the_analyze_command(self):
        lines, seconds = [], 18 * 3600 + 15
        for method, (neb, evap) in enumerate([(100.0, 80.0), (100.3, 80.9)], start=1):
            for i in range(40):
                stamp = f"{seconds // 3600:02d}:{seconds // 60 % 60:02d}:{seconds % 60:02d}"
                lines.append(f"{stamp} 100 80 50 1.0 {neb + (i % 3) * 0.1:.1f} {evap:.1f} 1.0 "
                             f"0.05 40.0 RUN T F T {method}  -  \r\n")
                seconds += 30
        log = data / "003_007.log"
        log.write_text("".join(lines), newline="")
        command = subprocess.run([h.PROGRAM, "--analyze", str(log), "--json"],
                                 capture_output=True, text=True, timeout=60)
        self.assertEqual(command.returncode, 0, command.stderr)
        expected = json.loads(command.stdout)
        result = st_grpc.SystemTestStub(channel).AnalyzeLog(
            st.AnalyzeLog_Parameters(Path=fw.String(value=log.name)))
        verdicts = expected["verdicts"]
        self.assertEqual(
            [result.TemperatureResponse.value, result.TemperatureStability.value,
             result.BaselineStability.value, result.GasFlowResponse.value],
            list(verdicts.values()), verdicts)
        self.assertEqual([row.MethodNumber.value for row in result.Rows],
                         [row["method"] for row in expected["rows"]])
        self.assertEqual([round(row.NebuliserRSD.value, 6) for row in result.Rows],
                         [round(row["nebRsd"], 6) for row in expected["rows"]])

    def test_analyze_log_of_a_missing_log_is_a_validation_error(self):
        system = st_grpc.SystemTestStub(channel)
        with self.assertRaises(grpc.RpcError) as caught:
            system.AnalyzeLog(st.AnalyzeLog_Parameters(Path=fw.String(value="003_999.log")))
        self.assertTrue(h.sila_error(caught.exception).validationError.parameter
                        .endswith("/AnalyzeLog/Parameter/Path"))

    def test_a_serial_number_of_the_wrong_form_is_a_validation_error(self):
        system = st_grpc.SystemTestStub(channel)
        with self.assertRaises(grpc.RpcError) as caught:
            system.RunSystemTest(st.RunSystemTest_Parameters(SerialNumber=fw.String(value="3-42")))
        self.assertTrue(h.sila_error(caught.exception).validationError.parameter
                        .endswith("/RunSystemTest/Parameter/SerialNumber"))

    def test_while_a_remote_system_test_runs_it_reports_progress_and_refuses_other_commands(self):
        system = st_grpc.SystemTestStub(channel)
        confirmation = system.RunSystemTest(
            st.RunSystemTest_Parameters(SerialNumber=fw.String(value="003-042")))
        execution = confirmation.commandExecutionUUID
        info = next(iter(system.RunSystemTest_Info(execution, timeout=10)))
        self.assertIn(info.commandStatus, (fw.ExecutionInfo.waiting, fw.ExecutionInfo.running))
        with self.assertRaises(grpc.RpcError) as caught:
            system.RunSystemTest_Result(execution)
        self.assertEqual(h.sila_error(caught.exception).frameworkError.errorType,
                         fw.FrameworkError.COMMAND_EXECUTION_NOT_FINISHED)
        with self.assertRaises(grpc.RpcError) as caught:
            dc_grpc.DetectorControllerStub(channel).SetMode(
                dc.SetMode_Parameters(Mode=fw.String(value="RUN")))
        self.assertEqual(h.sila_error(caught.exception).definedExecutionError.errorIdentifier,
                         DETECTOR + "/DefinedExecutionError/ControlledByRun")
        with self.assertRaises(grpc.RpcError) as caught:
            next(iter(system.RunSystemTest_Info(fw.CommandExecutionUUID(value="not-one-of-ours"))))
        self.assertEqual(h.sila_error(caught.exception).frameworkError.errorType,
                         fw.FrameworkError.INVALID_COMMAND_EXECUTION_UUID)
        audit = (data / "audit.log").read_text()
        self.assertRegex(audit, r"\t127\.0\.0\.1\tsystem test started")


class ADamagedIdentity(unittest.TestCase):
    def test_keeps_the_server_from_starting_and_names_the_file(self):
        other = pathlib.Path(work.name, "damaged")
        other.mkdir()
        h.write_port_file(other)
        (other / "sila-server.txt").write_text("uuid=not a uuid\nname=\n")
        instrument = h.Simulator()  # its own, so that the module's program keeps its line
        try:
            run = subprocess.run([h.PROGRAM, "--dir", str(other), "--device", instrument.pty,
                                  "--sila", "0"], capture_output=True, text=True, timeout=60,
                                 env=dict(h.os.environ, QT_QPA_PLATFORM="offscreen"))
        finally:
            instrument.stop()
        self.assertEqual(run.returncode, 1, run.stdout + run.stderr)
        self.assertNotIn("SiLA 2 server on", run.stdout)
        self.assertIn("sila-server.txt", run.stderr)


class PlainTextOnlyOnRequest(unittest.TestCase):
    def test_sila_insecure_warns_that_it_breaks_the_standard_and_serves_plain_text(self):
        other = pathlib.Path(work.name, "insecure")
        other.mkdir()
        h.write_port_file(other)
        instrument = h.Simulator()
        plain = None
        try:
            plain = h.Program(str(other), instrument.pty, ["--sila-insecure"])
            channel = grpc.insecure_channel(f"127.0.0.1:{plain.port}")
            service = ss_grpc.SiLAServiceStub(channel)
            self.assertEqual(service.Get_ServerType(ss.Get_ServerType_Parameters(),
                                                    timeout=30).ServerType.value,
                             "KQVDR1000Control")
            channel.close()
            self.assertFalse((other / "sila-server.key").exists(), "no TLS pair is made")
        finally:
            if plain is not None:
                plain.stop()
                warning = plain.stderr_text
            instrument.stop()
        self.assertIn("breaks the SiLA 2 standard", warning)


class TheInstrumentFallenSilent(unittest.TestCase):
    """Last: the line stays silent for the rest of the run."""

    def test_a_command_while_the_instrument_does_not_answer_is_instrument_not_connected(self):
        self.assertEqual(simulator.command("silent on"), "ok silent on")
        detector = dc_grpc.DetectorControllerStub(channel)

        def refused_as_not_connected():
            try:
                detector.Autozero(dc.Autozero_Parameters())
            except grpc.RpcError as error:
                return (h.sila_error(error).definedExecutionError.errorIdentifier
                        == DETECTOR + "/DefinedExecutionError/InstrumentNotConnected")
            return False

        self.assertTrue(h.wait_until(refused_as_not_connected, limit=30, step=0.5))


VANISHING_CLIENT = textwrap.dedent("""
    import sys, time, grpc
    sys.path.insert(0, sys.argv[1])
    import DetectorController_pb2 as dc, DetectorController_pb2_grpc as dc_grpc
    # Four connections: one carries 32 streams at once, and holds any more back.
    channels = [grpc.secure_channel("127.0.0.1:" + sys.argv[2],
                                    grpc.ssl_channel_credentials(open(sys.argv[3], "rb").read()))
                for _ in range(4)]
    stubs = [dc_grpc.DetectorControllerStub(channel) for channel in channels]
    streams = [stubs[i % 4].Subscribe_DetectorOutput(dc.Subscribe_DetectorOutput_Parameters())
               for i in range(100)]
    for stream in streams:
        next(stream)
    print("open", flush=True)
    time.sleep(60)
""")


class BadClients(unittest.TestCase):
    """None of these may disturb the poll: the sweeps keep their period within 10 %."""

    def test_garbage_vanished_subscriptions_and_plain_text_leave_the_poll_alone(self):
        start = time.monotonic()
        # Bytes that are no TLS and no HTTP/2, on several connections.
        for seed in range(20):
            with socket.create_connection(("127.0.0.1", program.port), timeout=5) as raw:
                raw.sendall(bytes((seed * 37 + i * 11) % 256 for i in range(4096)))
        # A client without TLS: the handshake fails, the program goes on.
        plain = grpc.insecure_channel(f"127.0.0.1:{program.port}")
        with self.assertRaises(grpc.RpcError):
            dc_grpc.DetectorControllerStub(plain).Autozero(dc.Autozero_Parameters(), timeout=5)
        plain.close()
        # A hundred subscriptions, and then the client is gone without a word.
        vanishing = subprocess.Popen(
            [sys.executable, "-c", VANISHING_CLIENT, str(pathlib.Path(work.name, "stubs")),
             str(program.port), str(data / "sila-server.pem")], stdout=subprocess.PIPE, text=True)
        self.assertEqual(vanishing.stdout.readline().strip(), "open")
        time.sleep(4)  # the poll goes on while they are open ...
        vanishing.kill()  # ... and after they are gone without a word
        vanishing.wait()
        vanishing.stdout.close()
        time.sleep(5)
        intervals = sweep_intervals(start)
        # A stalled tick shows as sweeps missing from the span as well as longer intervals.
        span = time.monotonic() - start
        self.assertGreaterEqual(len(intervals), int(0.9 * span / SWEEP_PERIOD) - 1,
                                (span, intervals))
        self.assertTrue(program.running())
        self.assertLess(abs(statistics.median(intervals) - SWEEP_PERIOD), 0.1 * SWEEP_PERIOD,
                        intervals)
        self.assertLess(abs(statistics.mean(intervals) - SWEEP_PERIOD), 0.1 * SWEEP_PERIOD,
                        intervals)
        # The server still answers a well-behaved client.
        self.assertIsNotNone(first_value(dc_grpc.DetectorControllerStub(channel).Subscribe_Mode(
            dc.Subscribe_Mode_Parameters()), "Mode", limit=10))


if __name__ == "__main__":
    unittest.main()
