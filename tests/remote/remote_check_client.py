"""A SiLA 2 client built only from what a server serves, for checking an installed program.

    remote_check_client.py HOST:PORT CERTIFICATE USER PASSWORD [--subscribers N --idle SECONDS]

It reads the served feature definitions, maps them to protocol buffers, logs in, subscribes to
the detector's Mode, sets STANDBY and then RUN, and waits each time until the Mode says so. With --subscribers it then
holds N more logged-in clients subscribed to Mode for SECONDS, printing "subscribers ready"
when they all have their first value, so that the caller can measure the server at rest.
Each step prints one line; the exit code is 0 only when every step held."""

import argparse
import pathlib
import sys
import tempfile
import threading
import time

import grpc

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import sila_mapping as m  # noqa: E402

SILA_SERVICE = "org.silastandard/core/SiLAService/v1"
AUTHENTICATION = "org.silastandard/core/AuthenticationService/v1"
AUTHORIZATION = "org.silastandard/core/AuthorizationService/v1"
DETECTOR = "com.brackwater/detector/DetectorController/v1"
TOKEN_HEADER = "sila-org.silastandard-core-authorizationservice-v1-metadata-accesstoken-bin"


class Client:
    def __init__(self, address, certificate, stubs):
        credentials = grpc.ssl_channel_credentials(root_certificates=certificate)
        self.channel = grpc.secure_channel(address, credentials)
        grpc.channel_ready_future(self.channel).result(timeout=60)
        self.stubs = stubs
        self.features = {}
        self.token = None

    def learn_features(self):
        service = m.Feature(m.raw_feature_definition(self.channel, SILA_SERVICE))
        self.fw = m.compile_features([service], self.stubs)
        stub = service.grpc.SiLAServiceStub(self.channel)
        self.server_uuid = stub.Get_ServerUUID(service.pb2.Get_ServerUUID_Parameters(),
                                               timeout=30).ServerUUID.value
        implemented = stub.Get_ImplementedFeatures(
            service.pb2.Get_ImplementedFeatures_Parameters(), timeout=30).ImplementedFeatures
        for identifier in (f.value for f in implemented):
            xml = stub.GetFeatureDefinition(service.pb2.GetFeatureDefinition_Parameters(
                FeatureIdentifier=self.fw.String(value=identifier)),
                timeout=30).FeatureDefinition.value
            self.features[identifier] = m.Feature(xml)
        m.compile_features(list(self.features.values()), self.stubs)
        return sorted(self.features)

    def share_features(self, other):
        self.fw, self.server_uuid, self.features = other.fw, other.server_uuid, other.features

    def stub(self, identifier):
        feature = self.features[identifier]
        return feature, getattr(feature.grpc, f"{feature.id}Stub")(self.channel)

    def log_in(self, user, password):
        authentication, stub = self.stub(AUTHENTICATION)
        authorization = self.features[AUTHORIZATION]
        login = stub.Login(authentication.pb2.Login_Parameters(
            UserIdentification=self.fw.String(value=user),
            Password=self.fw.String(value=password),
            RequestedServer=self.fw.String(value=self.server_uuid)), timeout=60)
        self.token = authorization.pb2.Metadata_AccessToken(
            AccessToken=login.AccessToken).SerializeToString()

    def metadata(self):
        return [(TOKEN_HEADER, self.token)]

    def subscribe_mode(self):
        detector, stub = self.stub(DETECTOR)
        return stub.Subscribe_Mode(detector.pb2.Subscribe_Mode_Parameters(),
                                   metadata=self.metadata())

    def set_mode(self, mode):
        detector, stub = self.stub(DETECTOR)
        stub.SetMode(detector.pb2.SetMode_Parameters(Mode=self.fw.String(value=mode)),
                     metadata=self.metadata(), timeout=30)


def await_mode(subscription, wanted, limit):
    """The first Mode value equal to `wanted` within `limit` seconds; None when it never came."""
    found = []

    def read():
        for value in subscription:
            if value.Mode.value == wanted:
                found.append(value.Mode.value)
                return

    reader = threading.Thread(target=read, daemon=True)
    reader.start()
    reader.join(limit)
    return found[0] if found else None


def hold_subscribers(address, certificate, first, user, password, count, seconds):
    clients, firsts = [], threading.Semaphore(0)

    def drain(subscription):
        try:
            for index, _ in enumerate(subscription):
                if index == 0:
                    firsts.release()
        except grpc.RpcError:
            pass

    subscriptions = []
    for _ in range(count):
        client = Client(address, certificate, first.stubs)
        client.share_features(first)
        client.log_in(user, password)
        subscription = client.subscribe_mode()
        threading.Thread(target=drain, args=(subscription,), daemon=True).start()
        clients.append(client)
        subscriptions.append(subscription)
    for _ in range(count):
        if not firsts.acquire(timeout=60):
            print("FAIL not every subscriber got its first Mode value", flush=True)
            return False
    print(f"subscribers ready: {count}", flush=True)
    time.sleep(seconds)
    for subscription in subscriptions:
        subscription.cancel()
    for client in clients:
        client.channel.close()
    print(f"subscribers done after {seconds} s", flush=True)
    return True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("address")
    parser.add_argument("certificate")
    parser.add_argument("user")
    parser.add_argument("password")
    parser.add_argument("--subscribers", type=int, default=0)
    parser.add_argument("--idle", type=float, default=30.0)
    arguments = parser.parse_args()
    certificate = pathlib.Path(arguments.certificate).read_bytes()
    with tempfile.TemporaryDirectory(prefix="kqvdr-remote-check-") as stubs:
        client = Client(arguments.address, certificate, stubs)
        print("features: " + " ".join(client.learn_features()), flush=True)
        client.log_in(arguments.user, arguments.password)
        print(f"logged in as {arguments.user}", flush=True)
        # STANDBY first, so that RUN is a switch the instrument makes, whatever it was in.
        for mode in ("STANDBY", "RUN"):
            modes = client.subscribe_mode()
            client.set_mode(mode)
            started = time.monotonic()
            if await_mode(modes, mode, 30) is None:
                print(f"FAIL the Mode never said {mode} within 30 s", flush=True)
                return 1
            print(f"mode {mode} after {time.monotonic() - started:.1f} s", flush=True)
            modes.cancel()
        if arguments.subscribers and not hold_subscribers(
                arguments.address, certificate, client, arguments.user, arguments.password,
                arguments.subscribers, arguments.idle):
            return 1
        client.channel.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
