"""Sealing link parts into the platform's envelope format and joining them into a link.

An envelope is base64 of the compact JSON {"iv", "value", "mac"}: AES-256-CBC with PKCS#7
padding and a random IV, tagged with HMAC-SHA256 over the two base64 texts as they stand in the
JSON. The same 32-byte key encrypts and tags.
"""
import base64
import hashlib
import hmac
import json
import os

from cryptography.hazmat.primitives import padding
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

LINK_SCHEME = "orbiscampus"


def _b64(data):
    return base64.b64encode(data).decode("ascii")


def seal(plaintext, key, with_mac=True, upper_mac=False, iv=None):
    """Returns the envelope text for a UTF-8 plaintext; `iv` is fixed only by callers that need
    reproducible output."""
    if iv is None:
        iv = os.urandom(16)
    padder = padding.PKCS7(128).padder()
    padded = padder.update(plaintext.encode("utf-8")) + padder.finalize()
    encryptor = Cipher(algorithms.AES(key), modes.CBC(iv)).encryptor()
    ciphertext = encryptor.update(padded) + encryptor.finalize()

    iv_b64, value_b64 = _b64(iv), _b64(ciphertext)
    record = {"iv": iv_b64, "value": value_b64}
    if with_mac:
        tag = hmac.new(key, (iv_b64 + value_b64).encode("ascii"), hashlib.sha256).hexdigest()
        record["mac"] = tag.upper() if upper_mac else tag
    return _b64(json.dumps(record, separators=(",", ":")).encode("utf-8"))


def mint_link(key, token, content_id, domain, with_mac=True, upper_mac=False):
    parts = (seal(p, key, with_mac, upper_mac) for p in (token, content_id, domain))
    return LINK_SCHEME + "://" + ":".join(parts)
