"""The tenant profile as the demo platform sees it.

The client build bakes the same JSON file into scrambled constants, so reading it here is what
keeps API paths, form fragments, field names and the envelope key identical on both sides.
"""
import json
from urllib.parse import urlsplit

REQUIRED_STRINGS = (
    "portalOrigin",
    "apiContentDataPath",
    "formTokenFragment",
    "formContentIdFragment",
    "responseDataMember",
    "responseKindField",
    "responseUrlField",
    "responseVideoUrlField",
    "responseWatermarkField",
    "responseNumberField",
    "updateCheckPath",
    "pageScriptEndpoint",
)

LOOPBACK_HOSTS = ("127.0.0.1", "localhost")


class ProfileError(Exception):
    pass


class Profile:
    def __init__(self, data, path=""):
        if not isinstance(data, dict):
            raise ProfileError("%s: the profile is not a JSON object" % path)
        self.path = path
        self.strings = data.get("strings", {})
        self.lists = data.get("lists", {})
        if not isinstance(self.strings, dict) or not isinstance(self.lists, dict):
            raise ProfileError("%s: \"strings\" and \"lists\" must be objects" % path)
        if not isinstance(data.get("envelopeKeyHex", ""), str):
            raise ProfileError("%s: envelopeKeyHex must be a string" % path)
        missing = [k for k in REQUIRED_STRINGS if not isinstance(self.strings.get(k), str)]
        if missing:
            raise ProfileError("%s: missing strings: %s" % (path, ", ".join(missing)))
        try:
            self.key = bytes.fromhex(data.get("envelopeKeyHex", ""))
        except ValueError as error:
            raise ProfileError("%s: envelopeKeyHex is not hex (%s)" % (path, error))
        if len(self.key) != 32:
            raise ProfileError("%s: envelopeKeyHex must hold 32 bytes" % path)
        # The client refuses untagged link parts unless the profile says otherwise.
        self.tag_required = data.get("envelopeTagRequired", True)
        if not isinstance(self.tag_required, bool):
            raise ProfileError("%s: envelopeTagRequired must be true or false" % path)

    def s(self, name):
        return self.strings[name]

    @property
    def content_data_path(self):
        return self.s("apiContentDataPath")

    @property
    def update_check_path(self):
        return self.s("updateCheckPath")

    @property
    def page_script_path(self):
        """Path part of the page-script endpoint; the content number follows it directly."""
        return urlsplit(self.s("pageScriptEndpoint")).path

    @property
    def field_names(self):
        """Response field names in the order kind, url, videoUrl, watermark, number."""
        return tuple(
            self.s(k)
            for k in (
                "responseKindField",
                "responseUrlField",
                "responseVideoUrlField",
                "responseWatermarkField",
                "responseNumberField",
            ))

    @property
    def runtime_installer_path(self):
        """Path of a loopback browser-runtime installer address, or None when it lives elsewhere."""
        parts = urlsplit(self.strings.get("webView2InstallerUrl", ""))
        return parts.path if parts.hostname in LOOPBACK_HOSTS and parts.path else None

    def portal_port(self):
        """The port of a loopback portal origin, or None when the portal lives elsewhere."""
        parts = urlsplit(self.s("portalOrigin"))
        if parts.hostname not in LOOPBACK_HOSTS:
            return None
        try:
            return parts.port
        except ValueError:
            return None


def load_profile(path):
    try:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
    except (OSError, ValueError) as error:
        raise ProfileError("%s: %s" % (path, error))
    return Profile(data, path)
