# Build helpers shared by every target: warnings, sanitizers, the tenant header and the way
# platform adapter files are picked by their name suffix.

# Each suffix belongs to exactly one library of one platform.
set(ORBIS_LINUX_PLATFORM_SUFFIXES openssl curl posix cups)
set(ORBIS_LINUX_UI_SUFFIXES qt)
set(ORBIS_WINDOWS_PLATFORM_SUFFIXES cng winhttp win32)
set(ORBIS_WINDOWS_UI_SUFFIXES webview2)
set(ORBIS_ALL_ADAPTER_SUFFIXES ${ORBIS_LINUX_PLATFORM_SUFFIXES} ${ORBIS_LINUX_UI_SUFFIXES}
    ${ORBIS_WINDOWS_PLATFORM_SUFFIXES} ${ORBIS_WINDOWS_UI_SUFFIXES})
# Suffixes that look like an adapter's but name no library: a file carrying one would silently
# compile into nothing on both platforms.
set(ORBIS_UNTAKEN_ADAPTER_SUFFIXES gtk gdi gdiplus winspool wininet schannel mbedtls gnutls
    libsecret dbus x11 wayland cocoa mac macos android)

function(orbis_set_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /utf-8)
        if(ORBIS_WARNINGS_AS_ERRORS)
            target_compile_options(${target} PRIVATE /WX)
        endif()
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
            -Wno-sign-conversion -Wold-style-cast -Woverloaded-virtual)
        # COM interfaces have no virtual destructor by design (objects delete themselves in
        # Release), so the Windows build cannot ask for one.
        if(NOT WIN32)
            target_compile_options(${target} PRIVATE -Wnon-virtual-dtor)
        endif()
        if(ORBIS_WARNINGS_AS_ERRORS)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
endfunction()

function(orbis_apply_sanitizers target)
    if(ORBIS_SANITIZERS)
        target_compile_options(${target} PRIVATE -fsanitize=${ORBIS_SANITIZERS} -fno-omit-frame-pointer
            -fno-sanitize-recover=all)
        target_link_options(${target} PRIVATE -fsanitize=${ORBIS_SANITIZERS})
    endif()
endfunction()

# Common settings for every target of ours.
function(orbis_target target)
    orbis_set_warnings(${target})
    orbis_apply_sanitizers(${target})
    if(WIN32)
        target_compile_definitions(${target} PRIVATE UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
            _WIN32_WINNT=0x0A00)
    endif()
endfunction()

function(orbis_generate_tenant_header profile)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(out_dir "${CMAKE_BINARY_DIR}/generated")
    file(MAKE_DIRECTORY "${out_dir}")
    add_custom_command(
        OUTPUT "${out_dir}/tenant_profile.h"
        COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/tools/scripts/gen_tenant_header.py"
                "${profile}" "${out_dir}/tenant_profile.h" "${PROJECT_VERSION}"
        DEPENDS "${profile}" "${CMAKE_SOURCE_DIR}/tools/scripts/gen_tenant_header.py"
        COMMENT "Scrambling tenant constants from ${profile}")
    # The product version's one source is the project's VERSION.
    file(WRITE "${out_dir}/product_version.h.new"
        "// Generated from the project version. Do not edit.\n#pragma once\n"
        "inline constexpr const char16_t* kProductVersion = u\"${PROJECT_VERSION}\";\n")
    file(COPY_FILE "${out_dir}/product_version.h.new" "${out_dir}/product_version.h"
        ONLY_IF_DIFFERENT)
    add_custom_target(orbis_tenant_header DEPENDS "${out_dir}/tenant_profile.h")
    add_library(orbis_tenant INTERFACE)
    target_include_directories(orbis_tenant INTERFACE "${out_dir}")
    add_dependencies(orbis_tenant orbis_tenant_header)
endfunction()

# The Public Suffix List as a built-in table (portable code, so the MinGW build has it too).
function(orbis_generate_public_suffix_table list_file)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    if(NOT EXISTS "${list_file}")
        message(FATAL_ERROR "Public Suffix List not found at ${list_file} (Debian: publicsuffix)")
    endif()
    set(out_dir "${CMAKE_BINARY_DIR}/generated")
    file(MAKE_DIRECTORY "${out_dir}")
    add_custom_command(
        OUTPUT "${out_dir}/public_suffix_table.h"
        COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/tools/scripts/gen_public_suffix_table.py"
                "${list_file}" "${out_dir}/public_suffix_table.h"
        DEPENDS "${list_file}" "${CMAKE_SOURCE_DIR}/tools/scripts/gen_public_suffix_table.py"
        COMMENT "Building the public suffix table from ${list_file}")
    add_custom_target(orbis_public_suffix_header DEPENDS "${out_dir}/public_suffix_table.h")
    add_library(orbis_public_suffix INTERFACE)
    target_include_directories(orbis_public_suffix INTERFACE "${out_dir}")
    add_dependencies(orbis_public_suffix orbis_public_suffix_header)
endfunction()

macro(orbis_find_dependencies)
    if(CMAKE_CROSSCOMPILING AND WIN32)
        # Never put /usr/include on the MinGW path (glibc headers leak in): expose nlohmann alone.
        set(ORBIS_NLOHMANN_DIR "${CMAKE_BINARY_DIR}/nlohmann-include")
        file(MAKE_DIRECTORY "${ORBIS_NLOHMANN_DIR}")
        file(CREATE_LINK /usr/include/nlohmann "${ORBIS_NLOHMANN_DIR}/nlohmann" SYMBOLIC)
        add_library(orbis_json INTERFACE)
        target_include_directories(orbis_json SYSTEM INTERFACE "${ORBIS_NLOHMANN_DIR}")
    else()
        find_package(nlohmann_json 3.11 REQUIRED)
        add_library(orbis_json INTERFACE)
        target_link_libraries(orbis_json INTERFACE nlohmann_json::nlohmann_json)
        find_package(OpenSSL 3 REQUIRED)
        find_package(CURL REQUIRED)
        find_package(Cups REQUIRED)
        # The names the program opens libcurl, libcups and libcrypto by at run time (they are not
        # linked).
        set(ORBIS_LIBCURL_SONAME "libcurl.so.4" CACHE STRING "libcurl's SONAME, opened on first use")
        set(ORBIS_LIBCUPS_SONAME "libcups.so.2" CACHE STRING "libcups's SONAME, opened on first use")
        set(ORBIS_LIBCRYPTO_SONAME "libcrypto.so.3" CACHE STRING
            "libcrypto's SONAME, opened on first use")
    endif()
endmacro()

# Fails the configure step when an adapter file carries a suffix that no library of either
# platform takes, or a suffix no library is defined for on this platform: such a file would be
# dropped without a word. (A portable file that includes a platform header is the layering
# test's to find.)
function(orbis_check_adapter_suffixes)
    cmake_parse_arguments(ARG "" "" "DIRS" ${ARGN})
    foreach(dir IN LISTS ARG_DIRS)
        file(GLOB files CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.h")
        foreach(file IN LISTS files)
            get_filename_component(name "${file}" NAME_WE)
            foreach(suffix IN LISTS ORBIS_UNTAKEN_ADAPTER_SUFFIXES)
                if(name MATCHES "_${suffix}$")
                    message(FATAL_ERROR "${file}: no library takes adapter files named *_${suffix}; "
                        "use one of: ${ORBIS_ALL_ADAPTER_SUFFIXES}")
                endif()
            endforeach()
        endforeach()
    endforeach()
endfunction()

# Collects the .cpp files under the given folders, split into portable sources and the adapter
# sources of the given suffixes ("foo_curl.cpp" is a curl adapter).
function(orbis_collect_sources out_portable out_adapters)
    cmake_parse_arguments(ARG "" "" "DIRS;SUFFIXES" ${ARGN})
    set(portable)
    set(adapters)
    foreach(dir IN LISTS ARG_DIRS)
        file(GLOB files CONFIGURE_DEPENDS "${dir}/*.cpp")
        foreach(file IN LISTS files)
            get_filename_component(name "${file}" NAME_WE)
            set(is_adapter FALSE)
            foreach(suffix IN LISTS ORBIS_ALL_ADAPTER_SUFFIXES)
                if(name MATCHES "_${suffix}$")
                    set(is_adapter TRUE)
                    if(suffix IN_LIST ARG_SUFFIXES)
                        list(APPEND adapters "${file}")
                    endif()
                endif()
            endforeach()
            if(NOT is_adapter AND NOT name MATCHES "_main$")
                list(APPEND portable "${file}")
            endif()
        endforeach()
    endforeach()
    set(${out_portable} ${portable} PARENT_SCOPE)
    set(${out_adapters} ${adapters} PARENT_SCOPE)
endfunction()

# The Windows resources of the product for `target`: icon 101 (made from the PNG at build time),
# the splash artwork as RCDATA 102, the manifest and the version resource, whose numbers come from
# the project's one version.
function(orbis_add_windows_resources target)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(generated "${CMAKE_BINARY_DIR}/generated")
    set(ORBIS_RC_ICON "${generated}/orbis-campus.ico")
    set(ORBIS_RC_SPLASH "${CMAKE_SOURCE_DIR}/resources/splash.png")
    set(ORBIS_RC_MANIFEST "${CMAKE_SOURCE_DIR}/resources/orbis-campus.manifest")
    if(NOT TARGET orbis_windows_icon)
        add_custom_command(OUTPUT "${ORBIS_RC_ICON}"
            COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/tools/scripts/png_to_ico.py"
                    "${CMAKE_SOURCE_DIR}/resources/orbis-campus.png" "${ORBIS_RC_ICON}"
            DEPENDS "${CMAKE_SOURCE_DIR}/resources/orbis-campus.png"
                    "${CMAKE_SOURCE_DIR}/tools/scripts/png_to_ico.py"
            VERBATIM)
        add_custom_target(orbis_windows_icon DEPENDS "${ORBIS_RC_ICON}")
        configure_file("${CMAKE_SOURCE_DIR}/resources/orbis-campus.rc.in"
            "${generated}/orbis-campus.rc" @ONLY)
    endif()
    target_sources(${target} PRIVATE "${generated}/orbis-campus.rc")
    set_source_files_properties("${generated}/orbis-campus.rc" TARGET_DIRECTORY ${target}
        PROPERTIES OBJECT_DEPENDS "${ORBIS_RC_ICON};${ORBIS_RC_SPLASH};${ORBIS_RC_MANIFEST}")
    add_dependencies(${target} orbis_windows_icon)
endfunction()
