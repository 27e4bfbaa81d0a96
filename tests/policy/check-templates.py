#!/usr/bin/env python3
"""Checks the Group Policy templates as the Group Policy editor would read them:
well-formed XML in the policy definitions namespace, every string and
presentation the ADMX refers to present in the ADML, every presentation bound
to an element of its policy, every reference to a category or a supportedOn
definition resolved, and every policy writing under the key and with the value
names that the program reads (src/core/support/PolicyRules.h).

    check-templates.py <folder with Mappa.admx and en-US/Mappa.adml> <PolicyRules.h>
"""
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

NS = "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"
KEY = "Software\\Policies\\Kestrelon\\Mappa"
REFERENCE = re.compile(r"\$\((string|presentation)\.([^)]*)\)")

problems = []


def problem(text):
    problems.append(text)


def tag(name):
    return "{%s}%s" % (NS, name)


def parse(path):
    try:
        return ET.parse(path).getroot()
    except (OSError, ET.ParseError) as error:
        problem("%s: %s" % (path, error))
        return None


def program_names(header):
    """The key and value names the program reads, from its C++ constants."""
    text = Path(header).read_text(encoding="utf-8")
    constants = dict(re.findall(r'constexpr const char\* (k\w+) = "((?:[^"\\]|\\.)*)"', text))
    return {name: value.replace("\\\\", "\\") for name, value in constants.items()}


def main(folder, header):
    folder = Path(folder)
    admx = parse(folder / "Mappa.admx")
    adml = parse(folder / "en-US" / "Mappa.adml")
    if admx is None or adml is None:
        return
    if admx.tag != tag("policyDefinitions"):
        problem("Mappa.admx: the root is %s, not policyDefinitions in %s" % (admx.tag, NS))
    if adml.tag != tag("policyDefinitionResources"):
        problem("Mappa.adml: the root is %s, not policyDefinitionResources in %s" % (adml.tag, NS))
    for root, name in ((admx, "Mappa.admx"), (adml, "Mappa.adml")):
        for attribute in ("revision", "schemaVersion"):
            if not re.fullmatch(r"\d+\.\d+", root.get(attribute, "")):
                problem("%s: %s must be major.minor" % (name, attribute))

    # The namespace and the revision the ADMX asks of its resources.
    targets = admx.findall("%s/%s" % (tag("policyNamespaces"), tag("target")))
    if len(targets) != 1 or not targets[0].get("prefix") or not targets[0].get("namespace", "").startswith("Kestrelon."):
        problem("Mappa.admx: one target namespace Kestrelon.* with a prefix, found %d" % len(targets))
    resources = admx.find(tag("resources"))
    required = resources.get("minRequiredRevision") if resources is not None else None
    if required is None:
        problem("Mappa.admx: no resources minRequiredRevision")
    elif tuple(map(int, required.split("."))) > tuple(map(int, adml.get("revision", "0.0").split("."))):
        problem("Mappa.adml: revision %s is older than the %s that Mappa.admx requires" % (adml.get("revision"), required))

    strings = {s.get("id"): (s.text or "") for s in adml.iter(tag("string"))}
    presentations = {p.get("id"): p for p in adml.iter(tag("presentation"))}
    for kind, table in (("string", [s.get("id") for s in adml.iter(tag("string"))]),
                        ("presentation", [p.get("id") for p in adml.iter(tag("presentation"))])):
        duplicates = sorted({i for i in table if table.count(i) > 1})
        if duplicates:
            problem("Mappa.adml: %s ids given twice: %s" % (kind, ", ".join(duplicates)))

    used = set()
    for element in admx.iter():
        for attribute, value in element.attrib.items():
            for kind, name in REFERENCE.findall(value):
                used.add((kind, name))
                if name not in (strings if kind == "string" else presentations):
                    problem("Mappa.admx: %s refers to $(%s.%s), which Mappa.adml lacks" % (attribute, kind, name))
                elif kind == "string" and not strings[name].strip():
                    problem("Mappa.adml: string %s is empty" % name)
    for name in strings:
        if ("string", name) not in used:
            problem("Mappa.adml: string %s is not used by Mappa.admx" % name)

    categories = {c.get("name") for c in admx.iter(tag("category"))}
    supported = {d.get("name") for d in admx.iter(tag("definition"))}
    for parent in admx.iter(tag("parentCategory")):
        if parent.get("ref") not in categories:
            problem("Mappa.admx: parentCategory %s is not defined" % parent.get("ref"))

    names = program_names(header)
    if names.get("kPolicyKey") != KEY:
        problem("PolicyRules.h: the program reads %s, the templates write %s" % (names.get("kPolicyKey"), KEY))
    read_values = {value for name, value in names.items() if name.endswith("Policy")}
    written_values = set()

    policies = list(admx.iter(tag("policy")))
    if not policies:
        problem("Mappa.admx: no policies")
    for policy in policies:
        name = policy.get("name")
        where = "Mappa.admx: policy %s" % name
        if policy.get("class") not in ("Machine", "User", "Both"):
            problem("%s: class %s" % (where, policy.get("class")))
        if policy.get("key") != KEY:
            problem("%s: key %s, not %s" % (where, policy.get("key"), KEY))
        for child in ("parentCategory", "supportedOn"):
            if policy.find(tag(child)) is None:
                problem("%s: no %s" % (where, child))
        support = policy.find(tag("supportedOn"))
        if support is not None and support.get("ref") not in supported:
            problem("%s: supportedOn %s is not defined" % (where, support.get("ref")))

        elements = policy.find(tag("elements"))
        element_ids = {e.get("id"): e for e in (elements if elements is not None else [])}
        value_names = [policy.get("valueName")] if policy.get("valueName") else []
        for element_id, element in element_ids.items():
            if element.get("key", KEY) != KEY:
                problem("%s: element %s writes under %s" % (where, element_id, element.get("key")))
            if not element.get("valueName"):
                problem("%s: element %s has no valueName" % (where, element_id))
            value_names.append(element.get("valueName"))
        if not value_names:
            problem("%s: no valueName" % where)
        written_values.update(v for v in value_names if v)
        if policy.get("valueName") and (policy.find(tag("enabledValue")) is None) != (policy.find(tag("disabledValue")) is None):
            problem("%s: an enabledValue needs its disabledValue" % where)
        for state in ("enabledValue", "disabledValue"):
            number = policy.find("%s/%s" % (tag(state), tag("decimal")))
            if number is not None and number.get("value") not in ("0", "1"):
                problem("%s: %s %s is not the 0 or 1 the program accepts" % (where, state, number.get("value")))

        # Every box of the presentation stands for an element of this policy, and back.
        reference = REFERENCE.fullmatch(policy.get("presentation", ""))
        boxes = set()
        if reference:
            shown = presentations.get(reference.group(2))
            boxes = {box.get("refId") for box in (shown if shown is not None else [])}
        for missing in sorted(set(element_ids) - boxes):
            problem("%s: element %s has no box in its presentation" % (where, missing))
        for stray in sorted(boxes - set(element_ids)):
            problem("%s: the presentation's box %s names no element of the policy" % (where, stray))

    for missing in sorted(read_values - written_values):
        problem("Mappa.admx: no policy writes %s, which the program reads" % missing)
    for stray in sorted(written_values - read_values):
        problem("Mappa.admx: a policy writes %s, which the program does not read" % stray)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
    for text in problems:
        print(text)
    print("policy templates: %d problems" % len(problems))
    sys.exit(1 if problems else 0)
