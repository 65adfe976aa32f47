#!/usr/bin/env python3
"""Compares our WebView2 declarations with the recorded facts of the runtime's binary interface.

A wrong IID, base interface, method order or parameter type in the header compiles and links
fine and only crashes (or silently calls the wrong function) on real Windows, so this check is
the guard. It reads the header strictly: every top-level statement and every statement inside an
interface or enum must have one of the few forms the header uses, so a method cannot hide behind
a macro or a line the check does not understand.

Usage: check_webview2_declarations.py FACTS.md HEADER.h   (exit status 1 on any difference)
"""

from __future__ import annotations

import re
import sys
from dataclasses import dataclass, field


@dataclass
class Method:
    name: str
    parameter_types: list[str]


@dataclass
class Interface:
    name: str
    base: str
    iid: str = ""
    methods: list[Method] = field(default_factory=list)


@dataclass
class Declarations:
    interfaces: dict[str, Interface] = field(default_factory=dict)
    enums: dict[str, list[tuple[str, int]]] = field(default_factory=dict)
    structs: dict[str, list[tuple[str, str]]] = field(default_factory=dict)
    iids: dict[str, str] = field(default_factory=dict)
    includes: list[str] = field(default_factory=list)


class ParseError(Exception):
    pass


IDENTIFIER = r"[A-Za-z_]\w*"
IID_TEXT = re.compile(r"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")


def normalise_type(text: str) -> str:
    """One spelling per type: single spaces, `*` attached to the type, no leading keywords."""
    text = re.sub(r"\s+", " ", text).strip()
    text = re.sub(r"\s*\*\s*", "*", text)
    return text


def parameter_types(parameter_list: str, where: str) -> list[str]:
    parameter_list = re.sub(r"\[[^\]]*\]", " ", parameter_list).strip()
    if not parameter_list:
        return []
    types = []
    for parameter in parameter_list.split(","):
        parameter = normalise_type(parameter)
        match = re.fullmatch(rf"(.*?[\w*])\s*\b({IDENTIFIER})", parameter)
        if not match or not match.group(1).strip():
            raise ParseError(f"{where}: parameter without a type and a name: {parameter!r}")
        types.append(normalise_type(match.group(1)))
    return types


def parse_enumerators(items: list[str], where: str) -> list[tuple[str, int]]:
    enumerators = []
    next_value = 0
    for item in items:
        match = re.fullmatch(rf"({IDENTIFIER})(?:\s*=\s*(0[xX][0-9A-Fa-f]+|\d+))?", item.strip())
        if not match:
            raise ParseError(f"{where}: enumerator not understood: {item.strip()!r}")
        value = int(match.group(2), 0) if match.group(2) else next_value
        enumerators.append((match.group(1), value))
        next_value = value + 1
    return enumerators


# ---- The facts file ---------------------------------------------------------------------------


def parse_facts(text: str) -> Declarations:
    facts = Declarations()
    sections = re.split(r"^## ", text, flags=re.M)[1:]
    for section in sections:
        heading, _, body = section.partition("\n")
        heading = heading.strip()
        if heading.startswith("enum "):
            name = heading[len("enum ") :]
            lines = [line[2:] for line in body.splitlines() if line.startswith("- ")]
            items = [item for item in ", ".join(lines).split(",") if item.strip()]
            facts.enums[name] = parse_enumerators(items, f"facts enum {name}")
        elif heading.startswith("struct "):
            name = heading[len("struct ") :]
            match = re.search(r"four bytes in this order: ((?:\w, )*\w)\b", body)
            if not match:
                raise ParseError(f"facts struct {name}: field order not found")
            names = match.group(1).split(", ")
            facts.structs[name] = [("BYTE", field_name) for field_name in names]
        else:
            iid = re.search(r"^- IID: \{([0-9A-Fa-f-]+)\}$", body, flags=re.M)
            base = re.search(rf"^- inherits: ({IDENTIFIER})$", body, flags=re.M)
            if not iid or not base:
                raise ParseError(f"facts interface {heading}: IID or base missing")
            interface = Interface(heading, base.group(1), iid.group(1).upper())
            numbered = re.findall(r"^  (\d+)\. `(.*)`$", body, flags=re.M)
            for position, (number, signature) in enumerate(numbered, start=1):
                if int(number) != position:
                    raise ParseError(f"facts {heading}: method numbers out of sequence")
                match = re.fullmatch(rf"({IDENTIFIER})\((.*)\)", signature)
                if not match:
                    raise ParseError(f"facts {heading}: method not understood: {signature!r}")
                where = f"facts {heading}.{match.group(1)}"
                interface.methods.append(
                    Method(match.group(1), parameter_types(match.group(2), where))
                )
            facts.interfaces[heading] = interface
            facts.iids[heading] = interface.iid
    return facts


# ---- The header -------------------------------------------------------------------------------


def strip_comments(text: str) -> str:
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


def top_level_statements(text: str) -> list[str]:
    """Statements at namespace level, each with its braces; preprocessor lines stay whole."""
    statements: list[str] = []
    current: list[str] = []
    depth = 0
    position = 0
    while position < len(text):
        if depth == 0 and not "".join(current).strip():
            line_end = text.find("\n", position)
            line_end = len(text) if line_end < 0 else line_end
            line = text[position:line_end].strip()
            if line.startswith("#"):
                statements.append(line)
                position = line_end + 1
                current = []
                continue
            flag_macro = re.match(r"\s*DEFINE_ENUM_FLAG_OPERATORS\s*\(\s*\w+\s*\)", text[position:])
            if flag_macro:
                statements.append(re.sub(r"\s+", "", flag_macro.group(0)))
                position += flag_macro.end()
                current = []
                continue
        character = text[position]
        current.append(character)
        if character == "{":
            depth += 1
        elif character == "}":
            depth -= 1
            if depth < 0:
                raise ParseError("header: unbalanced '}'")
        elif character == ";" and depth == 0:
            statements.append(re.sub(r"\s+", " ", "".join(current)).strip())
            current = []
        position += 1
    if "".join(current).strip():
        raise ParseError(f"header: text after the last statement: {''.join(current).strip()!r}")
    return statements


def parse_iid_initialiser(name: str, initialiser: str) -> str:
    numbers = re.findall(r"0[xX][0-9A-Fa-f]+", initialiser)
    shape = re.fullmatch(
        r"\{\s*(0[xX][0-9A-Fa-f]+\s*,\s*){3}\{\s*(0[xX][0-9A-Fa-f]+\s*,\s*){7}"
        r"0[xX][0-9A-Fa-f]+\s*\}\s*\}",
        initialiser,
    )
    if not shape or len(numbers) != 11:
        raise ParseError(f"header IID_{name}: initialiser not understood: {initialiser!r}")
    widths = [8, 4, 4] + [2] * 8
    digits = []
    for number, width in zip(numbers, widths):
        value = int(number, 16)
        if value >= 16**width:
            raise ParseError(f"header IID_{name}: {number} does not fit its field")
        digits.append(f"{value:0{width}X}")
    return "-".join([digits[0], digits[1], digits[2], "".join(digits[3:5]), "".join(digits[5:])])


METHOD = re.compile(rf"virtual HRESULT STDMETHODCALLTYPE ({IDENTIFIER}) ?\((.*)\) ?= ?0")


def parse_interface_body(interface: Interface, body: str) -> None:
    statements = [statement.strip() for statement in body.split(";")]
    if statements[-1]:
        raise ParseError(f"header {interface.name}: text after the last method: {statements[-1]!r}")
    for statement in statements[:-1]:
        match = METHOD.fullmatch(statement)
        if not match:
            raise ParseError(f"header {interface.name}: line not understood: {statement!r}")
        where = f"header {interface.name}.{match.group(1)}"
        interface.methods.append(Method(match.group(1), parameter_types(match.group(2), where)))


def parse_header(text: str) -> Declarations:
    header = Declarations()
    forward_declared: set[str] = set()

    def claim(name: str) -> None:
        if name in header.interfaces or name in header.enums or name in header.structs:
            raise ParseError(f"header: {name} defined twice")

    for statement in top_level_statements(strip_comments(text)):
        if statement.startswith("#"):
            include = re.fullmatch(r"#\s*include\s*<([\w./]+)>", statement)
            if include:
                header.includes.append(include.group(1))
            elif not re.fullmatch(r"#\s*pragma\s+once", statement):
                raise ParseError(f"header: preprocessor line not understood: {statement!r}")
            continue
        if match := re.fullmatch(r"DEFINE_ENUM_FLAG_OPERATORS\((\w+)\)", statement):
            if match.group(1) not in header.enums:
                raise ParseError(f"header: flag operators for an undefined enum {match.group(1)}")
            continue
        if match := re.fullmatch(rf"struct ({IDENTIFIER}) ?;", statement):
            forward_declared.add(match.group(1))
            continue
        if match := re.fullmatch(rf"enum ({IDENTIFIER}) ?: ?int ?;", statement):
            forward_declared.add(match.group(1))
            continue
        if match := re.fullmatch(
            rf"struct ({IDENTIFIER}) ?: ?public ({IDENTIFIER}) ?\{{(.*)\}} ?;", statement
        ):
            name, base, body = match.groups()
            claim(name)
            if base != "IUnknown" and base not in header.interfaces:
                raise ParseError(f"header {name}: base {base} is not defined before it")
            interface = Interface(name, base)
            parse_interface_body(interface, body)
            header.interfaces[name] = interface
            continue
        if match := re.fullmatch(rf"struct ({IDENTIFIER}) ?\{{(.*)\}} ?;", statement):
            name, body = match.groups()
            claim(name)
            fields = []
            for member in [member.strip() for member in body.split(";")][:-1]:
                member_match = re.fullmatch(rf"({IDENTIFIER}) ({IDENTIFIER})", member)
                if not member_match:
                    raise ParseError(f"header struct {name}: member not understood: {member!r}")
                fields.append((member_match.group(1), member_match.group(2)))
            header.structs[name] = fields
            continue
        if match := re.fullmatch(rf"enum ({IDENTIFIER}) ?\{{(.*)\}} ?;", statement):
            name, body = match.groups()
            claim(name)
            items = [item for item in body.split(",") if item.strip()]
            header.enums[name] = parse_enumerators(items, f"header enum {name}")
            continue
        if match := re.fullmatch(
            rf"inline constexpr IID IID_({IDENTIFIER}) ?= ?(\{{.*\}}) ?;", statement
        ):
            name, initialiser = match.groups()
            if name in header.iids:
                raise ParseError(f"header: IID_{name} defined twice")
            header.iids[name] = parse_iid_initialiser(name, initialiser)
            continue
        raise ParseError(f"header: statement not understood: {statement[:120]!r}")

    for name, interface in header.interfaces.items():
        interface.iid = header.iids.get(name, "")
    return header


# ---- The comparison ---------------------------------------------------------------------------


def first_difference(declared: list[str], expected: list[str]) -> str:
    for position, (declared_name, expected_name) in enumerate(zip(declared, expected), start=1):
        if declared_name != expected_name:
            return f"own method {position} is {declared_name}, the facts say {expected_name}"
    if len(declared) > len(expected):
        return f"{len(declared) - len(expected)} more than listed, from {declared[len(expected)]}"
    return f"{len(expected) - len(declared)} fewer than listed, from {expected[len(declared)]}"


def compare(facts: Declarations, header: Declarations) -> list[str]:
    problems: list[str] = []
    for name, expected in facts.interfaces.items():
        declared = header.interfaces.get(name)
        if declared is None:
            problems.append(f"{name}: listed in the facts but not declared")
            continue
        if not declared.iid:
            problems.append(f"{name}: no IID_{name} constant")
        elif declared.iid != expected.iid:
            problems.append(f"{name}: IID {declared.iid}, the facts say {expected.iid}")
        if declared.base != expected.base:
            problems.append(f"{name}: derives from {declared.base}, the facts say {expected.base}")
        expected_names = [method.name for method in expected.methods]
        declared_names = [method.name for method in declared.methods]
        if declared_names != expected_names:
            difference = first_difference(declared_names, expected_names)
            problems.append(f"{name}: methods differ, {difference}")
            continue
        for declared_method, expected_method in zip(declared.methods, expected.methods):
            if declared_method.parameter_types != expected_method.parameter_types:
                problems.append(
                    f"{name}.{declared_method.name}: parameters "
                    f"{declared_method.parameter_types}, the facts say "
                    f"{expected_method.parameter_types}"
                )
    for name in header.interfaces.keys() - facts.interfaces.keys():
        problems.append(f"{name}: declared with methods but absent from the facts")
    for name in header.iids.keys() - header.interfaces.keys():
        problems.append(f"IID_{name}: constant without a declared interface")

    for name, expected_enumerators in facts.enums.items():
        declared_enumerators = header.enums.get(name)
        if declared_enumerators is None:
            problems.append(f"enum {name}: listed in the facts but not declared")
        elif declared_enumerators != expected_enumerators:
            problems.append(
                f"enum {name}: {declared_enumerators}, the facts say {expected_enumerators}"
            )
    for name in header.enums.keys() - facts.enums.keys():
        problems.append(f"enum {name}: declared with enumerators but absent from the facts")

    for name, expected_fields in facts.structs.items():
        if header.structs.get(name) != expected_fields:
            problems.append(f"struct {name}: {header.structs.get(name)}, facts {expected_fields}")
    if "EventRegistrationToken" not in header.structs and "eventtoken.h" not in header.includes:
        problems.append("EventRegistrationToken: neither declared nor taken from <eventtoken.h>")
    return problems


def check(facts_text: str, header_text: str) -> list[str]:
    try:
        return compare(parse_facts(facts_text), parse_header(header_text))
    except ParseError as error:
        return [str(error)]


def main(arguments: list[str]) -> int:
    if len(arguments) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    with open(arguments[0], encoding="utf-8") as facts_file:
        facts_text = facts_file.read()
    with open(arguments[1], encoding="utf-8") as header_file:
        header_text = header_file.read()
    problems = check(facts_text, header_text)
    for problem in problems:
        print(problem)
    if problems:
        return 1
    facts = parse_facts(facts_text)
    print(
        f"{len(facts.interfaces)} interfaces "
        f"({sum(len(i.methods) for i in facts.interfaces.values())} methods) and "
        f"{len(facts.enums)} enums match the facts"
    )
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
