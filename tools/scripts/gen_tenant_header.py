#!/usr/bin/env python3
"""Turns a tenant profile (JSON) into a C++ header of scrambled constants.

Strings are stored XOR-scrambled so they do not show up in a plain `strings` dump of the
executable; each accessor decodes its value at the call site. The envelope key becomes the
34-byte constant the link decoder rebuilds the key from (seed byte, 32 key bytes, filler);
"envelopeTagRequired" (default true) becomes kEnvelopeTagRequired.
"""
import json
import random
import re
import sys

DOMAIN = re.compile(r"[a-z0-9-]+(\.[a-z0-9-]+)+")
EXPECTED_COUNTS = {"platformDomains": 3, "meetingDomains": 7, "mediaDomains": 36}


def fail(message):
    sys.stderr.write("gen_tenant_header: %s\n" % message)
    sys.exit(1)


def accessor_name(key):
    return key[0].upper() + key[1:]


def scramble(data, seed):
    return [b ^ (((seed + 0x3B * i) & 0xFF) ^ 0xC5) for i, b in enumerate(data)]


def byte_list(values):
    return ", ".join("0x%02x" % v for v in values)


def string_accessor(name, value, rng):
    data = value.encode("utf-8")
    seed = rng.randrange(1, 256)
    if not data:
        return "inline std::string %s() { return {}; }\n" % name
    return (
        "inline std::string %s() {\n"
        "    static constexpr std::array<std::uint8_t, %d> kData{%s};\n"
        "    return Scrambled::Decode(kData, 0x%02x);\n"
        "}\n" % (name, len(data), byte_list(scramble(data, seed)), seed))


def list_accessor(name, values, rng):
    body = "".join("        %s_%d(),\n" % (name, i) for i in range(len(values)))
    parts = "".join(string_accessor("%s_%d" % (name, i), v, rng) for i, v in enumerate(values))
    return parts + "inline std::vector<std::string> %s() {\n    return {\n%s    };\n}\n" % (name, body)


def main():
    if len(sys.argv) != 4:
        fail("usage: gen_tenant_header.py PROFILE.json OUT.h PRODUCT_VERSION")
    profile_path, out_path, version = sys.argv[1], sys.argv[2], sys.argv[3]
    if not re.fullmatch(r"[0-9]+(\.[0-9]+){1,3}", version):
        fail("product version %r is not dotted decimal" % version)
    with open(profile_path, encoding="utf-8") as f:
        profile = json.load(f)
    rng = random.Random(profile_path)  # deterministic per profile so rebuilds are stable

    strings = profile.get("strings", {})
    lists = profile.get("lists", {})
    for key, count in EXPECTED_COUNTS.items():
        entries = lists.get(key)
        if not isinstance(entries, list) or len(entries) != count:
            fail("list %s needs %d entries" % (key, count))
        for entry in entries:
            if not isinstance(entry, str) or not DOMAIN.fullmatch(entry):
                fail("%s: %r is not a lower-case domain name without a leading dot" % (key, entry))
    if "usercontent" not in lists["meetingDomains"][3]:
        fail("meetingDomains entry 4 must be Zoom's user-content domain")
    for key, value in list(strings.items()) + [(k, v) for k, vs in lists.items() for v in vs]:
        if not isinstance(value, str):
            fail("%s must be a string" % key)
    # The product version has one source, the build; profiles refer to it as {version}.
    strings = {k: v.replace("{version}", version) for k, v in strings.items()}
    key_hex = profile.get("envelopeKeyHex", "")
    if not re.fullmatch(r"[0-9a-fA-F]{64}", key_hex):
        fail("envelopeKeyHex must be 64 hexadecimal digits")

    # Left out, the tag is required: a profile has to say so to accept forgeable links.
    tag_required = profile.get("envelopeTagRequired", True)
    if not isinstance(tag_required, bool):
        fail("envelopeTagRequired must be true or false")

    key = bytes.fromhex(key_hex)
    seed = rng.randrange(1, 256)
    constant = [seed] + [key[i] ^ seed ^ i for i in range(32)] + [rng.randrange(0, 256)]

    # Derived lists keep the fixed shapes: the media list opens with the platform domains,
    # and the permission list is the meeting list without Zoom's user-content domain.
    meeting = lists["meetingDomains"]
    derived = {
        "platformDomains": lists["platformDomains"],
        "meetingDomains": meeting,
        "permissionMeetingDomains": meeting[:3] + meeting[4:],
        "mediaAllowList": lists["platformDomains"] + lists["mediaDomains"],
    }

    out = [
        "// Generated from %s. Do not edit.\n" % profile_path.split("/")[-1],
        "#pragma once\n#include <array>\n#include <cstdint>\n#include <string>\n#include <vector>\n\n",
        '#include "common/scrambled.h"\n\nnamespace Tenant {\n\n',
        'inline constexpr const char* kProfileName = "%s";\n\n'
        % profile_path.split("/")[-1].replace(".json", ""),
    ]
    for key in sorted(strings):
        out.append(string_accessor(accessor_name(key), strings[key], rng))
    for key in sorted(derived):
        out.append(list_accessor(accessor_name(key), derived[key], rng))
    out.append("\n// Seed byte, then key byte i XOR seed XOR i, then one filler byte.\n")
    out.append("inline constexpr std::array<std::uint8_t, 34> kEnvelopeKeyConstant{%s};\n"
               % byte_list(constant))
    out.append("\n// Whether a link part without its HMAC tag is refused like one with a wrong tag.\n")
    out.append("inline constexpr bool kEnvelopeTagRequired = %s;\n"
               % ("true" if tag_required else "false"))
    out.append("\n}  // namespace Tenant\n")
    text = "".join(out)
    try:
        with open(out_path, encoding="utf-8") as f:
            if f.read() == text:
                return
    except OSError:
        pass
    with open(out_path, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main()
