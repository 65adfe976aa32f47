"""Rewrites a link part without the envelope key, the way anyone holding one issued link can.

With AES-CBC the IV is XOR-ed into the first decrypted block, so changing the IV by
(known text XOR wanted text) makes the first 16 bytes of the plaintext read as the wanted text;
the rest of the part stays as it was. Only the tag would give the change away, so it is dropped.
"""
import base64
import json

BLOCK = 16


def forge_first_block(envelope, known, wanted):
    """The envelope text with its plaintext's first block turned from `known` into `wanted`
    (both at least one block of text; only the first block of each counts)."""
    known_bytes, wanted_bytes = known.encode("utf-8")[:BLOCK], wanted.encode("utf-8")[:BLOCK]
    if len(known_bytes) != BLOCK or len(wanted_bytes) != BLOCK:
        raise ValueError("the known and the wanted text need one whole block each")
    record = json.loads(base64.b64decode(envelope))
    iv = bytearray(base64.b64decode(record["iv"]))
    for i in range(BLOCK):
        iv[i] ^= known_bytes[i] ^ wanted_bytes[i]
    forged = {"iv": base64.b64encode(bytes(iv)).decode("ascii"), "value": record["value"]}
    return base64.b64encode(json.dumps(forged, separators=(",", ":")).encode("utf-8")).decode(
        "ascii")


def forge_link(link, part, known, wanted):
    """The link with part `part` (0 token, 1 content link id, 2 domain) forged."""
    scheme, body = link.split("://", 1)
    parts = body.split(":")
    parts[part] = forge_first_block(parts[part], known, wanted)
    return scheme + "://" + ":".join(parts)
