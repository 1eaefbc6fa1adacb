"""The SiLA 2 server as a client built only from the served Feature Definitions sees it: every
definition is fetched through GetFeatureDefinition and mapped to protocol buffers by the
standard's rules (sila_mapping, not the program's .proto files), and every command and property
is called with valid values, each parameter missing, values outside their constraints, metadata
where none is allowed and execution UUIDs in upper case. Every error is checked for its kind and
identifier, every response against the constraints the server itself serves. The server has a
user: the client logs in and sends its access token wherever the server says it is needed, and
every call that needs it is tried without it too."""

import base64
import pathlib
import subprocess
import time
import unittest

import grpc

import sila_harness as h
import sila_mapping as m

SILA_SERVICE = "org.silastandard/core/SiLAService/v1"
DETECTOR = "com.brackwater/detector/DetectorController/v1"
METHODS = "com.brackwater/detector/MethodStore/v1"
SYSTEM_TEST = "com.brackwater/detector/SystemTest/v1"
AUTHENTICATION = "org.silastandard/core/AuthenticationService/v1"
AUTHORIZATION = "org.silastandard/core/AuthorizationService/v1"
OPEN_FEATURES = {SILA_SERVICE, AUTHENTICATION, AUTHORIZATION}
USER, PASSWORD = "conformance", "conformance-password"
OBSERVER = "conformance-observer"
CANCEL = "org.silastandard/core.commands/CancelController/v1"
NO_EXECUTION = "0f8fad5b-d9cb-469f-a165-70867728950e"
LOCK = "org.silastandard/core/LockController/v2"

# Values a working instrument accepts, where the served constraints alone cannot tell (a gas
# flow on the standard instrument's steps, a serial number of its variant). Names and
# descriptions use their whole length in characters that take two bytes each.
VALID = {
    f"{SILA_SERVICE}/Command/GetFeatureDefinition": {"FeatureIdentifier": DETECTOR},
    f"{SILA_SERVICE}/Command/SetServerName": {"ServerName": "Bench \u00e9 3"},
    f"{DETECTOR}/Command/SetMode": {"Mode": "STANDBY"},
    f"{DETECTOR}/Command/SelectMethod": {"MethodNumber": 2},
    f"{DETECTOR}/Command/SetTransferLine": {"On": True},
    f"{METHODS}/Command/GetMethod": {"MethodNumber": 3},
    f"{METHODS}/Command/StoreMethod": {
        "MethodNumber": 4, "Name": "\u00e9" * 255, "Description": "\u00fc" * 1024,
        "EvaporatorTemperature": 50, "NebuliserTemperature": 40, "TransferLineTemperature": 40,
        "GasFlow": 1.5, "AutozeroOffset": 0, "TimeConstant": 1},
    f"{METHODS}/Command/SendMethod": {"MethodNumber": 4},
    f"{SYSTEM_TEST}/Command/RunSystemTest": {"SerialNumber": "003-042"},
    f"{SYSTEM_TEST}/Command/AnalyzeLog": {"Path": "003_042.log"},
    # RequestedServer is this server's UUID, filled in once it is known.
    f"{AUTHENTICATION}/Command/Login": {
        "UserIdentification": "nobody", "Password": "not a password",
        "RequestedFeatures": [DETECTOR]},
    f"{AUTHENTICATION}/Command/Logout": {"AccessToken": "not a token"},
    f"{CANCEL}/Command/CancelCommand": {"CommandExecutionUUID": NO_EXECUTION},
    # Locked and unlocked at once; the short timeout bounds the harm should the unlock fail.
    f"{LOCK}/Command/LockServer": {"LockIdentifier": "conformance", "Timeout": 5},
    f"{LOCK}/Command/UnlockServer": {"LockIdentifier": "conformance"},
}
FALLBACK = {"String": "x", "Integer": 1, "Real": 1.0, "Boolean": True}
# Commands whose parameters are checked elsewhere rather than here; none at present.
OWN_PARAMETER_CHECKS = set()

work = h.temporary_directory()
simulator = program = channel = raw_channel = fw = None
features = {}  # by fully qualified identifier
affected = []  # what the server says needs the access token
token_header = None


class AccessToken(grpc.UnaryUnaryClientInterceptor, grpc.UnaryStreamClientInterceptor):
    """Sends the access token with every call of a feature that needs it, as a client that
    asked Get_FCPAffectedByMetadata_AccessToken does."""

    def with_token(self, details):
        package = details.method.split("/")[1].rsplit(".", 1)[0]
        if not any(f.package == package and f.fqi in affected for f in features.values()):
            return details
        return details._replace(metadata=list(details.metadata or []) + [token_header])

    def intercept_unary_unary(self, continuation, details, request):
        return continuation(self.with_token(details), request)

    def intercept_unary_stream(self, continuation, details, request):
        return continuation(self.with_token(details), request)


def log_in():
    """The user's access token as the AccessToken metadata header, and what needs it."""
    global token_header
    authentication, authorization = features[AUTHENTICATION], features[AUTHORIZATION]
    login = stub_of(authentication).Login(authentication.pb2.Login_Parameters(
        UserIdentification=fw.String(value=USER), Password=fw.String(value=PASSWORD),
        RequestedServer=fw.String(value=VALID[f"{AUTHENTICATION}/Command/Login"][
            "RequestedServer"])), timeout=30)
    token = authorization.pb2.Metadata_AccessToken(AccessToken=login.AccessToken)
    token_header = ("sila-org.silastandard-core-authorizationservice-v1-metadata-accesstoken-bin",
                    token.SerializeToString())
    affected.extend(a.value for a in stub_of(authorization).Get_FCPAffectedByMetadata_AccessToken(
        authorization.pb2.Get_FCPAffectedByMetadata_AccessToken_Parameters(),
        timeout=10).AffectedCalls)


def setUpModule():
    global simulator, program, channel, raw_channel, fw
    data = h.data_folder(work)
    added = subprocess.run([h.PROGRAM, "--dir", str(data), "--sila-user", "add", USER, "--role",
                            "supervisor"], input=PASSWORD + "\n", capture_output=True, text=True,
                           timeout=60)
    assert added.returncode == 0, added.stderr
    added = subprocess.run([h.PROGRAM, "--dir", str(data), "--sila-user", "add", OBSERVER,
                            "--role", "observer"], input=PASSWORD + "\n", capture_output=True,
                           text=True, timeout=60)
    assert added.returncode == 0, added.stderr
    # AnalyzeLog reads only test logs of the data folder; an empty one is still one.
    pathlib.Path(data, VALID[f"{SYSTEM_TEST}/Command/AnalyzeLog"]["Path"]).write_bytes(b"")
    simulator, program, raw_channel = h.serve(data)
    channel = grpc.intercept_channel(raw_channel, AccessToken())
    stubs = pathlib.Path(work.name, "stubs")
    stubs.mkdir()
    service = m.Feature(m.raw_feature_definition(channel, SILA_SERVICE))
    fw = m.compile_features([service], stubs)
    stub = service.grpc.SiLAServiceStub(channel)
    VALID[f"{AUTHENTICATION}/Command/Login"]["RequestedServer"] = stub.Get_ServerUUID(
        service.pb2.Get_ServerUUID_Parameters(), timeout=10).ServerUUID.value
    implemented = stub.Get_ImplementedFeatures(
        service.pb2.Get_ImplementedFeatures_Parameters(), timeout=10).ImplementedFeatures
    for identifier in (f.value for f in implemented):
        xml = stub.GetFeatureDefinition(service.pb2.GetFeatureDefinition_Parameters(
            FeatureIdentifier=fw.String(value=identifier)), timeout=10).FeatureDefinition.value
        features[identifier] = m.Feature(xml)
    m.compile_features(list(features.values()), stubs)
    log_in()


def tearDownModule():
    h.stop_all(raw_channel, program, simulator, work)


def stub_of(feature, through=None):
    return getattr(feature.grpc, f"{feature.id}Stub")(through or channel)


def value_of(basic, python):
    return getattr(fw, basic)(value=python)


def parameters(command, leave_out=None, replace=None):
    """A command's parameters message with valid values, one left out or replaced if asked."""
    message = getattr(command.feature.pb2, f"{command.id}_Parameters")()
    valid = VALID.get(command.fqi, {})
    for name, data_type in command.parameters:
        if name == leave_out:
            continue
        if m.is_list(data_type):
            basic = m.basic_of(m.element_of(data_type))
            items = valid.get(name, [FALLBACK[basic]])
            if replace and replace[0] == name:
                items = [replace[1]]
            for item in items:
                getattr(message, name).add().CopyFrom(value_of(basic, item))
            continue
        defined = m.defined_type(data_type)
        data_type = m.resolved(command.feature, data_type)
        basic = m.basic_of(data_type)
        python = replace[1] if replace and replace[0] == name else \
            valid.get(name, FALLBACK[basic])
        value = value_of(basic, python)
        if defined:
            # A defined data type travels in a message of its own around the value.
            value = getattr(command.feature.pb2, f"DataType_{defined}")(**{defined: value})
        getattr(message, name).CopyFrom(value)
    return message


def sila_error(error):
    if error.code() != grpc.StatusCode.ABORTED:
        raise AssertionError(f"not a SiLA error but {error.code()}: {error.details()}")
    parsed = fw.SiLAError()
    parsed.ParseFromString(base64.b64decode(error.details()))
    return parsed


def all_commands():
    return [c for f in features.values() for c in f.commands]


class Checks(unittest.TestCase):
    def assertWithinConstraints(self, message, members, where):
        for identifier, data_type in members:
            if not m.is_list(data_type):
                self.assertTrue(message.HasField(identifier), f"{where}: {identifier} missing")
            self.assertEqual(m.constraint_problems(getattr(message, identifier), data_type,
                                                   f"{where}/{identifier}"), [])

    def assertDeclaredError(self, error, command):
        """A failure of a valid call: only a defined execution error the command declares."""
        kind = error.WhichOneof("error")
        self.assertEqual(kind, "definedExecutionError", f"{command.fqi}: {error}")
        identifier = error.definedExecutionError.errorIdentifier
        prefix = f"{command.feature.fqi}/DefinedExecutionError/"
        self.assertTrue(identifier.startswith(prefix), identifier)
        self.assertIn(identifier[len(prefix):], command.errors, f"{command.fqi} declares it not")

    def assertValidationError(self, call, parameter, what):
        with self.assertRaises(grpc.RpcError, msg=what) as caught:
            call()
        error = sila_error(caught.exception)
        self.assertEqual(error.WhichOneof("error"), "validationError", f"{what}: {error}")
        self.assertEqual(error.validationError.parameter, parameter, what)

    def assertFrameworkError(self, call, error_type, what):
        with self.assertRaises(grpc.RpcError, msg=what) as caught:
            call()
        error = sila_error(caught.exception)
        self.assertEqual(error.WhichOneof("error"), "frameworkError", f"{what}: {error}")
        self.assertEqual(error.frameworkError.errorType, error_type, f"{what}: {error}")


class CommandsWithValidValues(Checks):
    def test_every_command_succeeds_or_gives_an_error_it_declares_and_answers_within_its_constraints(self):
        for command in all_commands():
            if command.observable:
                continue
            with self.subTest(command=command.fqi):
                call = getattr(stub_of(command.feature), command.id)
                try:
                    response = call(parameters(command), timeout=15)
                except grpc.RpcError as failure:
                    self.assertDeclaredError(sila_error(failure), command)
                else:
                    self.assertWithinConstraints(response, command.responses, command.fqi)

    def test_get_method_is_instrument_not_connected_until_the_methods_arrive_then_keeps_its_limits(self):
        feature = features[METHODS]
        command = next(c for c in feature.commands if c.id == "GetMethod")
        stub = stub_of(feature)
        deadline, response = time.monotonic() + 20, None
        while response is None and time.monotonic() < deadline:
            try:
                response = stub.GetMethod(parameters(command), timeout=10)
            except grpc.RpcError as failure:
                error = sila_error(failure)
                self.assertEqual(error.definedExecutionError.errorIdentifier,
                                 f"{METHODS}/DefinedExecutionError/InstrumentNotConnected")
                time.sleep(0.2)
        self.assertIsNotNone(response, "the methods never arrived")
        self.assertWithinConstraints(response, command.responses, command.fqi)

    def test_a_stored_name_of_255_two_byte_characters_reads_back_whole(self):
        feature = features[METHODS]
        store = next(c for c in feature.commands if c.id == "StoreMethod")
        get = next(c for c in feature.commands if c.id == "GetMethod")
        stub = stub_of(feature)
        stub.StoreMethod(parameters(store), timeout=15)
        read = stub.GetMethod(parameters(get, replace=("MethodNumber", 4)), timeout=15)
        self.assertEqual(read.Method.Name.value, "\u00e9" * 255)
        self.assertEqual(read.Method.Description.value, "\u00fc" * 1024)


class DefinitionsAndIdentifiers(Checks):
    def test_every_implemented_feature_is_served_and_found_in_any_case(self):
        self.assertIn(SILA_SERVICE, features)
        service = features[SILA_SERVICE]
        stub = stub_of(service)
        for identifier, feature in features.items():
            for asked in (identifier, identifier.upper(), identifier.lower()):
                served = stub.GetFeatureDefinition(service.pb2.GetFeatureDefinition_Parameters(
                    FeatureIdentifier=fw.String(value=asked)), timeout=10).FeatureDefinition.value
                self.assertEqual(served, feature.xml, asked)
            self.assertEqual(feature.fqi, identifier, "the definition names itself")

    def test_an_unknown_feature_is_unimplemented_feature(self):
        service = features[SILA_SERVICE]
        with self.assertRaises(grpc.RpcError) as caught:
            stub_of(service).GetFeatureDefinition(service.pb2.GetFeatureDefinition_Parameters(
                FeatureIdentifier=fw.String(value="org.example/none/Nothing/v1")), timeout=10)
        self.assertEqual(sila_error(caught.exception).definedExecutionError.errorIdentifier,
                         f"{SILA_SERVICE}/DefinedExecutionError/UnimplementedFeature")


class InstrumentThatNeverAnswered(Checks):
    def test_get_method_before_the_instrument_sent_its_methods_is_instrument_not_connected(self):
        silent = h.Simulator()
        other = None
        try:
            self.assertTrue(silent.command("silent on").startswith("ok"))
            data = pathlib.Path(work.name, "silent")
            data.mkdir()
            h.write_port_file(data)
            other = h.Program(str(data), silent.pty)
            with h.secure_channel(data, other.port) as other_channel:
                feature = features[METHODS]
                command = next(c for c in feature.commands if c.id == "GetMethod")
                stub = getattr(feature.grpc, "MethodStoreStub")(other_channel)
                with self.assertRaises(grpc.RpcError) as caught:
                    stub.GetMethod(parameters(command), timeout=15)
                self.assertEqual(sila_error(caught.exception).definedExecutionError.errorIdentifier,
                                 f"{METHODS}/DefinedExecutionError/InstrumentNotConnected")
        finally:
            if other is not None:
                other.stop()
            silent.stop()


class MetadataOnSiLAService(Checks):
    def test_every_silaservice_call_with_client_metadata_is_no_metadata_allowed(self):
        service = features[SILA_SERVICE]
        stub = stub_of(service)
        metadata = [("sila-org.silastandard-core-silaservice-v1-metadata-anything-bin",
                     value_of("String", "x").SerializeToString())]
        not_allowed = fw.FrameworkError.NO_METADATA_ALLOWED
        for command in service.commands:
            call = getattr(stub, command.id)
            self.assertFrameworkError(
                lambda: call(parameters(command), metadata=metadata, timeout=10), not_allowed,
                command.fqi)
        for prop in service.properties:
            call = getattr(stub, f"Get_{prop.id}")
            request = getattr(service.pb2, f"Get_{prop.id}_Parameters")()
            self.assertFrameworkError(lambda: call(request, metadata=metadata, timeout=10),
                                      not_allowed, prop.fqi)
            call(request, metadata=[("x-unrelated", "1")], timeout=10)


class RoleRefusals(Checks):
    def test_an_observer_is_refused_a_command_with_its_features_error_naming_the_role(self):
        authentication, authorization = features[AUTHENTICATION], features[AUTHORIZATION]
        login = stub_of(authentication).Login(authentication.pb2.Login_Parameters(
            UserIdentification=fw.String(value=OBSERVER), Password=fw.String(value=PASSWORD),
            RequestedServer=fw.String(value=VALID[f"{AUTHENTICATION}/Command/Login"][
                "RequestedServer"])), timeout=30)
        observer = [(token_header[0], authorization.pb2.Metadata_AccessToken(
            AccessToken=login.AccessToken).SerializeToString())]
        detector = features[DETECTOR]
        with self.assertRaises(grpc.RpcError) as caught:
            stub_of(detector, raw_channel).SetMode(detector.pb2.SetMode_Parameters(
                Mode=fw.String(value="STANDBY")), metadata=observer, timeout=10)
        error = sila_error(caught.exception)
        self.assertEqual(error.definedExecutionError.errorIdentifier,
                         f"{DETECTOR}/DefinedExecutionError/NotAllowedForRole", error)
        self.assertIn("operator", error.definedExecutionError.message)


class AccessTokenRequired(Checks):
    def test_every_call_that_needs_the_token_is_invalid_metadata_without_it_before_its_parameters(self):
        guarded = [f for f in features.values() if f.fqi not in OPEN_FEATURES]
        self.assertEqual(sorted(affected), sorted(f.fqi for f in guarded))
        invalid_metadata = fw.FrameworkError.INVALID_METADATA
        unknown = [(token_header[0], features[AUTHORIZATION].pb2.Metadata_AccessToken(
            AccessToken=fw.String(value="0" * 64)).SerializeToString())]
        for feature in guarded:
            stub = stub_of(feature, raw_channel)
            calls = [(c.fqi, getattr(stub, c.id), getattr(feature.pb2, f"{c.id}_Parameters")())
                     for c in feature.commands]
            for prop in feature.properties:
                verb = "Subscribe" if prop.observable else "Get"
                call = getattr(stub, f"{verb}_{prop.id}")
                if prop.observable:
                    call = (lambda c: lambda request, **kw: next(c(request, **kw)))(call)
                calls.append((prop.fqi, call,
                              getattr(feature.pb2, f"{verb}_{prop.id}_Parameters")()))
            for fqi, call, empty in calls:
                self.assertFrameworkError(lambda: call(empty, timeout=10), invalid_metadata, fqi)
                with self.assertRaises(grpc.RpcError, msg=fqi) as caught:
                    call(empty, metadata=unknown, timeout=10)
                self.assertEqual(sila_error(caught.exception).definedExecutionError
                                 .errorIdentifier,
                                 f"{AUTHORIZATION}/DefinedExecutionError/InvalidAccessToken", fqi)


class MetadataOfTheServedFeatures(Checks):
    def test_every_metadata_names_only_calls_of_served_features_and_never_silaservice(self):
        served = set(features)
        for feature in features.values():
            stub = stub_of(feature)
            for name, _ in feature.metadata:
                with self.subTest(metadata=f"{feature.fqi}/Metadata/{name}"):
                    verb = f"Get_FCPAffectedByMetadata_{name}"
                    request = getattr(feature.pb2, f"{verb}_Parameters")()
                    reply = getattr(stub, verb)(request, timeout=10)
                    affected = [a.value for a in reply.AffectedCalls]
                    self.assertTrue(affected)
                    for call in affected:
                        self.assertIn("/".join(call.split("/")[:4]), served, call)
                        self.assertNotIn(SILA_SERVICE, call)


class MissingParameters(Checks):
    def test_each_parameter_left_out_is_a_validation_error_naming_it(self):
        for command in all_commands():
            if command.fqi in OWN_PARAMETER_CHECKS:
                continue
            call = getattr(stub_of(command.feature), command.id)
            for name, data_type in command.parameters:
                # A list left out is an empty list on the wire: nothing tells the two apart.
                if m.is_list(data_type):
                    continue
                self.assertValidationError(
                    lambda: call(parameters(command, leave_out=name), timeout=15),
                    command.parameter_fqi(name), f"{command.fqi} without {name}")


class OutOfConstraintValues(Checks):
    def test_each_value_outside_a_served_constraint_is_a_validation_error_naming_it(self):
        tried = 0
        for command in all_commands():
            if command.fqi in OWN_PARAMETER_CHECKS:
                continue
            call = getattr(stub_of(command.feature), command.id)
            for name, data_type in command.parameters:
                for bad in m.values_outside(m.resolved(command.feature, data_type)):
                    tried += 1
                    self.assertValidationError(
                        lambda: call(parameters(command, replace=(name, bad)), timeout=15),
                        command.parameter_fqi(name), f"{command.fqi} with {name}={bad!r}")
        self.assertGreater(tried, 20)


class PropertiesWithinTheirConstraints(Checks):
    def test_every_property_answers_within_its_served_constraints(self):
        for feature in features.values():
            stub = stub_of(feature)
            for prop in feature.properties:
                verb = "Subscribe" if prop.observable else "Get"
                request = getattr(feature.pb2, f"{verb}_{prop.id}_Parameters")()
                with self.subTest(property=prop.fqi):
                    if prop.observable:
                        stream = getattr(stub, f"Subscribe_{prop.id}")(request, timeout=10)
                        response = next(stream)
                        stream.cancel()
                    else:
                        response = getattr(stub, f"Get_{prop.id}")(request, timeout=10)
                    self.assertWithinConstraints(response, [(prop.id, prop.data_type)], prop.fqi)


class SystemTestAsAnObservableCommand(Checks):
    # Last in the module: the cancel ends the test with the panel's stopped warning, which waits
    # for a person.
    def test_an_execution_is_followed_and_cancelled_under_its_uuid_in_upper_case(self):
        feature = features[SYSTEM_TEST]
        command = next(c for c in feature.commands if c.id == "RunSystemTest")
        stub = stub_of(feature)
        confirmation = stub.RunSystemTest(parameters(command), timeout=20)
        uuid = confirmation.commandExecutionUUID.value
        self.assertFalse(confirmation.HasField("lifetimeOfExecution"),
                         "without a lifetime the UUID is valid while the server runs")
        upper = fw.CommandExecutionUUID(value=uuid.upper())
        info_stream = stub.RunSystemTest_Info(upper, timeout=15)
        running = None
        for info in info_stream:
            self.assertIn(info.commandStatus, (fw.ExecutionInfo.waiting, fw.ExecutionInfo.running))
            if info.commandStatus == fw.ExecutionInfo.running:
                running = info
                break
        info_stream.cancel()
        self.assertIsNotNone(running)
        self.assertTrue(running.HasField("estimatedRemainingTime"))
        self.assertGreater(running.estimatedRemainingTime.seconds, 0)
        progress_stream = stub.RunSystemTest_Intermediate(upper, timeout=15)
        self.assertWithinConstraints(next(progress_stream), command.intermediates,
                                     command.fqi + "/Intermediate")
        progress_stream.cancel()
        self.assertFrameworkError(lambda: stub.RunSystemTest_Result(upper, timeout=10),
                                  fw.FrameworkError.COMMAND_EXECUTION_NOT_FINISHED, "result")
        unknown = fw.CommandExecutionUUID(value="0f8fad5b-d9cb-469f-a165-70867728950e")
        for call in (stub.RunSystemTest_Result,
                     lambda u, timeout: next(stub.RunSystemTest_Info(u, timeout=timeout))):
            self.assertFrameworkError(lambda: call(unknown, timeout=10),
                                      fw.FrameworkError.INVALID_COMMAND_EXECUTION_UUID, "unknown")

        cancel = features[CANCEL]
        cancel_command = next(c for c in cancel.commands if c.id == "CancelCommand")
        cancel_stub = stub_of(cancel)

        def cancel_execution(text):
            return cancel_stub.CancelCommand(cancel.pb2.CancelCommand_Parameters(
                CommandExecutionUUID=cancel.pb2.DataType_UUID(UUID=fw.String(value=text))),
                timeout=15)

        invalid = f"{CANCEL}/DefinedExecutionError/InvalidCommandExecutionUUID"
        with self.assertRaises(grpc.RpcError) as caught:
            cancel_execution(NO_EXECUTION.upper())
        error = sila_error(caught.exception)
        self.assertDeclaredError(error, cancel_command)
        self.assertEqual(error.definedExecutionError.errorIdentifier, invalid)

        cancel_execution(uuid.upper())
        statuses = [info.commandStatus for info in stub.RunSystemTest_Info(upper, timeout=30)]
        self.assertEqual(statuses[-1], fw.ExecutionInfo.finishedWithError)
        with self.assertRaises(grpc.RpcError) as caught:
            stub.RunSystemTest_Result(upper, timeout=10)
        error = sila_error(caught.exception)
        self.assertDeclaredError(error, command)
        self.assertIn("cancelled", error.definedExecutionError.message)
        with self.assertRaises(grpc.RpcError) as caught:
            cancel_execution(uuid)
        self.assertEqual(sila_error(caught.exception).definedExecutionError.errorIdentifier,
                         invalid, "an ended execution is no longer running")


if __name__ == "__main__":
    unittest.main()
