"""Checks Feature Definitions against the program's schema of the Feature Definition Language,
with xmllint (Debian's libxml2-utils)."""

import os
import pathlib
import subprocess
import tempfile

SILA_DIR = pathlib.Path(os.environ["KQVDR_SILA_DIR"])
SCHEMA = SILA_DIR / "schema" / "FeatureDefinition.xsd"


def schema_errors(xml_text):
    """What xmllint says is wrong with the text, or "" when it is a valid Feature Definition."""
    with tempfile.TemporaryDirectory() as directory:
        path = pathlib.Path(directory, "Feature.sila.xml")
        path.write_text(xml_text, encoding="utf-8")
        result = subprocess.run(["xmllint", "--noout", "--schema", str(SCHEMA), str(path)],
                                capture_output=True, text=True, check=False)
    if result.returncode == 0:
        return ""
    return result.stderr or f"xmllint exited with {result.returncode}"
