#!/usr/bin/python3
"""Prints a scheme link (or a single envelope) sealed with a tenant profile's envelope key."""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from envelope import mint_link, seal  # noqa: E402
from platform_profile import ProfileError, load_profile  # noqa: E402


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--profile", required=True, help="tenant profile (config/*.json)")
    parser.add_argument("--token", help="link token")
    parser.add_argument("--content-id", help="content link id, or a direct http(s) URL")
    parser.add_argument("--domain", help="platform host name or base URL")
    parser.add_argument("--envelope", metavar="TEXT", help="print one envelope of TEXT instead")
    parser.add_argument("--no-mac", action="store_true",
                        help="leave out the tag (a client built with a profile that requires it "
                        "refuses the link)")
    parser.add_argument("--upper-mac", action="store_true", help="write the tag in upper case")
    args = parser.parse_args(argv)

    try:
        profile = load_profile(args.profile)
    except ProfileError as error:
        parser.error(str(error))
    with_mac = not args.no_mac
    if not with_mac and profile.tag_required:
        sys.stderr.write("mint.py: this profile requires the envelope tag, so the client refuses "
                         "the untagged link as tampered\n")

    if args.envelope is not None:
        print(seal(args.envelope, profile.key, with_mac, args.upper_mac))
        return 0
    if args.token is None or args.content_id is None or args.domain is None:
        parser.error("--token, --content-id and --domain are required (or --envelope)")
    link = mint_link(profile.key, args.token, args.content_id, args.domain, with_mac,
                     args.upper_mac)
    print(link)
    return 0


if __name__ == "__main__":
    sys.exit(main())
