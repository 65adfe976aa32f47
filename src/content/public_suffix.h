#pragma once
// Registrable domains by the Public Suffix List, built into the program (the list is turned into
// a table at build time), so that "same site" means what it means to browsers: two schools
// under "ac.uk" or two sites under a hosting service's suffix are different sites.
#include <string_view>

namespace PublicSuffix {

// The registrable domain of a lower-case ASCII host: its public suffix and the one label before
// it, as the end of `host`. Empty when the host is itself a public suffix, is an IP address, is
// empty or has an empty label. One trailing dot is ignored.
std::u16string_view RegistrableDomain(std::u16string_view host);

}  // namespace PublicSuffix
