#pragma once
// Decoding a link of the application's scheme into the content descriptor.
#include <string>
#include <string_view>

#include "common/app_record.h"

// Fills the content descriptor (and baseUrl) of `record`. On false `errorCode` says why:
// "split_failed_parts_N", "decrypt_failed_empty_strings", "server:<message>",
// "api_content_data_failed", "exception_<text>", "unknown_exception".
bool ParseSchemeArgs(std::u16string_view link, std::string& errorCode, AppRecord& record);
