"""The program's Feature Definitions are valid against its schema of the Feature Definition
Language, and the schema refuses definitions that break the language."""

import unittest

from fdl_schema import SILA_DIR, schema_errors

# Every kind of member once, so that each rejection below is a change to something valid.
VALID = """<?xml version="1.0" encoding="utf-8"?>
<Feature SiLA2Version="1.0" FeatureVersion="1.0" MaturityLevel="Draft" Originator="com.example"
         Category="examples" Locale="en-us" xmlns="http://www.sila-standard.org">
  <Identifier>GreetingProvider</Identifier>
  <DisplayName>Greeting Provider</DisplayName>
  <Description>Greets.</Description>
  <Command>
    <Identifier>SayHello</Identifier>
    <DisplayName>Say Hello</DisplayName>
    <Description>Says hello.</Description>
    <Observable>No</Observable>
    <Parameter>
      <Identifier>Name</Identifier>
      <DisplayName>Name</DisplayName>
      <Description>Whom to greet.</Description>
      <DataType>
        <Constrained>
          <DataType><Basic>String</Basic></DataType>
          <Constraints>
            <MaximalLength>255</MaximalLength>
            <Set><Value>World</Value></Set>
          </Constraints>
        </Constrained>
      </DataType>
    </Parameter>
    <Parameter>
      <Identifier>Names</Identifier>
      <DisplayName>Names</DisplayName>
      <Description>More to greet.</Description>
      <DataType><List><DataType><Basic>String</Basic></DataType></List></DataType>
    </Parameter>
    <Response>
      <Identifier>Greeting</Identifier>
      <DisplayName>Greeting</DisplayName>
      <Description>The greeting.</Description>
      <DataType><DataTypeIdentifier>Greeting</DataTypeIdentifier></DataType>
    </Response>
    <DefinedExecutionErrors><Identifier>Shy</Identifier></DefinedExecutionErrors>
  </Command>
  <Property>
    <Identifier>Temperature</Identifier>
    <DisplayName>Temperature</DisplayName>
    <Description>The temperature.</Description>
    <Observable>Yes</Observable>
    <DataType>
      <Constrained>
        <DataType><Basic>Real</Basic></DataType>
        <Constraints>
          <Unit>
            <Label>degC</Label><Factor>1</Factor><Offset>273.15</Offset>
            <UnitComponent><SIUnit>Kelvin</SIUnit><Exponent>1</Exponent></UnitComponent>
          </Unit>
        </Constraints>
      </Constrained>
    </DataType>
  </Property>
  <Metadata>
    <Identifier>Token</Identifier>
    <DisplayName>Token</DisplayName>
    <Description>A token.</Description>
    <DataType>
      <Constrained>
        <DataType><Basic>String</Basic></DataType>
        <Constraints>
          <FullyQualifiedIdentifier>FeatureIdentifier</FullyQualifiedIdentifier>
          <Schema><Type>Xml</Type><Url>https://example.com/a.xsd</Url></Schema>
        </Constraints>
      </Constrained>
    </DataType>
  </Metadata>
  <DefinedExecutionError>
    <Identifier>Shy</Identifier>
    <DisplayName>Shy</DisplayName>
    <Description>Too shy to greet.</Description>
  </DefinedExecutionError>
  <DataTypeDefinition>
    <Identifier>Greeting</Identifier>
    <DisplayName>Greeting</DisplayName>
    <Description>Words and when.</Description>
    <DataType>
      <Structure>
        <Element>
          <Identifier>Words</Identifier>
          <DisplayName>Words</DisplayName>
          <Description>What is said.</Description>
          <DataType><Basic>String</Basic></DataType>
        </Element>
      </Structure>
    </DataType>
  </DataTypeDefinition>
</Feature>
"""

OBSERVABLE = "<Observable>No</Observable>"
NAME_TYPE = "<DataType><Basic>String</Basic></DataType>\n          <Constraints>"
LIST_ENTRY = "<List><DataType><Basic>String</Basic></DataType></List>"
UNIT_COMPONENT = "<UnitComponent><SIUnit>Kelvin</SIUnit><Exponent>1</Exponent></UnitComponent>"

# (what is wrong, text replaced, its replacement, what xmllint must say about it)
BROKEN = [
    ("no feature version", ' FeatureVersion="1.0"', "",
     "attribute 'FeatureVersion' is required"),
    ("no maturity level", ' MaturityLevel="Draft"', "",
     "attribute 'MaturityLevel' is required"),
    ("a version without minor", 'SiLA2Version="1.0"', 'SiLA2Version="1"', "'1' is not accepted"),
    ("an unknown maturity level", '"Draft"', '"Beta"', "'Beta' is not an element of the set"),
    ("an upper-case originator", '"com.example"', '"com.Example"', "'com.Example' is not accepted"),
    ("a category with a hyphen", '"examples"', '"lab-examples"', "'lab-examples' is not accepted"),
    ("a locale other than American English", '"en-us"', '"de-de"', "'de-de' is not accepted"),
    ("no namespace", ' xmlns="http://www.sila-standard.org"', "",
     "No matching global declaration"),
    ("an identifier starting lower-case", "<Identifier>GreetingProvider<",
     "<Identifier>greetingProvider<", "'greetingProvider' is not accepted"),
    ("an identifier with a space", "<Identifier>SayHello<", "<Identifier>Say Hello<",
     "'Say Hello' is not accepted"),
    ("an identifier of 256 characters", "<Identifier>SayHello<",
     "<Identifier>S" + "a" * 255 + "<", "exceeds the allowed maximum length of '255'"),
    ("an empty display name", "<DisplayName>Say Hello</DisplayName>", "<DisplayName></DisplayName>",
     "underruns the allowed minimum length of '1'"),
    ("the display name before the identifier",
     "<Identifier>SayHello</Identifier>\n    <DisplayName>Say Hello</DisplayName>",
     "<DisplayName>Say Hello</DisplayName>\n    <Identifier>SayHello</Identifier>",
     "Expected is ( {http://www.sila-standard.org}Identifier )"),
    ("a command without observable", OBSERVABLE, "",
     "Expected is ( {http://www.sila-standard.org}Observable )"),
    ("observable neither yes nor no", OBSERVABLE, "<Observable>Maybe</Observable>",
     "'Maybe' is not an element of the set"),
    ("observable in lower case", OBSERVABLE, "<Observable>no</Observable>",
     "'no' is not an element of the set"),
    ("a response before the parameters", OBSERVABLE,
     OBSERVABLE + "<Response><Identifier>Early</Identifier><DisplayName>Early</DisplayName>"
     "<Description>Early.</Description><DataType><Basic>Real</Basic></DataType></Response>",
     "Parameter': This element is not expected"),
    ("an unknown basic type", "<Basic>Real</Basic>", "<Basic>Float</Basic>",
     "'Float' is not an element of the set"),
    ("void declared as a type", "<Basic>Real</Basic>", "<Basic>Void</Basic>",
     "'Void' is not an element of the set"),
    ("a list of lists", LIST_ENTRY,
     "<List><DataType>" + LIST_ENTRY + "</DataType></List>", "List': This element is not expected"),
    ("a constraint that does not exist", "<MaximalLength>255</MaximalLength>",
     "<MaxLength>255</MaxLength>", "MaxLength': This element is not expected"),
    ("a constraint given twice", "<MaximalLength>255</MaximalLength>",
     "<MaximalLength>255</MaximalLength><MaximalLength>9</MaximalLength>",
     "MaximalLength': This element is not expected"),
    ("a maximal length of zero", "<MaximalLength>255</MaximalLength>",
     "<MaximalLength>0</MaximalLength>", "'0' is not a valid value"),
    ("an empty set", "<Set><Value>World</Value></Set>", "<Set/>", "Missing child element(s)"),
    ("constraints without a type", NAME_TYPE, "<Constraints>",
     "Constraints': This element is not expected"),
    ("a unit that is not an SI unit", UNIT_COMPONENT,
     UNIT_COMPONENT.replace("Kelvin", "Celsius"), "'Celsius' is not an element of the set"),
    ("a unit without conversion", "<Factor>1</Factor><Offset>273.15</Offset>", "",
     "Expected is ( {http://www.sila-standard.org}Factor )"),
    ("a unit of nine SI units", UNIT_COMPONENT, UNIT_COMPONENT * 9,
     "UnitComponent': This element is not expected"),
    ("an unknown kind of fully qualified identifier", ">FeatureIdentifier<", ">ServerIdentifier<",
     "'ServerIdentifier' is not an element of the set"),
    ("a schema of an unknown type", "<Type>Xml</Type>", "<Type>Yaml</Type>",
     "'Yaml' is not an element of the set"),
    ("an error that is not defined", "<DefinedExecutionErrors><Identifier>Shy<",
     "<DefinedExecutionErrors><Identifier>Rude<", "No match found for key-sequence ['Rude']"),
    ("a custom data type that is not defined", "<DataTypeIdentifier>Greeting<",
     "<DataTypeIdentifier>Salute<", "No match found for key-sequence ['Salute']"),
    ("two commands of one identifier", "  <Property>",
     "  <Command><Identifier>SayHello</Identifier><DisplayName>Again</DisplayName>"
     "<Description>Again.</Description><Observable>No</Observable></Command>\n  <Property>",
     "Duplicate key-sequence ['SayHello']"),
    ("two parameters of one identifier", "<Identifier>Names<", "<Identifier>Name<",
     "Duplicate key-sequence ['Name']"),
]


class FeatureDefinitionSchema(unittest.TestCase):
    def test_every_feature_definition_of_the_program_is_valid(self):
        definitions = sorted(SILA_DIR.glob("*.sila.xml"))
        self.assertTrue(definitions, f"no Feature Definitions in {SILA_DIR}")
        for path in definitions:
            with self.subTest(definition=path.name):
                self.assertEqual(schema_errors(path.read_text(encoding="utf-8")), "")

    def test_a_feature_with_every_kind_of_member_is_valid(self):
        self.assertEqual(schema_errors(VALID), "")

    def test_definitions_that_break_the_language_are_refused_for_what_breaks_it(self):
        for name, old, new, complaint in BROKEN:
            with self.subTest(name):
                self.assertIn(old, VALID, "the case must change the valid feature")
                errors = schema_errors(VALID.replace(old, new, 1))
                self.assertIn(complaint, errors)


if __name__ == "__main__":
    unittest.main()
