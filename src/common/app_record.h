#pragma once
// The process-wide application record: product identity, the platform base URL that every trust
// decision measures against, and the content descriptor that link decoding fills for the player.
#include <cstdint>
#include <string>

#include "product_version.h"

struct AppRecord {
    std::u16string displayName = u"Orbis Campus";
    std::u16string tenantId = u"orbiscampus";  // also the URL scheme name
    std::u16string version = kProductVersion;  // the build's project version
    std::u16string company = u"Brenvale (HALDEN-IT)";
    std::u16string baseUrl;  // starts as the tenant portal's origin

    // Content descriptor: written only by ParseSchemeArgs, read by the player window.
    std::u16string contentUrl;
    std::u16string watermarkText;
    std::u16string contentKind;  // "url_direct" or the platform's own kind, such as "pdf_url"
    std::int32_t contentNumber = 1;
    std::u16string contentScript;
};

// A record with the built-in identity and the tenant portal as base URL.
AppRecord MakeDefaultAppRecord();

// The record of this process, built during static initialisation. UI thread only.
AppRecord& App();
