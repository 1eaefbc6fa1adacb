"""The standard's mapping of Feature Definitions to protocol buffers, written out for the
conformance test so that it sees the server only as a client built from the served definitions
does: none of the program's own .proto files are used."""

import importlib
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

from grpc_tools import protoc

NS = "{http://www.sila-standard.org}"
FW = "sila2.org.silastandard"

# The framework messages every mapped feature imports, as the standard defines them.
FRAMEWORK_PROTO = """syntax = "proto3";
package sila2.org.silastandard;
message String { string value = 1; }
message Integer { int64 value = 1; }
message Real { double value = 1; }
message Boolean { bool value = 1; }
message Binary { oneof union { bytes value = 1; string binaryTransferUUID = 2; } }
message Timezone { int32 hours = 1; uint32 minutes = 2; }
message Date { uint32 day = 1; uint32 month = 2; uint32 year = 3; Timezone timezone = 4; }
message Time { uint32 second = 1; uint32 minute = 2; uint32 hour = 3; Timezone timezone = 4;
               uint32 millisecond = 5; }
message Timestamp { uint32 second = 1; uint32 minute = 2; uint32 hour = 3; uint32 day = 4;
                    uint32 month = 5; uint32 year = 6; Timezone timezone = 7;
                    uint32 millisecond = 8; }
message Any { string type = 1; bytes payload = 2; }
message Duration { int64 seconds = 1; int32 nanos = 2; }
message CommandExecutionUUID { string value = 1; }
message CommandConfirmation { CommandExecutionUUID commandExecutionUUID = 1;
                              Duration lifetimeOfExecution = 2; }
message ExecutionInfo {
  enum CommandStatus { waiting = 0; running = 1; finishedSuccessfully = 2; finishedWithError = 3; }
  CommandStatus commandStatus = 1;
  Real progressInfo = 2;
  Duration estimatedRemainingTime = 3;
  Duration updatedLifetimeOfExecution = 4;
}
message SiLAError {
  oneof error {
    ValidationError validationError = 1;
    DefinedExecutionError definedExecutionError = 2;
    UndefinedExecutionError undefinedExecutionError = 3;
    FrameworkError frameworkError = 4;
  }
}
message ValidationError { string parameter = 1; string message = 2; }
message DefinedExecutionError { string errorIdentifier = 1; string message = 2; }
message UndefinedExecutionError { string message = 1; }
message FrameworkError {
  enum ErrorType { COMMAND_EXECUTION_NOT_ACCEPTED = 0; INVALID_COMMAND_EXECUTION_UUID = 1;
                   COMMAND_EXECUTION_NOT_FINISHED = 2; INVALID_METADATA = 3;
                   NO_METADATA_ALLOWED = 4; }
  ErrorType errorType = 1;
  string message = 2;
}
"""


def text(element, name):
    return element.findtext(NS + name).strip()


def members(element, tag):
    """(identifier, DataType element) of every `tag` child: parameters, responses, elements."""
    return [(text(m, "Identifier"), m.find(NS + "DataType")) for m in element.findall(NS + tag)]


class Command:
    def __init__(self, feature, element):
        self.feature = feature
        self.id = text(element, "Identifier")
        self.fqi = f"{feature.fqi}/Command/{self.id}"
        self.observable = text(element, "Observable") == "Yes"
        self.parameters = members(element, "Parameter")
        self.responses = members(element, "Response")
        self.intermediates = members(element, "IntermediateResponse")
        errors = element.find(NS + "DefinedExecutionErrors")
        self.errors = [] if errors is None else [e.text.strip() for e in errors]

    def parameter_fqi(self, name):
        return f"{self.fqi}/Parameter/{name}"


class Property:
    def __init__(self, feature, element):
        self.id = text(element, "Identifier")
        self.fqi = f"{feature.fqi}/Property/{self.id}"
        self.observable = text(element, "Observable") == "Yes"
        self.data_type = element.find(NS + "DataType")
        errors = element.find(NS + "DefinedExecutionErrors")
        self.errors = [] if errors is None else [e.text.strip() for e in errors]


class Feature:
    def __init__(self, xml):
        self.xml = xml
        root = ET.fromstring(xml)
        self.id = text(root, "Identifier")
        self.originator = root.get("Originator")
        self.category = root.get("Category", "none")
        self.major = root.get("FeatureVersion").split(".")[0]
        self.fqi = f"{self.originator}/{self.category}/{self.id}/v{self.major}"
        self.package = f"sila2.{self.originator}.{self.category}.{self.id.lower()}.v{self.major}"
        self.commands = [Command(self, c) for c in root.findall(NS + "Command")]
        self.properties = [Property(self, p) for p in root.findall(NS + "Property")]
        self.metadata = members(root, "Metadata")
        self.data_types = members(root, "DataTypeDefinition")
        self.pb2 = self.grpc = None

    def proto(self):
        messages, rpcs = [], []
        for command in self.commands:
            messages.append(message(f"{command.id}_Parameters", command.parameters))
            messages.append(message(f"{command.id}_Responses", command.responses))
            if command.observable:
                rpcs.append(f"rpc {command.id} ({command.id}_Parameters) returns "
                            f"({FW}.CommandConfirmation) {{}}")
                rpcs.append(f"rpc {command.id}_Info ({FW}.CommandExecutionUUID) returns "
                            f"(stream {FW}.ExecutionInfo) {{}}")
                if command.intermediates:
                    messages.append(message(f"{command.id}_IntermediateResponses",
                                            command.intermediates))
                    rpcs.append(f"rpc {command.id}_Intermediate ({FW}.CommandExecutionUUID) "
                                f"returns (stream {command.id}_IntermediateResponses) {{}}")
                rpcs.append(f"rpc {command.id}_Result ({FW}.CommandExecutionUUID) returns "
                            f"({command.id}_Responses) {{}}")
            else:
                rpcs.append(f"rpc {command.id} ({command.id}_Parameters) returns "
                            f"({command.id}_Responses) {{}}")
        for prop in self.properties:
            verb = "Subscribe" if prop.observable else "Get"
            stream = "stream " if prop.observable else ""
            messages.append(message(f"{verb}_{prop.id}_Parameters", []))
            messages.append(message(f"{verb}_{prop.id}_Responses", [(prop.id, prop.data_type)]))
            rpcs.append(f"rpc {verb}_{prop.id} ({verb}_{prop.id}_Parameters) returns "
                        f"({stream}{verb}_{prop.id}_Responses) {{}}")
        for name, data_type in self.metadata:
            messages.append(message(f"Metadata_{name}", [(name, data_type)]))
            messages.append(message(f"Get_FCPAffectedByMetadata_{name}_Parameters", []))
            messages.append(f"message Get_FCPAffectedByMetadata_{name}_Responses {{\n"
                            f"  repeated {FW}.String AffectedCalls = 1;\n}}\n")
            rpcs.append(f"rpc Get_FCPAffectedByMetadata_{name} "
                        f"(Get_FCPAffectedByMetadata_{name}_Parameters) returns "
                        f"(Get_FCPAffectedByMetadata_{name}_Responses) {{}}")
        for name, data_type in self.data_types:
            messages.append(message(f"DataType_{name}", [(name, data_type)]))
        return (f'syntax = "proto3";\nimport "SiLAFramework.proto";\npackage {self.package};\n'
                f"service {self.id} {{\n  " + "\n  ".join(rpcs) + "\n}\n" + "".join(messages))


def message(name, fields):
    nested, body = [], []
    for number, (identifier, data_type) in enumerate(fields, 1):
        body.append(f"  {type_of(data_type, identifier, nested)} {identifier} = {number};\n")
    return f"message {name} {{\n" + "".join(nested) + "".join(body) + "}\n"


def type_of(data_type, identifier, nested):
    kind = data_type[0]
    tag = kind.tag[len(NS):]
    if tag == "Basic":
        return f"{FW}.{kind.text.strip()}"
    if tag == "Constrained":
        return type_of(kind.find(NS + "DataType"), identifier, nested)
    if tag == "List":
        return "repeated " + type_of(kind.find(NS + "DataType"), identifier, nested)
    if tag == "Structure":
        nested.append(message(f"{identifier}_Struct", members(kind, "Element")))
        return f"{identifier}_Struct"
    if tag == "DataTypeIdentifier":
        return f"DataType_{kind.text.strip()}"
    raise ValueError(f"no mapping for a {tag} data type")


def raw_feature_definition(channel, identifier):
    """SiLAService's GetFeatureDefinition before any stub exists: its messages written out by
    hand (a String in field 1 of the parameters; the same shape back)."""
    def length_delimited(payload):
        size, head = len(payload), b""
        while True:
            head += bytes([(size & 0x7F) | (0x80 if size > 0x7F else 0)])
            size >>= 7
            if not size:
                return b"\x0a" + head + payload

    def first_field(data):
        at, size, shift = 1, 0, 0
        while True:
            size |= (data[at] & 0x7F) << shift
            shift += 7
            at += 1
            if data[at - 1] < 0x80:
                return data[at:at + size]

    call = channel.unary_unary(
        "/sila2.org.silastandard.core.silaservice.v1.SiLAService/GetFeatureDefinition")
    reply = call(length_delimited(length_delimited(identifier.encode())), timeout=30)
    return first_field(first_field(reply)).decode()


def compile_features(features, target):
    """Writes and compiles the protocol buffers of `features`; their modules are loaded."""
    target = pathlib.Path(target)
    (target / "SiLAFramework.proto").write_text(FRAMEWORK_PROTO)
    names = ["SiLAFramework.proto"]
    for feature in features:
        (target / f"{feature.id}.proto").write_text(feature.proto())
        names.append(f"{feature.id}.proto")
    include = pathlib.Path(protoc.__file__).parent / "_proto"
    if protoc.main(["protoc", f"-I{target}", f"-I{include}", f"--python_out={target}",
                    f"--grpc_python_out={target}"] + names) != 0:
        raise RuntimeError("the mapped .proto files do not compile")
    if str(target) not in sys.path:
        sys.path.insert(0, str(target))
    importlib.invalidate_caches()
    for feature in features:
        feature.pb2 = importlib.import_module(f"{feature.id}_pb2")
        feature.grpc = importlib.import_module(f"{feature.id}_pb2_grpc")
    return importlib.import_module("SiLAFramework_pb2")


# The character classes of XML Schema regular expressions that the served patterns use, as
# Python writes them (XML Schema patterns also match the whole text).
XSD_CLASSES = {
    r"\p{Cc}": "\\x00-\\x1f\\x7f-\\x9f",
    r"\p{Z}": "\\u0020\\u00a0\\u1680\\u2000-\\u200a\\u2028\\u2029\\u202f\\u205f\\u3000",
}


def pattern_matches(pattern, value):
    for xsd, python in XSD_CLASSES.items():
        pattern = pattern.replace(xsd, python)
    return re.fullmatch(pattern, value) is not None


FQI_PATTERNS = {
    "FeatureIdentifier": r"[a-z][a-z0-9.]*/[a-z][a-z0-9.]*/[A-Z][a-zA-Z0-9]*/v\d+",
}


def constraint_problems(value, data_type, where):
    """What in a received value breaks its served data type; empty when nothing does."""
    kind = data_type[0]
    tag = kind.tag[len(NS):]
    problems = []
    if tag == "Constrained":
        inner = kind.find(NS + "DataType")
        problems += constraint_problems(value, inner, where)
        problems += [f"{where}: {p}" for p in broken_constraints(value, kind)]
    elif tag == "List":
        for i, item in enumerate(value):
            problems += constraint_problems(item, kind.find(NS + "DataType"), f"{where}[{i}]")
    elif tag == "Structure":
        for identifier, element_type in members(kind, "Element"):
            if not is_list(element_type) and not value.HasField(identifier):
                problems.append(f"{where}.{identifier} is missing")
            else:
                problems += constraint_problems(getattr(value, identifier), element_type,
                                                f"{where}.{identifier}")
    return problems


def broken_constraints(value, constrained):
    broken = []
    plain = value.value if hasattr(value, "value") else value
    for constraint in constrained.find(NS + "Constraints"):
        name = constraint.tag[len(NS):]
        limit = (constraint.text or "").strip()
        if name == "Set" and plain not in [type(plain)(v.text) for v in constraint]:
            broken.append(f"{plain!r} is not in the set")
        elif name == "MinimalInclusive" and plain < float(limit):
            broken.append(f"{plain} < {limit}")
        elif name == "MaximalInclusive" and plain > float(limit):
            broken.append(f"{plain} > {limit}")
        elif name == "MinimalExclusive" and plain <= float(limit):
            broken.append(f"{plain} <= {limit}")
        elif name == "MaximalExclusive" and plain >= float(limit):
            broken.append(f"{plain} >= {limit}")
        elif name == "MaximalLength" and len(plain) > int(limit):
            broken.append(f"{len(plain)} characters > {limit}")
        elif name == "MinimalLength" and len(plain) < int(limit):
            broken.append(f"{len(plain)} characters < {limit}")
        elif name == "Length" and len(plain) != int(limit):
            broken.append(f"{len(plain)} characters != {limit}")
        elif name == "Pattern" and not pattern_matches(limit, plain):
            broken.append(f"{plain!r} does not match {limit}")
        elif name == "FullyQualifiedIdentifier" and limit in FQI_PATTERNS and \
                not re.fullmatch(FQI_PATTERNS[limit], plain):
            broken.append(f"{plain!r} is no {limit}")
        elif name == "Schema":
            try:
                ET.fromstring(plain)
            except ET.ParseError as error:
                broken.append(f"not XML: {error}")
    return broken


def constraints_of(data_type):
    kind = data_type[0]
    if kind.tag != NS + "Constrained":
        return []
    inner = constraints_of(kind.find(NS + "DataType"))
    return inner + [(c.tag[len(NS):], c) for c in kind.find(NS + "Constraints")]


def is_list(data_type):
    kind = data_type[0]
    if kind.tag == NS + "Constrained":
        return is_list(kind.find(NS + "DataType"))
    return kind.tag == NS + "List"


def element_of(data_type):
    """A List's element DataType."""
    kind = data_type[0]
    if kind.tag == NS + "Constrained":
        return element_of(kind.find(NS + "DataType"))
    return kind.find(NS + "DataType")


def resolved(feature, data_type):
    """A DataType with a DataTypeIdentifier replaced by the feature's definition of it."""
    kind = data_type[0]
    if kind.tag == NS + "DataTypeIdentifier":
        return dict(feature.data_types)[kind.text.strip()]
    return data_type


def defined_type(data_type):
    """The identifier a DataType names, or None for any other DataType."""
    kind = data_type[0]
    return kind.text.strip() if kind.tag == NS + "DataTypeIdentifier" else None


def basic_of(data_type):
    kind = data_type[0]
    if kind.tag == NS + "Constrained":
        return basic_of(kind.find(NS + "DataType"))
    return kind.text.strip() if kind.tag == NS + "Basic" else None


# Texts tried against a Pattern constraint for one that breaks it.
PATTERN_BREAKERS = ["", " ", "   ", "a\x00b", "\x1b[2Jx", "a\u202eb", "x" * 8, "003-04", "M03-1234"]


def values_outside(data_type):
    """Values of a parameter's basic type that break one of its served constraints."""
    basic = basic_of(data_type)
    outside = []
    for name, constraint in constraints_of(data_type):
        limit = (constraint.text or "").strip()
        number = int if basic == "Integer" else float
        if name in ("MinimalInclusive", "MinimalExclusive"):
            outside.append(number(limit) - 1 if name == "MinimalInclusive" else number(limit))
        elif name in ("MaximalInclusive", "MaximalExclusive"):
            outside.append(number(limit) + 1 if name == "MaximalInclusive" else number(limit))
        elif name == "Set":
            outside.append("NOT IN THE SET")
        elif name == "MaximalLength":
            outside.append("x" * (int(limit) + 1))
        elif name == "Pattern":
            outside += [t for t in PATTERN_BREAKERS if not pattern_matches(limit, t)]
        elif name == "FullyQualifiedIdentifier":
            outside += ["no identifier", "a/b/c", "org.silastandard/core/SiLAService/1"]
    return outside
