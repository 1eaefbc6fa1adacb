"""Users and logins of the real program's SiLA 2 server: the users file and --sila-user, the
standard's AuthenticationService, the lockout, where the server refuses to start, and client
certificates."""

import os
import pathlib
import re
import stat
import subprocess
import sys
import unittest

import grpc

import sila_harness as h

work = h.temporary_directory()
pathlib.Path(work.name, "stubs").mkdir()
h.compile_protos(str(pathlib.Path(work.name, "stubs")))

import AuthenticationService_pb2 as auth  # noqa: E402
import AuthenticationService_pb2_grpc as auth_grpc  # noqa: E402
import AuthorizationService_pb2 as az  # noqa: E402
import DetectorController_pb2 as dc  # noqa: E402
import DetectorController_pb2_grpc as dc_grpc  # noqa: E402
import MethodStore_pb2 as ms  # noqa: E402
import MethodStore_pb2_grpc as ms_grpc  # noqa: E402
import SiLAFramework_pb2 as fw  # noqa: E402
import SiLAService_pb2 as ss  # noqa: E402
import SiLAService_pb2_grpc as ss_grpc  # noqa: E402

AUTH = "org.silastandard/core/AuthenticationService/v1"
AUTHZ = "org.silastandard/core/AuthorizationService/v1"
DETECTOR = "com.brackwater/detector/DetectorController/v1"
METHODS = "com.brackwater/detector/MethodStore/v1"
TOKEN_KEY = "sila-org.silastandard-core-authorizationservice-v1-metadata-accesstoken-bin"
USERS_FILE = "remote users.txt"
PASSWORD = "right-password-1"


def sila_user(directory, *arguments, password=None):
    return subprocess.run([h.PROGRAM, "--dir", str(directory), "--sila-user", *arguments],
                          input=None if password is None else password + "\n",
                          capture_output=True, text=True, timeout=60)


def start_refused(directory, device, *extra):
    """A start that must end with the server refused: its exit code and standard error."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    done = subprocess.run([h.PROGRAM, "--dir", str(directory), "--device", device, "--sila", "0",
                           *extra], capture_output=True, text=True, env=env, timeout=60)
    return done.returncode, done.stdout, done.stderr


def login(stub, name, password, server, features=()):
    return stub.Login(auth.Login_Parameters(
        UserIdentification=fw.String(value=name), Password=fw.String(value=password),
        RequestedServer=fw.String(value=server),
        RequestedFeatures=[fw.String(value=f) for f in features]), timeout=30)


def audit_lines(directory):
    return pathlib.Path(directory, "audit.log").read_text().splitlines()


def with_token(token):
    value = az.Metadata_AccessToken(AccessToken=fw.String(value=token)).SerializeToString()
    return [(TOKEN_KEY, value)]


def refusal(call):
    """The SiLAError a call ends with; None when it succeeds."""
    try:
        call()
    except grpc.RpcError as failure:
        return h.sila_error(failure)
    return None


def add_users(directory, users):
    for name, role in users:
        added = sila_user(directory, "add", name, "--role", role, password=PASSWORD)
        assert added.returncode == 0, added.stderr


def start_with_users(directory):
    """The program on `directory`, a channel to it and the server's UUID."""
    program = h.Program(str(directory), simulator.pty)
    channel = h.secure_channel(directory, program.port)
    grpc.channel_ready_future(channel).result(timeout=30)
    uuid = ss_grpc.SiLAServiceStub(channel).Get_ServerUUID(
        ss.Get_ServerUUID_Parameters(), timeout=10).ServerUUID.value
    return program, channel, uuid


simulator = None


def setUpModule():
    global simulator
    simulator = h.Simulator()


def tearDownModule():
    if simulator is not None:
        simulator.stop()
    work.cleanup()


class LoginTest(unittest.TestCase):
    """One program with two users; logins, logouts and the lockout against it, then a restart."""

    @classmethod
    def setUpClass(cls):
        cls.data = pathlib.Path(work.name, "logins")
        cls.data.mkdir()
        h.write_port_file(cls.data)
        add_users(cls.data, (("alice", "operator"), ("olga", "observer")))

    def start(self):
        program, channel, uuid = start_with_users(self.data)
        return program, channel, auth_grpc.AuthenticationServiceStub(channel), uuid

    def assertDefinedError(self, call, identifier):
        with self.assertRaises(grpc.RpcError) as caught:
            call()
        error = h.sila_error(caught.exception)
        self.assertEqual(error.WhichOneof("error"), "definedExecutionError", error)
        self.assertEqual(error.definedExecutionError.errorIdentifier,
                         f"{AUTH}/DefinedExecutionError/{identifier}")
        return error.definedExecutionError.message

    def run_readme_login_example(self, port):
        readme = (pathlib.Path(__file__).parents[2] / "README.md").read_text()
        section = readme.split("## Remote control (SiLA 2)", 1)[1]
        example = section.split("```python\n", 1)[1].split("```", 1)[0]
        example = example.replace('os.path.expanduser("~/.local/share/kqvdr1000-control")',
                                  repr(str(self.data)))
        example = example.replace("127.0.0.1:50052", f"127.0.0.1:{port}")
        example = example.replace('"her password"', repr(PASSWORD))
        run = subprocess.run([sys.executable, "-c", example], capture_output=True, text=True,
                             timeout=60, env={"PYTHONPATH": str(pathlib.Path(work.name, "stubs"))})
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertTrue(run.stdout.rstrip().endswith("Mode: RUN"), run.stdout)

    def test_logins_logouts_lockout_and_a_restart(self):
        program, channel, stub, uuid = self.start()
        try:
            granted = login(stub, "alice", PASSWORD, uuid.upper(),
                            ["com.brackwater/detector/DetectorController/v1"])
            self.assertRegex(granted.AccessToken.value, r"^[0-9a-f]{64}$")
            self.assertEqual(granted.TokenLifetime.value, 3600)
            observer = login(stub, "olga", PASSWORD, uuid).AccessToken.value
            self.assertNotEqual(observer, granted.AccessToken.value)

            # The parameters are checked before anything else, each by name.
            with self.assertRaises(grpc.RpcError) as caught:
                stub.Login(auth.Login_Parameters(UserIdentification=fw.String(value="alice"),
                                                 RequestedServer=fw.String(value=uuid)))
            error = h.sila_error(caught.exception)
            self.assertEqual(error.validationError.parameter, f"{AUTH}/Command/Login/Parameter/Password")
            with self.assertRaises(grpc.RpcError) as caught:
                login(stub, "alice", PASSWORD, uuid, ["org.example/x/Nothing/v1"])
            self.assertEqual(h.sila_error(caught.exception).validationError.parameter,
                             f"{AUTH}/Command/Login/Parameter/RequestedFeatures")

            other = "00000000-0000-4000-8000-000000000000"
            self.assertIn(uuid, self.assertDefinedError(
                lambda: login(stub, "alice", PASSWORD, other), "AuthenticationFailed"))

            stub.Logout(auth.Logout_Parameters(AccessToken=granted.AccessToken), timeout=10)
            self.assertDefinedError(
                lambda: stub.Logout(auth.Logout_Parameters(AccessToken=granted.AccessToken)),
                "InvalidAccessToken")

            self.run_readme_login_example(program.port)

            # The running program holds the folder: the users wait until it has ended.
            busy = sila_user(self.data, "remove", "olga")
            self.assertEqual(busy.returncode, 1)
            self.assertIn("running", busy.stderr)

            # Five wrong passwords lock the name and the address; the right one is then refused.
            for _ in range(5):
                self.assertIn("wrong", self.assertDefinedError(
                    lambda: login(stub, "alice", "wrong-password", uuid), "AuthenticationFailed"))
            self.assertIn("Too many failed logins", self.assertDefinedError(
                lambda: login(stub, "alice", PASSWORD, uuid), "AuthenticationFailed"))
            # Logins are recorded at the next tick, on the program's thread.
            self.assertTrue(h.wait_until(
                lambda: sum("\tremote lockout\t" in line for line in audit_lines(self.data)) == 2,
                limit=10))
        finally:
            channel.close()
            program.stop()

        trail = audit_lines(self.data)
        events = [(line.split("\t")[2], line.split("\t")[3]) for line in trail]
        self.assertIn(("alice@127.0.0.1", "remote login"), events)
        self.assertIn(("olga@127.0.0.1", "remote login"), events)
        self.assertIn(("alice@127.0.0.1", "remote logout"), events)
        self.assertEqual(events.count(("alice@127.0.0.1", "remote login")), 2)
        self.assertEqual(events.count(("alice@127.0.0.1", "remote login failed")), 6)
        lockouts = [line for line in trail if "\tremote lockout\t" in line]
        self.assertEqual(len(lockouts), 2, lockouts)
        self.assertTrue(any("name alice" in line for line in lockouts))
        self.assertTrue(any("address 127.0.0.1" in line for line in lockouts))
        verified = subprocess.run([h.PROGRAM, "--dir", str(self.data), "--verify-audit"],
                                  capture_output=True, text=True, timeout=60)
        self.assertEqual(verified.returncode, 0, verified.stdout)

        # A restart ends every session and clears the lockout.
        program, channel, stub, uuid = self.start()
        try:
            self.assertDefinedError(
                lambda: stub.Logout(auth.Logout_Parameters(AccessToken=fw.String(value=observer))),
                "InvalidAccessToken")
            self.assertTrue(login(stub, "alice", PASSWORD, uuid).AccessToken.value)
        finally:
            channel.close()
            program.stop()


class RolesTest(unittest.TestCase):
    """One user of each role against one program: what each may call, who the audit trail
    names, and a token after a restart. (Every call without a token or with an unknown one is
    tried by the conformance test.)"""

    @classmethod
    def setUpClass(cls):
        cls.data = pathlib.Path(work.name, "roles")
        cls.data.mkdir()
        h.write_port_file(cls.data)
        add_users(cls.data, (("olga", "observer"), ("otto", "operator"), ("sue", "supervisor")))
        cls.program, cls.channel, cls.uuid = start_with_users(cls.data)
        stub = auth_grpc.AuthenticationServiceStub(cls.channel)
        cls.tokens = {name: login(stub, name, PASSWORD, cls.uuid).AccessToken.value
                      for name in ("olga", "otto", "sue")}
        cls.detector = dc_grpc.DetectorControllerStub(cls.channel)
        cls.methods = ms_grpc.MethodStoreStub(cls.channel)

    @classmethod
    def tearDownClass(cls):
        cls.channel.close()
        cls.program.stop()

    def first_mode(self, metadata):
        stream = self.detector.Subscribe_Mode(dc.Subscribe_Mode_Parameters(), metadata=metadata,
                                              timeout=10)
        try:
            return next(stream).Mode.value
        finally:
            stream.cancel()

    def stored_method(self):
        return ms.StoreMethod_Parameters(
            MethodNumber=fw.Integer(value=4), Name=fw.String(value="By role"),
            Description=fw.String(value=""), EvaporatorTemperature=fw.Integer(value=60),
            NebuliserTemperature=fw.Integer(value=40),
            TransferLineTemperature=fw.Integer(value=50), GasFlow=fw.Real(value=1.2),
            AutozeroOffset=fw.Integer(value=5), TimeConstant=fw.Integer(value=1))

    def test_each_role_makes_the_calls_of_its_rank_and_is_refused_the_rest_naming_the_role(self):
        calls = [  # (what, feature, role needed, call with the given metadata)
            ("a subscription", DETECTOR, "observer", self.first_mode),
            ("GetMethod", METHODS, "observer", lambda md: self.methods.GetMethod(
                ms.GetMethod_Parameters(MethodNumber=fw.Integer(value=2)), metadata=md,
                timeout=15)),
            ("SetMode", DETECTOR, "operator", lambda md: self.detector.SetMode(
                dc.SetMode_Parameters(Mode=fw.String(value="STANDBY")), metadata=md,
                timeout=15)),
            ("StoreMethod", METHODS, "supervisor", lambda md: self.methods.StoreMethod(
                self.stored_method(), metadata=md, timeout=15)),
        ]
        ranks = ["observer", "operator", "supervisor"]
        for user, role in (("olga", "observer"), ("otto", "operator"), ("sue", "supervisor")):
            for what, feature, needed, call in calls:
                with self.subTest(user=user, call=what):
                    error = refusal(lambda: call(with_token(self.tokens[user])))
                    if ranks.index(role) >= ranks.index(needed):
                        # Allowed: it succeeds, or fails for the instrument's own reasons.
                        self.assertTrue(error is None or error.definedExecutionError
                                        .errorIdentifier.startswith(feature), error)
                        continue
                    self.assertIsNotNone(error)
                    self.assertEqual(error.definedExecutionError.errorIdentifier,
                                     f"{feature}/DefinedExecutionError/NotAllowedForRole")
                    self.assertIn(f"needs the role {needed}", error.definedExecutionError.message)

    def test_the_audit_trail_names_the_user_at_the_address_and_a_restart_ends_the_token(self):
        # A fresh login used at once: the trail has the login before what it let in.
        otto = with_token(login(auth_grpc.AuthenticationServiceStub(self.channel), "otto",
                                PASSWORD, self.uuid).AccessToken.value)
        self.detector.SetMode(dc.SetMode_Parameters(Mode=fw.String(value="GAS SAVE")),
                              metadata=otto, timeout=15)

        def where(pattern):
            return [i for i, line in enumerate(audit_lines(self.data)) if re.search(pattern, line)]

        gas_save = r"\totto@127\.0\.0\.1\tmode\t\t[^\t]*\tGas Save"
        self.assertTrue(h.wait_until(lambda: where(gas_save), limit=10),
                        audit_lines(self.data)[-5:])
        self.assertLess(where(r"\tremote login\totto\t")[-1], where(gas_save)[0],
                        audit_lines(self.data)[-5:])
        self.detector.SetMode(dc.SetMode_Parameters(Mode=fw.String(value="STANDBY")),
                              metadata=otto, timeout=15)

        self.channel.close()
        self.program.stop()
        type(self).program, type(self).channel, _ = start_with_users(self.data)
        self.detector = dc_grpc.DetectorControllerStub(self.channel)
        error = refusal(lambda: self.detector.SetMode(
            dc.SetMode_Parameters(Mode=fw.String(value="STANDBY")), metadata=otto, timeout=10))
        self.assertEqual(error.definedExecutionError.errorIdentifier,
                         f"{AUTHZ}/DefinedExecutionError/InvalidAccessToken")


class UsersCommandTest(unittest.TestCase):
    def test_users_are_added_listed_repassworded_and_removed_in_an_owner_only_file(self):
        data = pathlib.Path(work.name, "users")
        data.mkdir()
        self.assertEqual(sila_user(data, "add", "ann", "--role", "supervisor",
                                   password=PASSWORD).returncode, 0)
        users = data / USERS_FILE
        self.assertEqual(stat.S_IMODE(users.stat().st_mode), 0o600)
        self.assertNotIn(PASSWORD, users.read_text())
        refusals = [
            (("add", "ann", "--role", "observer"), PASSWORD, 1, "exists already"),
            (("add", "bob", "--role", "observer"), "short", 2, "8 to 1024"),
            (("add", "bob smith", "--role", "observer"), PASSWORD, 2, "user name"),
            (("remove", "nobody"), None, 1, "no user nobody"),
            (("add", "bob", "--role", "root"), PASSWORD, 2, "--role needs"),
        ]
        for arguments, password, code, text in refusals:
            before = users.read_bytes()
            done = sila_user(data, *arguments, password=password)
            self.assertEqual(done.returncode, code, (arguments, done.stderr))
            self.assertIn(text, done.stderr)
            self.assertEqual(users.read_bytes(), before)
        before = users.read_text()
        self.assertEqual(sila_user(data, "password", "ann", password="another-pass").returncode, 0)
        self.assertNotEqual(users.read_text(), before)
        self.assertEqual(sila_user(data, "list").stdout, "ann supervisor\n")
        self.assertEqual(sila_user(data, "remove", "ann").returncode, 0)
        self.assertIn("No users", sila_user(data, "list").stdout)
        kinds = [line.split("\t")[3] for line in audit_lines(data)]
        self.assertEqual(kinds, ["remote user added", "remote password changed",
                                 "remote user removed"])


class StartTest(unittest.TestCase):
    def fresh(self, name):
        data = pathlib.Path(work.name, name)
        data.mkdir()
        h.write_port_file(data)
        return data

    def test_another_address_without_users_is_refused_with_how_to_add_one(self):
        data = self.fresh("open-address")
        code, out, err = start_refused(data, simulator.pty, "--sila-address", "0.0.0.0")
        self.assertEqual(code, 1, err)
        self.assertNotIn("SiLA 2 server on", out)
        self.assertIn("--sila-user add NAME --role operator", err)
        self.assertIn("--sila-open", err)

    def test_a_bad_users_file_stops_the_server_names_the_file_and_leaves_it_alone(self):
        good = "user ann operator scrypt 1024 8 1 AQEBAQEBAQEBAQEBAQEBAQ== " \
               "/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v4=\n"
        cases = [
            ("damaged", "format 1\nuser ann\n", 0o600, "damaged"),
            ("readable", "format 1\n" + good, 0o644, "others may read it"),
            ("role", "format 1\n" + good.replace("operator", "admin"), 0o600, "unknown role"),
        ]
        for name, text, mode, reason in cases:
            with self.subTest(name):
                data = self.fresh("bad-" + name)
                users = data / USERS_FILE
                users.write_text(text)
                users.chmod(mode)
                code, out, err = start_refused(data, simulator.pty)
                self.assertEqual(code, 1, err)
                self.assertIn(str(users), err)
                self.assertIn(reason, err)
                self.assertEqual(users.read_text(), text)
                self.assertEqual(stat.S_IMODE(users.stat().st_mode), mode)


def make_authority(directory, name):
    """A certificate authority and a client certificate it signed, with openssl."""
    d = pathlib.Path(directory)

    def run(*arguments):
        subprocess.run(["openssl", *arguments], check=True, capture_output=True, timeout=60)

    run("req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
        "-keyout", str(d / f"{name}-ca.key"), "-out", str(d / f"{name}-ca.pem"), "-days", "2",
        "-subj", f"/CN={name} laboratory CA")
    run("req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
        "-keyout", str(d / f"{name}-client.key"), "-out", str(d / f"{name}-client.csr"),
        "-subj", f"/CN={name} scheduler")
    run("x509", "-req", "-in", str(d / f"{name}-client.csr"), "-CA", str(d / f"{name}-ca.pem"),
        "-CAkey", str(d / f"{name}-ca.key"), "-CAcreateserial", "-days", "2",
        "-out", str(d / f"{name}-client.pem"))
    return (d / f"{name}-ca.pem", (d / f"{name}-client.key").read_bytes(),
            (d / f"{name}-client.pem").read_bytes())


class ClientCertificateTest(unittest.TestCase):
    def test_only_a_client_certificate_of_the_given_authority_is_served(self):
        data = pathlib.Path(work.name, "mutual")
        data.mkdir()
        h.write_port_file(data)
        authority, key, certificate = make_authority(data, "right")
        _, wrong_key, wrong_certificate = make_authority(data, "wrong")
        program = h.Program(str(data), simulator.pty, ["--sila-client-ca", str(authority)])
        try:
            server = (data / "sila-server.pem").read_bytes()

            def server_uuid(key=None, chain=None):
                credentials = grpc.ssl_channel_credentials(
                    root_certificates=server, private_key=key, certificate_chain=chain)
                with grpc.secure_channel(f"127.0.0.1:{program.port}", credentials) as channel:
                    return ss_grpc.SiLAServiceStub(channel).Get_ServerUUID(
                        ss.Get_ServerUUID_Parameters(), timeout=10).ServerUUID.value

            self.assertRegex(server_uuid(key, certificate), r"^[0-9a-f-]{36}$")
            for refused_key, refused_chain in ((wrong_key, wrong_certificate), (None, None)):
                with self.assertRaises(grpc.RpcError) as caught:
                    server_uuid(refused_key, refused_chain)
                self.assertEqual(caught.exception.code(), grpc.StatusCode.UNAVAILABLE)
        finally:
            program.stop()


if __name__ == "__main__":
    unittest.main()
