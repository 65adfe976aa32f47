#pragma once
// The start of a URL (scheme, host, port) as a browser reads it, by the WHATWG URL standard:
// leading and trailing spaces and controls dropped, tabs and line breaks ignored anywhere, any
// run of "/" and "\" after a web scheme, user information up to the last '@' of the authority
// skipped, the host percent-decoded, full-width letters, digits and dots folded to ASCII, numeric
// IPv4 forms ("0x7f.1", "2130706433") and IPv6 literals written canonically. Every rule that
// decides where a view may go or which request is refused reads hosts through this, so that the
// host judged is the host the browser will contact.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace BrowserUrl {

enum class Scheme : std::uint8_t { Http, Https, Ws, Wss, Ftp, Blob, Other };

enum class HostStatus : std::uint8_t {
    Rejected,    // the browser refuses the URL (or, for Scheme::Other and Blob, was not read)
    Unreadable,  // a host with non-ASCII text this reader does not map; the browser may still
                 // turn it into some ASCII host, so nothing may be concluded from it
    Read,
};

class Reading {
  public:
    Scheme scheme = Scheme::Other;
    HostStatus status = HostStatus::Rejected;
    // A label in "xn--" form: the browser either accepts it as it stands or refuses the URL, and
    // which of the two is not checked here. Fine for refusing; not enough for allowing.
    bool hasPunycodeLabel = false;
    int port = -1;                // -1: none given, or the scheme's default
    std::size_t afterScheme = 0;  // index in the input just after the scheme's ':'

    // ASCII host, canonical except for letter case (compare folded; LowerHost() for a copy).
    // IPv6 literals keep their brackets. Empty unless status is Read.
    std::u16string_view Host() const {
        return owned_.empty() ? view_ : std::u16string_view(owned_);
    }
    std::u16string LowerHost() const;
    // Read, and known to be exactly the browser's host.
    bool IsCertain() const { return status == HostStatus::Read && !hasPunycodeLabel; }
    bool IsWeb() const { return scheme == Scheme::Http || scheme == Scheme::Https; }

  private:
    friend Reading Read(std::u16string_view url);
    std::u16string_view view_;  // into the input, when the host needed no rewriting
    std::u16string owned_;      // the rewritten host otherwise
};

// Reads the scheme of any URL and, for the special web schemes (http, https, ws, wss, ftp),
// the host and port. Allocates only when the host must be rewritten.
Reading Read(std::u16string_view url);

// The scheme alone, for callers that need no more (cheaper than Read).
Scheme SchemeOf(std::u16string_view url);

// The URL inside a "blob:" URL (what follows "blob:"), or empty for other schemes.
std::u16string_view BlobInner(std::u16string_view url, const Reading& reading);

// Would the browser read an ASCII host of letters, digits, '-' and '.' as an IPv4 address? Then
// `host` is what it writes back only when it is already the dotted-decimal form.
bool EndsInNumber(std::u16string_view host);
bool IsCanonicalIpv4(std::u16string_view host);
// A label beginning "xn--", in any letter case.
bool HasPunycodeLabel(std::u16string_view host);

}  // namespace BrowserUrl
