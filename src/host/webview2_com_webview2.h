#pragma once
// The WebView2 runtime's COM interfaces as this program calls them, declared here because the
// vendor's SDK header is not available to this build. Each interface keeps every method of its
// vtable, also those nothing here calls: a missing or moved method calls the wrong function at
// run time, and only on real Windows. tests/declarations/check_webview2_declarations.py compares
// this file with tests/data/webview2-interfaces.md and reads every line inside the declarations, so
// keep the plain form below (one `virtual HRESULT STDMETHODCALLTYPE` method per statement).
//
// Deliberately one file past the usual size: one declaration per vendor interface, in one place,
// so the comparison covers the whole binary interface and nothing is declared twice.
//
// Interfaces the runtime only passes through as parameters stay incomplete, and so do enums the
// program never reads (their size is fixed at 32 bits, as the runtime's are).
#include <eventtoken.h>  // EventRegistrationToken, as the platform declares it
#include <oaidl.h>       // VARIANT
#include <objidl.h>      // IStream
#include <windows.h>

struct COREWEBVIEW2_COLOR {
    BYTE A;
    BYTE R;
    BYTE G;
    BYTE B;
};

// Every interface named anywhere below.
struct ICoreWebView2;
struct ICoreWebView2AcceleratorKeyPressedEventHandler;
struct ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler;
struct ICoreWebView2BasicAuthenticationRequestedEventHandler;
struct ICoreWebView2BrowserProcessExitedEventArgs;
struct ICoreWebView2BrowserProcessExitedEventHandler;
struct ICoreWebView2CallDevToolsProtocolMethodCompletedHandler;
struct ICoreWebView2CapturePreviewCompletedHandler;
struct ICoreWebView2Certificate;
struct ICoreWebView2ClearServerCertificateErrorActionsCompletedHandler;
struct ICoreWebView2ClientCertificateRequestedEventHandler;
struct ICoreWebView2ContainsFullScreenElementChangedEventHandler;
struct ICoreWebView2ContentLoadingEventHandler;
struct ICoreWebView2ContextMenuRequestedEventHandler;
struct ICoreWebView2Controller;
struct ICoreWebView2Controller2;
struct ICoreWebView2Controller3;
struct ICoreWebView2Controller4;
struct ICoreWebView2CookieManager;
struct ICoreWebView2CreateCoreWebView2CompositionControllerCompletedHandler;
struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler;
struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;
struct ICoreWebView2DOMContentLoadedEventHandler;
struct ICoreWebView2Deferral;
struct ICoreWebView2DevToolsProtocolEventReceiver;
struct ICoreWebView2DocumentTitleChangedEventHandler;
struct ICoreWebView2DownloadStartingEventHandler;
struct ICoreWebView2Environment;
struct ICoreWebView2Environment2;
struct ICoreWebView2Environment3;
struct ICoreWebView2Environment4;
struct ICoreWebView2Environment5;
struct ICoreWebView2Environment6;
struct ICoreWebView2EnvironmentOptions;
struct ICoreWebView2EnvironmentOptions2;
struct ICoreWebView2ExecuteScriptCompletedHandler;
struct ICoreWebView2ExecuteScriptWithResultCompletedHandler;
struct ICoreWebView2FaviconChangedEventHandler;
struct ICoreWebView2FocusChangedEventHandler;
struct ICoreWebView2FrameCreatedEventHandler;
struct ICoreWebView2GetFaviconCompletedHandler;
struct ICoreWebView2HistoryChangedEventHandler;
struct ICoreWebView2HttpHeadersCollectionIterator;
struct ICoreWebView2HttpRequestHeaders;
struct ICoreWebView2HttpResponseHeaders;
struct ICoreWebView2IsDefaultDownloadDialogOpenChangedEventHandler;
struct ICoreWebView2IsDocumentPlayingAudioChangedEventHandler;
struct ICoreWebView2IsMutedChangedEventHandler;
struct ICoreWebView2LaunchingExternalUriSchemeEventHandler;
struct ICoreWebView2MoveFocusRequestedEventHandler;
struct ICoreWebView2NavigationCompletedEventArgs;
struct ICoreWebView2NavigationCompletedEventHandler;
struct ICoreWebView2NavigationStartingEventArgs;
struct ICoreWebView2NavigationStartingEventHandler;
struct ICoreWebView2NewBrowserVersionAvailableEventHandler;
struct ICoreWebView2NewWindowRequestedEventArgs;
struct ICoreWebView2NewWindowRequestedEventHandler;
struct ICoreWebView2PermissionRequestedEventArgs;
struct ICoreWebView2PermissionRequestedEventHandler;
struct ICoreWebView2PointerInfo;
struct ICoreWebView2PrintCompletedHandler;
struct ICoreWebView2PrintSettings;
struct ICoreWebView2PrintSettings2;
struct ICoreWebView2PrintToPdfCompletedHandler;
struct ICoreWebView2PrintToPdfStreamCompletedHandler;
struct ICoreWebView2ProcessFailedEventHandler;
struct ICoreWebView2Profile;
struct ICoreWebView2RasterizationScaleChangedEventHandler;
struct ICoreWebView2ScriptDialogOpeningEventHandler;
struct ICoreWebView2ServerCertificateErrorDetectedEventArgs;
struct ICoreWebView2ServerCertificateErrorDetectedEventHandler;
struct ICoreWebView2Settings;
struct ICoreWebView2Settings2;
struct ICoreWebView2Settings3;
struct ICoreWebView2Settings4;
struct ICoreWebView2Settings5;
struct ICoreWebView2Settings6;
struct ICoreWebView2Settings7;
struct ICoreWebView2SharedBuffer;
struct ICoreWebView2SourceChangedEventHandler;
struct ICoreWebView2StatusBarTextChangedEventHandler;
struct ICoreWebView2TrySuspendCompletedHandler;
struct ICoreWebView2WebMessageReceivedEventArgs;
struct ICoreWebView2WebMessageReceivedEventHandler;
struct ICoreWebView2WebResourceRequest;
struct ICoreWebView2WebResourceRequestedEventArgs;
struct ICoreWebView2WebResourceRequestedEventHandler;
struct ICoreWebView2WebResourceResponse;
struct ICoreWebView2WebResourceResponseReceivedEventHandler;
struct ICoreWebView2WindowCloseRequestedEventHandler;
struct ICoreWebView2WindowFeatures;
struct ICoreWebView2ZoomFactorChangedEventHandler;
struct ICoreWebView2_10;
struct ICoreWebView2_11;
struct ICoreWebView2_12;
struct ICoreWebView2_13;
struct ICoreWebView2_14;
struct ICoreWebView2_15;
struct ICoreWebView2_16;
struct ICoreWebView2_17;
struct ICoreWebView2_18;
struct ICoreWebView2_19;
struct ICoreWebView2_2;
struct ICoreWebView2_20;
struct ICoreWebView2_21;
struct ICoreWebView2_22;
struct ICoreWebView2_3;
struct ICoreWebView2_4;
struct ICoreWebView2_5;
struct ICoreWebView2_6;
struct ICoreWebView2_7;
struct ICoreWebView2_8;
struct ICoreWebView2_9;
enum COREWEBVIEW2_BOUNDS_MODE : int;
enum COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT : int;
enum COREWEBVIEW2_DEFAULT_DOWNLOAD_DIALOG_CORNER_ALIGNMENT : int;
enum COREWEBVIEW2_FAVICON_IMAGE_FORMAT : int;
enum COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND : int;
enum COREWEBVIEW2_MEMORY_USAGE_TARGET_LEVEL : int;
enum COREWEBVIEW2_MOVE_FOCUS_REASON : int;
enum COREWEBVIEW2_PRINT_COLLATION : int;
enum COREWEBVIEW2_PRINT_COLOR_MODE : int;
enum COREWEBVIEW2_PRINT_DIALOG_KIND : int;
enum COREWEBVIEW2_PRINT_DUPLEX : int;
enum COREWEBVIEW2_PRINT_MEDIA_SIZE : int;
enum COREWEBVIEW2_PRINT_ORIENTATION : int;
enum COREWEBVIEW2_SHARED_BUFFER_ACCESS : int;

enum COREWEBVIEW2_WEB_RESOURCE_CONTEXT {
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_STYLESHEET,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_IMAGE,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_MEDIA,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_FONT,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_SCRIPT,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_XML_HTTP_REQUEST,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_FETCH,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_TEXT_TRACK,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_EVENT_SOURCE,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_WEBSOCKET,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_MANIFEST,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_SIGNED_EXCHANGE,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_PING,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_CSP_VIOLATION_REPORT,
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT_OTHER,
};
enum COREWEBVIEW2_PERMISSION_KIND {
    COREWEBVIEW2_PERMISSION_KIND_UNKNOWN_PERMISSION,
    COREWEBVIEW2_PERMISSION_KIND_MICROPHONE,
    COREWEBVIEW2_PERMISSION_KIND_CAMERA,
    COREWEBVIEW2_PERMISSION_KIND_GEOLOCATION,
    COREWEBVIEW2_PERMISSION_KIND_NOTIFICATIONS,
    COREWEBVIEW2_PERMISSION_KIND_OTHER_SENSORS,
    COREWEBVIEW2_PERMISSION_KIND_CLIPBOARD_READ,
    COREWEBVIEW2_PERMISSION_KIND_MULTIPLE_AUTOMATIC_DOWNLOADS,
    COREWEBVIEW2_PERMISSION_KIND_FILE_READ_WRITE,
    COREWEBVIEW2_PERMISSION_KIND_AUTOPLAY,
    COREWEBVIEW2_PERMISSION_KIND_LOCAL_FONTS,
    COREWEBVIEW2_PERMISSION_KIND_MIDI_SYSTEM_EXCLUSIVE_MESSAGES,
    COREWEBVIEW2_PERMISSION_KIND_WINDOW_MANAGEMENT,
};
enum COREWEBVIEW2_PERMISSION_STATE {
    COREWEBVIEW2_PERMISSION_STATE_DEFAULT,
    COREWEBVIEW2_PERMISSION_STATE_ALLOW,
    COREWEBVIEW2_PERMISSION_STATE_DENY,
};
enum COREWEBVIEW2_SERVER_CERTIFICATE_ERROR_ACTION {
    COREWEBVIEW2_SERVER_CERTIFICATE_ERROR_ACTION_ALWAYS_ALLOW,
    COREWEBVIEW2_SERVER_CERTIFICATE_ERROR_ACTION_CANCEL,
    COREWEBVIEW2_SERVER_CERTIFICATE_ERROR_ACTION_DEFAULT,
};
enum COREWEBVIEW2_PRINT_STATUS {
    COREWEBVIEW2_PRINT_STATUS_SUCCEEDED,
    COREWEBVIEW2_PRINT_STATUS_PRINTER_UNAVAILABLE,
    COREWEBVIEW2_PRINT_STATUS_OTHER_ERROR,
};
enum COREWEBVIEW2_PDF_TOOLBAR_ITEMS {
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_NONE = 0x0,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_SAVE = 0x1,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_PRINT = 0x2,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_SAVE_AS = 0x4,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_ZOOM_IN = 0x8,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_ZOOM_OUT = 0x10,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_ROTATE = 0x20,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_FIT_PAGE = 0x40,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_PAGE_LAYOUT = 0x80,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_BOOKMARKS = 0x100,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_PAGE_SELECTOR = 0x200,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_SEARCH = 0x400,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_FULL_SCREEN = 0x800,
    COREWEBVIEW2_PDF_TOOLBAR_ITEMS_MORE_SETTINGS = 0x1000,
};
DEFINE_ENUM_FLAG_OPERATORS(COREWEBVIEW2_PDF_TOOLBAR_ITEMS)
enum COREWEBVIEW2_WEB_ERROR_STATUS {
    COREWEBVIEW2_WEB_ERROR_STATUS_UNKNOWN,
    COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_COMMON_NAME_IS_INCORRECT,
    COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_EXPIRED,
    COREWEBVIEW2_WEB_ERROR_STATUS_CLIENT_CERTIFICATE_CONTAINS_ERRORS,
    COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_REVOKED,
    COREWEBVIEW2_WEB_ERROR_STATUS_CERTIFICATE_IS_INVALID,
    COREWEBVIEW2_WEB_ERROR_STATUS_SERVER_UNREACHABLE,
    COREWEBVIEW2_WEB_ERROR_STATUS_TIMEOUT,
    COREWEBVIEW2_WEB_ERROR_STATUS_ERROR_HTTP_INVALID_SERVER_RESPONSE,
    COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_ABORTED,
    COREWEBVIEW2_WEB_ERROR_STATUS_CONNECTION_RESET,
    COREWEBVIEW2_WEB_ERROR_STATUS_DISCONNECTED,
    COREWEBVIEW2_WEB_ERROR_STATUS_CANNOT_CONNECT,
    COREWEBVIEW2_WEB_ERROR_STATUS_HOST_NAME_NOT_RESOLVED,
    COREWEBVIEW2_WEB_ERROR_STATUS_OPERATION_CANCELED,
    COREWEBVIEW2_WEB_ERROR_STATUS_REDIRECT_FAILED,
    COREWEBVIEW2_WEB_ERROR_STATUS_UNEXPECTED_ERROR,
    COREWEBVIEW2_WEB_ERROR_STATUS_VALID_AUTHENTICATION_CREDENTIALS_REQUIRED,
    COREWEBVIEW2_WEB_ERROR_STATUS_VALID_PROXY_AUTHENTICATION_REQUIRED,
};
enum COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS {
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_NONE = 0x0,
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_DOCUMENT = 0x1,
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_SHARED_WORKER = 0x2,
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_SERVICE_WORKER = 0x4,
    COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_ALL = 0xFFFFFFFF,
};
DEFINE_ENUM_FLAG_OPERATORS(COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS)
enum COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND {
    COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND_NORMAL,
    COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND_FAILED,
};

inline constexpr IID IID_ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler = {
    0xB99369F3, 0x9B11, 0x47B5, {0xBC, 0x6F, 0x8E, 0x78, 0x95, 0xFC, 0xEA, 0x17}};
inline constexpr IID IID_ICoreWebView2NavigationCompletedEventHandler = {
    0xD33A35BF, 0x1C49, 0x4F98, {0x93, 0xAB, 0x00, 0x6E, 0x05, 0x33, 0xFE, 0x1C}};
inline constexpr IID IID_ICoreWebView2NavigationStartingEventHandler = {
    0x9ADBE429, 0xF36D, 0x432B, {0x9D, 0xDC, 0xF8, 0x88, 0x1F, 0xBD, 0x76, 0xE3}};
inline constexpr IID IID_ICoreWebView2NewWindowRequestedEventHandler = {
    0xD4C185FE, 0xC81C, 0x4989, {0x97, 0xAF, 0x2D, 0x3F, 0xA7, 0xAB, 0x56, 0x51}};
inline constexpr IID IID_ICoreWebView2PermissionRequestedEventHandler = {
    0x15E1C6A3, 0xC72A, 0x4DF3, {0x91, 0xD7, 0xD0, 0x97, 0xFB, 0xEC, 0x6B, 0xFD}};
inline constexpr IID IID_ICoreWebView2WebMessageReceivedEventHandler = {
    0x57213F19, 0x00E6, 0x49FA, {0x8E, 0x07, 0x89, 0x8E, 0xA0, 0x1E, 0xCB, 0xD2}};
inline constexpr IID IID_ICoreWebView2WebResourceRequestedEventHandler = {
    0xAB00B74C, 0x15F1, 0x4646, {0x80, 0xE8, 0xE7, 0x63, 0x41, 0xD2, 0x5D, 0x71}};
inline constexpr IID IID_ICoreWebView2PrintCompletedHandler = {
    0x8FD80075, 0xED08, 0x42DB, {0x85, 0x70, 0xF5, 0xD1, 0x49, 0x77, 0x46, 0x1E}};
inline constexpr IID IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler = {
    0x6C4819F3, 0xC9B7, 0x4260, {0x81, 0x27, 0xC9, 0xF5, 0xBD, 0xE7, 0xF6, 0x8C}};
inline constexpr IID IID_ICoreWebView2 = {
    0x76ECEACB, 0x0462, 0x4D94, {0xAC, 0x83, 0x42, 0x3A, 0x67, 0x93, 0x77, 0x5E}};
inline constexpr IID IID_ICoreWebView2_2 = {
    0x9E8F0CF8, 0xE670, 0x4B5E, {0xB2, 0xBC, 0x73, 0xE0, 0x61, 0xE3, 0x18, 0x4C}};
inline constexpr IID IID_ICoreWebView2_3 = {
    0xA0D6DF20, 0x3B92, 0x416D, {0xAA, 0x0C, 0x43, 0x7A, 0x9C, 0x72, 0x78, 0x57}};
inline constexpr IID IID_ICoreWebView2_4 = {
    0x20D02D59, 0x6DF2, 0x42DC, {0xBD, 0x06, 0xF9, 0x8A, 0x69, 0x4B, 0x13, 0x02}};
inline constexpr IID IID_ICoreWebView2_5 = {
    0xBEDB11B8, 0xD63C, 0x11EB, {0xB8, 0xBC, 0x02, 0x42, 0xAC, 0x13, 0x00, 0x03}};
inline constexpr IID IID_ICoreWebView2_6 = {
    0x499AADAC, 0xD92C, 0x4589, {0x8A, 0x75, 0x11, 0x1B, 0xFC, 0x16, 0x77, 0x95}};
inline constexpr IID IID_ICoreWebView2_7 = {
    0x79C24D83, 0x09A3, 0x45AE, {0x94, 0x18, 0x48, 0x7F, 0x32, 0xA5, 0x87, 0x40}};
inline constexpr IID IID_ICoreWebView2_8 = {
    0xE9632730, 0x6E1E, 0x43AB, {0xB7, 0xB8, 0x7B, 0x2C, 0x9E, 0x62, 0xE0, 0x94}};
inline constexpr IID IID_ICoreWebView2_9 = {
    0x4D7B2EAB, 0x9FDC, 0x468D, {0xB9, 0x98, 0xA9, 0x26, 0x0B, 0x5E, 0xD6, 0x51}};
inline constexpr IID IID_ICoreWebView2_10 = {
    0xB1690564, 0x6F5A, 0x4983, {0x8E, 0x48, 0x31, 0xD1, 0x14, 0x3F, 0xEC, 0xDB}};
inline constexpr IID IID_ICoreWebView2_11 = {
    0x0BE78E56, 0xC193, 0x4051, {0xB9, 0x43, 0x23, 0xB4, 0x60, 0xC0, 0x8B, 0xDB}};
inline constexpr IID IID_ICoreWebView2_12 = {
    0x35D69927, 0xBCFA, 0x4566, {0x93, 0x49, 0x6B, 0x3E, 0x0D, 0x15, 0x4C, 0xAC}};
inline constexpr IID IID_ICoreWebView2_13 = {
    0xF75F09A8, 0x667E, 0x4983, {0x88, 0xD6, 0xC8, 0x77, 0x3F, 0x31, 0x5E, 0x84}};
inline constexpr IID IID_ICoreWebView2_14 = {
    0x6DAA4F10, 0x4A90, 0x4753, {0x88, 0x98, 0x77, 0xC5, 0xDF, 0x53, 0x41, 0x65}};
inline constexpr IID IID_ICoreWebView2_15 = {
    0x517B2D1D, 0x7DAE, 0x4A66, {0xA4, 0xF4, 0x10, 0x35, 0x2F, 0xFB, 0x95, 0x18}};
inline constexpr IID IID_ICoreWebView2_16 = {
    0x0EB34DC9, 0x9F91, 0x41E1, {0x86, 0x39, 0x95, 0xCD, 0x59, 0x43, 0x90, 0x6B}};
inline constexpr IID IID_ICoreWebView2Settings = {
    0xE562E4F0, 0xD7FA, 0x43AC, {0x8D, 0x71, 0xC0, 0x51, 0x50, 0x49, 0x9F, 0x00}};
inline constexpr IID IID_ICoreWebView2Settings2 = {
    0xEE9A0F68, 0xF46C, 0x4E32, {0xAC, 0x23, 0xEF, 0x8C, 0xAC, 0x22, 0x4D, 0x2A}};
inline constexpr IID IID_ICoreWebView2Settings3 = {
    0xFDB5AB74, 0xAF33, 0x4854, {0x84, 0xF0, 0x0A, 0x63, 0x1D, 0xEB, 0x5E, 0xBA}};
inline constexpr IID IID_ICoreWebView2Settings4 = {
    0xCB56846C, 0x4168, 0x4D53, {0xB0, 0x4F, 0x03, 0xB6, 0xD6, 0x79, 0x6F, 0xF2}};
inline constexpr IID IID_ICoreWebView2Controller = {
    0x4D00C0D1, 0x9434, 0x4EB6, {0x80, 0x78, 0x86, 0x97, 0xA5, 0x60, 0x33, 0x4F}};
inline constexpr IID IID_ICoreWebView2Controller2 = {
    0xC979903E, 0xD4CA, 0x4228, {0x92, 0xEB, 0x47, 0xEE, 0x3F, 0xA9, 0x6E, 0xAB}};
inline constexpr IID IID_ICoreWebView2Controller3 = {
    0xF9614724, 0x5D2B, 0x41DC, {0xAE, 0xF7, 0x73, 0xD6, 0x2B, 0x51, 0x54, 0x3B}};
inline constexpr IID IID_ICoreWebView2Environment = {
    0xB96D755E, 0x0319, 0x4E92, {0xA2, 0x96, 0x23, 0x43, 0x6F, 0x46, 0xA1, 0xFC}};
inline constexpr IID IID_ICoreWebView2EnvironmentOptions = {
    0x2FDE08A8, 0x1E9A, 0x4766, {0x8C, 0x05, 0x95, 0xA9, 0xCE, 0xB9, 0xD1, 0xC5}};
inline constexpr IID IID_ICoreWebView2NavigationCompletedEventArgs = {
    0x30D68B7D, 0x20D9, 0x4752, {0xA9, 0xCA, 0xEC, 0x84, 0x48, 0xFB, 0xB5, 0xC1}};
inline constexpr IID IID_ICoreWebView2NavigationStartingEventArgs = {
    0x5B495469, 0xE119, 0x438A, {0x9B, 0x18, 0x76, 0x04, 0xF2, 0x5F, 0x2E, 0x49}};
inline constexpr IID IID_ICoreWebView2NewWindowRequestedEventArgs = {
    0x34ACB11C, 0xFC37, 0x4418, {0x91, 0x32, 0xF9, 0xC2, 0x1D, 0x1E, 0xAF, 0xB9}};
inline constexpr IID IID_ICoreWebView2PermissionRequestedEventArgs = {
    0x973AE2EF, 0xFF18, 0x4894, {0x8F, 0xB2, 0x3C, 0x75, 0x8F, 0x04, 0x68, 0x10}};
inline constexpr IID IID_ICoreWebView2PrintSettings = {
    0x377F3721, 0xC74E, 0x48CA, {0x8D, 0xB1, 0xDF, 0x68, 0xE5, 0x1D, 0x60, 0xE2}};
inline constexpr IID IID_ICoreWebView2PrintSettings2 = {
    0xCA7F0E1F, 0x3484, 0x41D1, {0x8C, 0x1A, 0x65, 0xCD, 0x44, 0xA6, 0x3F, 0x8D}};
inline constexpr IID IID_ICoreWebView2ServerCertificateErrorDetectedEventArgs = {
    0x012193ED, 0x7C13, 0x48FF, {0x96, 0x9D, 0xA8, 0x4C, 0x1F, 0x43, 0x2A, 0x14}};
inline constexpr IID IID_ICoreWebView2WebResourceRequest = {
    0x97055CD4, 0x512C, 0x4264, {0x8B, 0x5F, 0xE3, 0xF4, 0x46, 0xCE, 0xA6, 0xA5}};
inline constexpr IID IID_ICoreWebView2WebResourceRequestedEventArgs = {
    0x453E667F, 0x12C7, 0x49D4, {0xBE, 0x6D, 0xDD, 0xBE, 0x79, 0x56, 0xF5, 0x7A}};
inline constexpr IID IID_ICoreWebView2WebResourceResponse = {
    0xAAFCC94F, 0xFA27, 0x48FD, {0x97, 0xDF, 0x83, 0x0E, 0xF7, 0x5A, 0xAE, 0xC9}};
inline constexpr IID IID_ICoreWebView2BrowserProcessExitedEventArgs = {
    0x1F00663F, 0xAF8C, 0x4782, {0x9C, 0xDD, 0xDD, 0x01, 0xC5, 0x2E, 0x34, 0xCB}};
inline constexpr IID IID_ICoreWebView2Controller4 = {
    0x97D418D5, 0xA426, 0x4E49, {0xA1, 0x51, 0xE1, 0xA1, 0x0F, 0x32, 0x7D, 0x9E}};
inline constexpr IID IID_ICoreWebView2Deferral = {
    0xC10E7F7B, 0xB585, 0x46F0, {0xA6, 0x23, 0x8B, 0xEF, 0xBF, 0x3E, 0x4E, 0xE0}};
inline constexpr IID IID_ICoreWebView2Environment2 = {
    0x41F3632B, 0x5EF4, 0x404F, {0xAD, 0x82, 0x2D, 0x60, 0x6C, 0x5A, 0x9A, 0x21}};
inline constexpr IID IID_ICoreWebView2Environment3 = {
    0x80A22AE3, 0xBE7C, 0x4CE2, {0xAF, 0xE1, 0x5A, 0x50, 0x05, 0x6C, 0xDE, 0xEB}};
inline constexpr IID IID_ICoreWebView2Environment4 = {
    0x20944379, 0x6DCF, 0x41D6, {0xA0, 0xA0, 0xAB, 0xC0, 0xFC, 0x50, 0xDE, 0x0D}};
inline constexpr IID IID_ICoreWebView2BrowserProcessExitedEventHandler = {
    0xFA504257, 0xA216, 0x4911, {0xA8, 0x60, 0xFE, 0x88, 0x25, 0x71, 0x28, 0x61}};
inline constexpr IID IID_ICoreWebView2Environment5 = {
    0x319E423D, 0xE0D7, 0x4B8D, {0x92, 0x54, 0xAE, 0x94, 0x75, 0xDE, 0x9B, 0x17}};
inline constexpr IID IID_ICoreWebView2Environment6 = {
    0xE59EE362, 0xACBD, 0x4857, {0x9A, 0x8E, 0xD3, 0x64, 0x4D, 0x94, 0x59, 0xA9}};
inline constexpr IID IID_ICoreWebView2EnvironmentOptions2 = {
    0xFF85C98A, 0x1BA7, 0x4A6B, {0x90, 0xC8, 0x2B, 0x75, 0x2C, 0x89, 0xE9, 0xE2}};
inline constexpr IID IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler = {
    0x4E8A3389, 0xC9D8, 0x4BD2, {0xB6, 0xB5, 0x12, 0x4F, 0xEE, 0x6C, 0xC1, 0x4D}};
inline constexpr IID IID_ICoreWebView2HttpRequestHeaders = {
    0xE86CAC0E, 0x5523, 0x465C, {0xB5, 0x36, 0x8F, 0xB9, 0xFC, 0x8C, 0x8C, 0x60}};
inline constexpr IID IID_ICoreWebView2Settings5 = {
    0x183E7052, 0x1D03, 0x43A0, {0xAB, 0x99, 0x98, 0xE0, 0x43, 0xB6, 0x6B, 0x39}};
inline constexpr IID IID_ICoreWebView2Settings6 = {
    0x11CB3ACD, 0x9BC8, 0x43B8, {0x83, 0xBF, 0xF4, 0x07, 0x53, 0x71, 0x4F, 0x87}};
inline constexpr IID IID_ICoreWebView2Settings7 = {
    0x488DC902, 0x35EF, 0x42D2, {0xBC, 0x7D, 0x94, 0xB6, 0x5C, 0x4B, 0xC4, 0x9C}};
inline constexpr IID IID_ICoreWebView2WebMessageReceivedEventArgs = {
    0x0F99A40C, 0xE962, 0x4207, {0x9E, 0x92, 0xE3, 0xD5, 0x42, 0xEF, 0xF8, 0x49}};
inline constexpr IID IID_ICoreWebView2ServerCertificateErrorDetectedEventHandler = {
    0x969B3A26, 0xD85E, 0x4795, {0x81, 0x99, 0xFE, 0xF5, 0x73, 0x44, 0xDA, 0x22}};
inline constexpr IID IID_ICoreWebView2_17 = {
    0x702E75D4, 0xFD44, 0x434D, {0x9D, 0x70, 0x1A, 0x68, 0xA6, 0xB1, 0x19, 0x2A}};
inline constexpr IID IID_ICoreWebView2_18 = {
    0x7A626017, 0x28BE, 0x49B2, {0xB8, 0x65, 0x3B, 0xA2, 0xB3, 0x52, 0x2D, 0x90}};
inline constexpr IID IID_ICoreWebView2_19 = {
    0x6921F954, 0x79B0, 0x437F, {0xA9, 0x97, 0xC8, 0x58, 0x11, 0x89, 0x7C, 0x68}};
inline constexpr IID IID_ICoreWebView2_20 = {
    0xB4BC1926, 0x7305, 0x11EE, {0xB9, 0x62, 0x02, 0x42, 0xAC, 0x12, 0x00, 0x02}};
inline constexpr IID IID_ICoreWebView2_21 = {
    0xC4980DEA, 0x587B, 0x43B9, {0x81, 0x43, 0x3E, 0xF3, 0xBF, 0x55, 0x2D, 0x95}};
inline constexpr IID IID_ICoreWebView2_22 = {
    0xDB75DFC7, 0xA857, 0x4632, {0xA3, 0x98, 0x69, 0x69, 0xDD, 0xE2, 0x6C, 0x0A}};

struct ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode, LPCWSTR result) = 0;
};

struct ICoreWebView2NavigationCompletedEventHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                             ICoreWebView2NavigationCompletedEventArgs* args) = 0;
};

struct ICoreWebView2NavigationStartingEventHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                             ICoreWebView2NavigationStartingEventArgs* args) = 0;
};

struct ICoreWebView2NewWindowRequestedEventHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                             ICoreWebView2NewWindowRequestedEventArgs* args) = 0;
};

struct ICoreWebView2PermissionRequestedEventHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                             ICoreWebView2PermissionRequestedEventArgs* args) = 0;
};

struct ICoreWebView2WebMessageReceivedEventHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                             ICoreWebView2WebMessageReceivedEventArgs* args) = 0;
};

struct ICoreWebView2WebResourceRequestedEventHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2* sender,
                                             ICoreWebView2WebResourceRequestedEventArgs* args) = 0;
};

struct ICoreWebView2PrintCompletedHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode,
                                             COREWEBVIEW2_PRINT_STATUS result) = 0;
};

struct ICoreWebView2CreateCoreWebView2ControllerCompletedHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode,
                                             ICoreWebView2Controller* result) = 0;
};

struct ICoreWebView2 : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Settings(ICoreWebView2Settings** settings) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* uri) = 0;
    virtual HRESULT STDMETHODCALLTYPE Navigate(LPCWSTR uri) = 0;
    virtual HRESULT STDMETHODCALLTYPE NavigateToString(LPCWSTR htmlContent) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_NavigationStarting(ICoreWebView2NavigationStartingEventHandler* eventHandler,
                           EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_NavigationStarting(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_ContentLoading(
        ICoreWebView2ContentLoadingEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_ContentLoading(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_SourceChanged(
        ICoreWebView2SourceChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_SourceChanged(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_HistoryChanged(
        ICoreWebView2HistoryChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_HistoryChanged(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_NavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* eventHandler,
                            EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_NavigationCompleted(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_FrameNavigationStarting(ICoreWebView2NavigationStartingEventHandler* eventHandler,
                                EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_FrameNavigationStarting(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_FrameNavigationCompleted(ICoreWebView2NavigationCompletedEventHandler* eventHandler,
                                 EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_FrameNavigationCompleted(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_ScriptDialogOpening(ICoreWebView2ScriptDialogOpeningEventHandler* eventHandler,
                            EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_ScriptDialogOpening(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_PermissionRequested(ICoreWebView2PermissionRequestedEventHandler* eventHandler,
                            EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_PermissionRequested(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_ProcessFailed(
        ICoreWebView2ProcessFailedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_ProcessFailed(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddScriptToExecuteOnDocumentCreated(
        LPCWSTR javaScript,
        ICoreWebView2AddScriptToExecuteOnDocumentCreatedCompletedHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveScriptToExecuteOnDocumentCreated(LPCWSTR id) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    ExecuteScript(LPCWSTR javaScript, ICoreWebView2ExecuteScriptCompletedHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    CapturePreview(COREWEBVIEW2_CAPTURE_PREVIEW_IMAGE_FORMAT imageFormat, IStream* imageStream,
                   ICoreWebView2CapturePreviewCompletedHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reload() = 0;
    virtual HRESULT STDMETHODCALLTYPE PostWebMessageAsJson(LPCWSTR webMessageAsJson) = 0;
    virtual HRESULT STDMETHODCALLTYPE PostWebMessageAsString(LPCWSTR webMessageAsString) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_WebMessageReceived(
        ICoreWebView2WebMessageReceivedEventHandler* handler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_WebMessageReceived(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE CallDevToolsProtocolMethod(
        LPCWSTR methodName, LPCWSTR parametersAsJson,
        ICoreWebView2CallDevToolsProtocolMethodCompletedHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BrowserProcessId(UINT32* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CanGoBack(BOOL* canGoBack) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CanGoForward(BOOL* canGoForward) = 0;
    virtual HRESULT STDMETHODCALLTYPE GoBack() = 0;
    virtual HRESULT STDMETHODCALLTYPE GoForward() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDevToolsProtocolEventReceiver(
        LPCWSTR eventName, ICoreWebView2DevToolsProtocolEventReceiver** receiver) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop() = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_NewWindowRequested(ICoreWebView2NewWindowRequestedEventHandler* eventHandler,
                           EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_NewWindowRequested(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_DocumentTitleChanged(ICoreWebView2DocumentTitleChangedEventHandler* eventHandler,
                             EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_DocumentTitleChanged(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocumentTitle(LPWSTR* title) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddHostObjectToScript(LPCWSTR name, VARIANT* object) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveHostObjectFromScript(LPCWSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenDevToolsWindow() = 0;
    virtual HRESULT STDMETHODCALLTYPE add_ContainsFullScreenElementChanged(
        ICoreWebView2ContainsFullScreenElementChangedEventHandler* eventHandler,
        EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_ContainsFullScreenElementChanged(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_ContainsFullScreenElement(BOOL* containsFullScreenElement) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_WebResourceRequested(ICoreWebView2WebResourceRequestedEventHandler* eventHandler,
                             EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_WebResourceRequested(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddWebResourceRequestedFilter(
        LPCWSTR const uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT const resourceContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveWebResourceRequestedFilter(
        LPCWSTR const uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT const resourceContext) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_WindowCloseRequested(ICoreWebView2WindowCloseRequestedEventHandler* eventHandler,
                             EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_WindowCloseRequested(EventRegistrationToken token) = 0;
};

struct ICoreWebView2_2 : public ICoreWebView2 {
    virtual HRESULT STDMETHODCALLTYPE add_WebResourceResponseReceived(
        ICoreWebView2WebResourceResponseReceivedEventHandler* eventHandler,
        EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_WebResourceResponseReceived(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    NavigateWithWebResourceRequest(ICoreWebView2WebResourceRequest* request) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_DOMContentLoaded(
        ICoreWebView2DOMContentLoadedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_DOMContentLoaded(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_CookieManager(ICoreWebView2CookieManager** cookieManager) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Environment(ICoreWebView2Environment** environment) = 0;
};

struct ICoreWebView2_3 : public ICoreWebView2_2 {
    virtual HRESULT STDMETHODCALLTYPE
    TrySuspend(ICoreWebView2TrySuspendCompletedHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE Resume() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsSuspended(BOOL* isSuspended) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    SetVirtualHostNameToFolderMapping(LPCWSTR hostName, LPCWSTR folderPath,
                                      COREWEBVIEW2_HOST_RESOURCE_ACCESS_KIND accessKind) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearVirtualHostNameToFolderMapping(LPCWSTR hostName) = 0;
};

struct ICoreWebView2_4 : public ICoreWebView2_3 {
    virtual HRESULT STDMETHODCALLTYPE add_FrameCreated(
        ICoreWebView2FrameCreatedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_FrameCreated(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_DownloadStarting(
        ICoreWebView2DownloadStartingEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_DownloadStarting(EventRegistrationToken token) = 0;
};

struct ICoreWebView2_5 : public ICoreWebView2_4 {
    virtual HRESULT STDMETHODCALLTYPE add_ClientCertificateRequested(
        ICoreWebView2ClientCertificateRequestedEventHandler* eventHandler,
        EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_ClientCertificateRequested(EventRegistrationToken token) = 0;
};

struct ICoreWebView2_6 : public ICoreWebView2_5 {
    virtual HRESULT STDMETHODCALLTYPE OpenTaskManagerWindow() = 0;
};

struct ICoreWebView2_7 : public ICoreWebView2_6 {
    virtual HRESULT STDMETHODCALLTYPE
    PrintToPdf(LPCWSTR ResultFilePath, ICoreWebView2PrintSettings* printSettings,
               ICoreWebView2PrintToPdfCompletedHandler* handler) = 0;
};

struct ICoreWebView2_8 : public ICoreWebView2_7 {
    virtual HRESULT STDMETHODCALLTYPE add_IsMutedChanged(
        ICoreWebView2IsMutedChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_IsMutedChanged(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsMuted(BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsMuted(BOOL value) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_IsDocumentPlayingAudioChanged(
        ICoreWebView2IsDocumentPlayingAudioChangedEventHandler* eventHandler,
        EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_IsDocumentPlayingAudioChanged(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsDocumentPlayingAudio(BOOL* value) = 0;
};

struct ICoreWebView2_9 : public ICoreWebView2_8 {
    virtual HRESULT STDMETHODCALLTYPE add_IsDefaultDownloadDialogOpenChanged(
        ICoreWebView2IsDefaultDownloadDialogOpenChangedEventHandler* handler,
        EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_IsDefaultDownloadDialogOpenChanged(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsDefaultDownloadDialogOpen(BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenDefaultDownloadDialog() = 0;
    virtual HRESULT STDMETHODCALLTYPE CloseDefaultDownloadDialog() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DefaultDownloadDialogCornerAlignment(
        COREWEBVIEW2_DEFAULT_DOWNLOAD_DIALOG_CORNER_ALIGNMENT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DefaultDownloadDialogCornerAlignment(
        COREWEBVIEW2_DEFAULT_DOWNLOAD_DIALOG_CORNER_ALIGNMENT value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DefaultDownloadDialogMargin(POINT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DefaultDownloadDialogMargin(POINT value) = 0;
};

struct ICoreWebView2_10 : public ICoreWebView2_9 {
    virtual HRESULT STDMETHODCALLTYPE add_BasicAuthenticationRequested(
        ICoreWebView2BasicAuthenticationRequestedEventHandler* eventHandler,
        EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_BasicAuthenticationRequested(EventRegistrationToken token) = 0;
};

struct ICoreWebView2_11 : public ICoreWebView2_10 {
    virtual HRESULT STDMETHODCALLTYPE CallDevToolsProtocolMethodForSession(
        LPCWSTR sessionId, LPCWSTR methodName, LPCWSTR parametersAsJson,
        ICoreWebView2CallDevToolsProtocolMethodCompletedHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_ContextMenuRequested(ICoreWebView2ContextMenuRequestedEventHandler* eventHandler,
                             EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_ContextMenuRequested(EventRegistrationToken token) = 0;
};

struct ICoreWebView2_12 : public ICoreWebView2_11 {
    virtual HRESULT STDMETHODCALLTYPE
    add_StatusBarTextChanged(ICoreWebView2StatusBarTextChangedEventHandler* eventHandler,
                             EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_StatusBarTextChanged(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_StatusBarText(LPWSTR* value) = 0;
};

struct ICoreWebView2_13 : public ICoreWebView2_12 {
    virtual HRESULT STDMETHODCALLTYPE get_Profile(ICoreWebView2Profile** value) = 0;
};

struct ICoreWebView2_14 : public ICoreWebView2_13 {
    virtual HRESULT STDMETHODCALLTYPE add_ServerCertificateErrorDetected(
        ICoreWebView2ServerCertificateErrorDetectedEventHandler* eventHandler,
        EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_ServerCertificateErrorDetected(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearServerCertificateErrorActions(
        ICoreWebView2ClearServerCertificateErrorActionsCompletedHandler* handler) = 0;
};

struct ICoreWebView2_15 : public ICoreWebView2_14 {
    virtual HRESULT STDMETHODCALLTYPE add_FaviconChanged(
        ICoreWebView2FaviconChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_FaviconChanged(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FaviconUri(LPWSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    GetFavicon(COREWEBVIEW2_FAVICON_IMAGE_FORMAT format,
               ICoreWebView2GetFaviconCompletedHandler* completedHandler) = 0;
};

struct ICoreWebView2_16 : public ICoreWebView2_15 {
    virtual HRESULT STDMETHODCALLTYPE Print(ICoreWebView2PrintSettings* printSettings,
                                            ICoreWebView2PrintCompletedHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    ShowPrintUI(COREWEBVIEW2_PRINT_DIALOG_KIND printDialogKind) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    PrintToPdfStream(ICoreWebView2PrintSettings* printSettings,
                     ICoreWebView2PrintToPdfStreamCompletedHandler* handler) = 0;
};

struct ICoreWebView2Settings : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_IsScriptEnabled(BOOL* isScriptEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsScriptEnabled(BOOL isScriptEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsWebMessageEnabled(BOOL* isWebMessageEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsWebMessageEnabled(BOOL isWebMessageEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_AreDefaultScriptDialogsEnabled(BOOL* areDefaultScriptDialogsEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    put_AreDefaultScriptDialogsEnabled(BOOL areDefaultScriptDialogsEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsStatusBarEnabled(BOOL* isStatusBarEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsStatusBarEnabled(BOOL isStatusBarEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AreDevToolsEnabled(BOOL* areDevToolsEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AreDevToolsEnabled(BOOL areDevToolsEnabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AreDefaultContextMenusEnabled(BOOL* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AreDefaultContextMenusEnabled(BOOL enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AreHostObjectsAllowed(BOOL* allowed) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AreHostObjectsAllowed(BOOL allowed) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsZoomControlEnabled(BOOL* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsZoomControlEnabled(BOOL enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsBuiltInErrorPageEnabled(BOOL* enabled) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsBuiltInErrorPageEnabled(BOOL enabled) = 0;
};

struct ICoreWebView2Settings2 : public ICoreWebView2Settings {
    virtual HRESULT STDMETHODCALLTYPE get_UserAgent(LPWSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_UserAgent(LPCWSTR value) = 0;
};

struct ICoreWebView2Settings3 : public ICoreWebView2Settings2 {
    virtual HRESULT STDMETHODCALLTYPE get_AreBrowserAcceleratorKeysEnabled(BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AreBrowserAcceleratorKeysEnabled(BOOL value) = 0;
};

struct ICoreWebView2Settings4 : public ICoreWebView2Settings3 {
    virtual HRESULT STDMETHODCALLTYPE get_IsPasswordAutosaveEnabled(BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsPasswordAutosaveEnabled(BOOL value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsGeneralAutofillEnabled(BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsGeneralAutofillEnabled(BOOL value) = 0;
};

struct ICoreWebView2Controller : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_IsVisible(BOOL* isVisible) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsVisible(BOOL isVisible) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Bounds(RECT* bounds) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Bounds(RECT bounds) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ZoomFactor(double* zoomFactor) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ZoomFactor(double zoomFactor) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_ZoomFactorChanged(ICoreWebView2ZoomFactorChangedEventHandler* eventHandler,
                          EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_ZoomFactorChanged(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetBoundsAndZoomFactor(RECT bounds, double zoomFactor) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveFocus(COREWEBVIEW2_MOVE_FOCUS_REASON reason) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_MoveFocusRequested(ICoreWebView2MoveFocusRequestedEventHandler* eventHandler,
                           EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_MoveFocusRequested(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_GotFocus(
        ICoreWebView2FocusChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_GotFocus(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_LostFocus(
        ICoreWebView2FocusChangedEventHandler* eventHandler, EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_LostFocus(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_AcceleratorKeyPressed(ICoreWebView2AcceleratorKeyPressedEventHandler* eventHandler,
                              EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_AcceleratorKeyPressed(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ParentWindow(HWND* parentWindow) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ParentWindow(HWND parentWindow) = 0;
    virtual HRESULT STDMETHODCALLTYPE NotifyParentWindowPositionChanged() = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CoreWebView2(ICoreWebView2** coreWebView2) = 0;
};

struct ICoreWebView2Controller2 : public ICoreWebView2Controller {
    virtual HRESULT STDMETHODCALLTYPE get_DefaultBackgroundColor(COREWEBVIEW2_COLOR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DefaultBackgroundColor(COREWEBVIEW2_COLOR value) = 0;
};

struct ICoreWebView2Controller3 : public ICoreWebView2Controller2 {
    virtual HRESULT STDMETHODCALLTYPE get_RasterizationScale(double* scale) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_RasterizationScale(double scale) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ShouldDetectMonitorScaleChanges(BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ShouldDetectMonitorScaleChanges(BOOL value) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    add_RasterizationScaleChanged(ICoreWebView2RasterizationScaleChangedEventHandler* eventHandler,
                                  EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_RasterizationScaleChanged(EventRegistrationToken token) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BoundsMode(COREWEBVIEW2_BOUNDS_MODE* boundsMode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_BoundsMode(COREWEBVIEW2_BOUNDS_MODE boundsMode) = 0;
};

struct ICoreWebView2Environment : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateCoreWebView2Controller(
        HWND parentWindow, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    CreateWebResourceResponse(IStream* content, int statusCode, LPCWSTR reasonPhrase,
                              LPCWSTR headers, ICoreWebView2WebResourceResponse** response) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BrowserVersionString(LPWSTR* versionInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE add_NewBrowserVersionAvailable(
        ICoreWebView2NewBrowserVersionAvailableEventHandler* eventHandler,
        EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_NewBrowserVersionAvailable(EventRegistrationToken token) = 0;
};

struct ICoreWebView2EnvironmentOptions : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_AdditionalBrowserArguments(LPWSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AdditionalBrowserArguments(LPCWSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Language(LPWSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Language(LPCWSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_TargetCompatibleBrowserVersion(LPWSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_TargetCompatibleBrowserVersion(LPCWSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_AllowSingleSignOnUsingOSPrimaryAccount(BOOL* allow) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AllowSingleSignOnUsingOSPrimaryAccount(BOOL allow) = 0;
};

struct ICoreWebView2NavigationCompletedEventArgs : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_IsSuccess(BOOL* isSuccess) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_WebErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* webErrorStatus) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NavigationId(UINT64* navigationId) = 0;
};

struct ICoreWebView2NavigationStartingEventArgs : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* isUserInitiated) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsRedirected(BOOL* isRedirected) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_RequestHeaders(ICoreWebView2HttpRequestHeaders** requestHeaders) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Cancel(BOOL* cancel) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Cancel(BOOL cancel) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NavigationId(UINT64* navigationId) = 0;
};

struct ICoreWebView2NewWindowRequestedEventArgs : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_NewWindow(ICoreWebView2* newWindow) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NewWindow(ICoreWebView2** newWindow) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Handled(BOOL handled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Handled(BOOL* handled) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* isUserInitiated) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_WindowFeatures(ICoreWebView2WindowFeatures** value) = 0;
};

struct ICoreWebView2PermissionRequestedEventArgs : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_PermissionKind(COREWEBVIEW2_PERMISSION_KIND* permissionKind) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsUserInitiated(BOOL* isUserInitiated) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_State(COREWEBVIEW2_PERMISSION_STATE* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_State(COREWEBVIEW2_PERMISSION_STATE state) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) = 0;
};

struct ICoreWebView2PrintSettings : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE
    get_Orientation(COREWEBVIEW2_PRINT_ORIENTATION* orientation) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    put_Orientation(COREWEBVIEW2_PRINT_ORIENTATION orientation) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ScaleFactor(double* scaleFactor) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ScaleFactor(double scaleFactor) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PageWidth(double* pageWidth) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_PageWidth(double pageWidth) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PageHeight(double* pageHeight) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_PageHeight(double pageHeight) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MarginTop(double* marginTop) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MarginTop(double marginTop) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MarginBottom(double* marginBottom) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MarginBottom(double marginBottom) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MarginLeft(double* marginLeft) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MarginLeft(double marginLeft) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MarginRight(double* marginRight) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MarginRight(double marginRight) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ShouldPrintBackgrounds(BOOL* shouldPrintBackgrounds) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ShouldPrintBackgrounds(BOOL shouldPrintBackgrounds) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_ShouldPrintSelectionOnly(BOOL* shouldPrintSelectionOnly) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    put_ShouldPrintSelectionOnly(BOOL shouldPrintSelectionOnly) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_ShouldPrintHeaderAndFooter(BOOL* shouldPrintHeaderAndFooter) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    put_ShouldPrintHeaderAndFooter(BOOL shouldPrintHeaderAndFooter) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_HeaderTitle(LPWSTR* headerTitle) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_HeaderTitle(LPCWSTR headerTitle) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_FooterUri(LPWSTR* footerUri) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_FooterUri(LPCWSTR footerUri) = 0;
};

struct ICoreWebView2PrintSettings2 : public ICoreWebView2PrintSettings {
    virtual HRESULT STDMETHODCALLTYPE get_PageRanges(LPWSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_PageRanges(LPCWSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PagesPerSide(INT32* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_PagesPerSide(INT32 value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Copies(INT32* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Copies(INT32 value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Collation(COREWEBVIEW2_PRINT_COLLATION* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Collation(COREWEBVIEW2_PRINT_COLLATION value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ColorMode(COREWEBVIEW2_PRINT_COLOR_MODE* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ColorMode(COREWEBVIEW2_PRINT_COLOR_MODE value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Duplex(COREWEBVIEW2_PRINT_DUPLEX* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Duplex(COREWEBVIEW2_PRINT_DUPLEX value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_MediaSize(COREWEBVIEW2_PRINT_MEDIA_SIZE* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_MediaSize(COREWEBVIEW2_PRINT_MEDIA_SIZE value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_PrinterName(LPWSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_PrinterName(LPCWSTR value) = 0;
};

struct ICoreWebView2ServerCertificateErrorDetectedEventArgs : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_ErrorStatus(COREWEBVIEW2_WEB_ERROR_STATUS* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_RequestUri(LPWSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ServerCertificate(ICoreWebView2Certificate** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_Action(COREWEBVIEW2_SERVER_CERTIFICATE_ERROR_ACTION* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    put_Action(COREWEBVIEW2_SERVER_CERTIFICATE_ERROR_ACTION value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) = 0;
};

struct ICoreWebView2WebResourceRequest : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Uri(LPWSTR* uri) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Uri(LPCWSTR uri) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Method(LPWSTR* method) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Method(LPCWSTR method) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Content(IStream** content) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Content(IStream* content) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Headers(ICoreWebView2HttpRequestHeaders** headers) = 0;
};

struct ICoreWebView2WebResourceRequestedEventArgs : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Request(ICoreWebView2WebResourceRequest** request) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Response(ICoreWebView2WebResourceResponse** response) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Response(ICoreWebView2WebResourceResponse* response) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeferral(ICoreWebView2Deferral** deferral) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    get_ResourceContext(COREWEBVIEW2_WEB_RESOURCE_CONTEXT* context) = 0;
};

struct ICoreWebView2WebResourceResponse : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Content(IStream** content) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Content(IStream* content) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Headers(ICoreWebView2HttpResponseHeaders** headers) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_StatusCode(int* statusCode) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_StatusCode(int statusCode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ReasonPhrase(LPWSTR* reasonPhrase) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ReasonPhrase(LPCWSTR reasonPhrase) = 0;
};

struct ICoreWebView2BrowserProcessExitedEventArgs : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE
    get_BrowserProcessExitKind(COREWEBVIEW2_BROWSER_PROCESS_EXIT_KIND* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_BrowserProcessId(UINT32* value) = 0;
};

struct ICoreWebView2Controller4 : public ICoreWebView2Controller3 {
    virtual HRESULT STDMETHODCALLTYPE get_AllowExternalDrop(BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_AllowExternalDrop(BOOL value) = 0;
};

struct ICoreWebView2Deferral : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Complete() = 0;
};

struct ICoreWebView2Environment2 : public ICoreWebView2Environment {
    virtual HRESULT STDMETHODCALLTYPE
    CreateWebResourceRequest(LPCWSTR uri, LPCWSTR Method, IStream* postData, LPCWSTR Headers,
                             ICoreWebView2WebResourceRequest** value) = 0;
};

struct ICoreWebView2Environment3 : public ICoreWebView2Environment2 {
    virtual HRESULT STDMETHODCALLTYPE CreateCoreWebView2CompositionController(
        HWND ParentWindow,
        ICoreWebView2CreateCoreWebView2CompositionControllerCompletedHandler* handler) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    CreateCoreWebView2PointerInfo(ICoreWebView2PointerInfo** value) = 0;
};

struct ICoreWebView2Environment4 : public ICoreWebView2Environment3 {
    virtual HRESULT STDMETHODCALLTYPE GetAutomationProviderForWindow(HWND hwnd,
                                                                     IUnknown** value) = 0;
};

struct ICoreWebView2BrowserProcessExitedEventHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(ICoreWebView2Environment* sender,
                                             ICoreWebView2BrowserProcessExitedEventArgs* args) = 0;
};

struct ICoreWebView2Environment5 : public ICoreWebView2Environment4 {
    virtual HRESULT STDMETHODCALLTYPE
    add_BrowserProcessExited(ICoreWebView2BrowserProcessExitedEventHandler* eventHandler,
                             EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE remove_BrowserProcessExited(EventRegistrationToken token) = 0;
};

struct ICoreWebView2Environment6 : public ICoreWebView2Environment5 {
    virtual HRESULT STDMETHODCALLTYPE CreatePrintSettings(ICoreWebView2PrintSettings** value) = 0;
};

struct ICoreWebView2EnvironmentOptions2 : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_ExclusiveUserDataFolderAccess(BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_ExclusiveUserDataFolderAccess(BOOL value) = 0;
};

struct ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Invoke(HRESULT errorCode,
                                             ICoreWebView2Environment* result) = 0;
};

struct ICoreWebView2HttpRequestHeaders : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetHeader(LPCWSTR name, LPWSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    GetHeaders(LPCWSTR name, ICoreWebView2HttpHeadersCollectionIterator** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Contains(LPCWSTR name, BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHeader(LPCWSTR name, LPCWSTR value) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveHeader(LPCWSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    GetIterator(ICoreWebView2HttpHeadersCollectionIterator** value) = 0;
};

struct ICoreWebView2Settings5 : public ICoreWebView2Settings4 {
    virtual HRESULT STDMETHODCALLTYPE get_IsPinchZoomEnabled(BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsPinchZoomEnabled(BOOL value) = 0;
};

struct ICoreWebView2Settings6 : public ICoreWebView2Settings5 {
    virtual HRESULT STDMETHODCALLTYPE get_IsSwipeNavigationEnabled(BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_IsSwipeNavigationEnabled(BOOL value) = 0;
};

struct ICoreWebView2Settings7 : public ICoreWebView2Settings6 {
    virtual HRESULT STDMETHODCALLTYPE
    get_HiddenPdfToolbarItems(COREWEBVIEW2_PDF_TOOLBAR_ITEMS* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    put_HiddenPdfToolbarItems(COREWEBVIEW2_PDF_TOOLBAR_ITEMS value) = 0;
};

struct ICoreWebView2WebMessageReceivedEventArgs : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Source(LPWSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_WebMessageAsJson(LPWSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE TryGetWebMessageAsString(LPWSTR* value) = 0;
};

struct ICoreWebView2ServerCertificateErrorDetectedEventHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE
    Invoke(ICoreWebView2* sender, ICoreWebView2ServerCertificateErrorDetectedEventArgs* args) = 0;
};

struct ICoreWebView2_17 : public ICoreWebView2_16 {
    virtual HRESULT STDMETHODCALLTYPE PostSharedBufferToScript(
        ICoreWebView2SharedBuffer* sharedBuffer, COREWEBVIEW2_SHARED_BUFFER_ACCESS access,
        LPCWSTR additionalDataAsJson) = 0;
};

struct ICoreWebView2_18 : public ICoreWebView2_17 {
    virtual HRESULT STDMETHODCALLTYPE add_LaunchingExternalUriScheme(
        ICoreWebView2LaunchingExternalUriSchemeEventHandler* eventHandler,
        EventRegistrationToken* token) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    remove_LaunchingExternalUriScheme(EventRegistrationToken token) = 0;
};

struct ICoreWebView2_19 : public ICoreWebView2_18 {
    virtual HRESULT STDMETHODCALLTYPE
    get_MemoryUsageTargetLevel(COREWEBVIEW2_MEMORY_USAGE_TARGET_LEVEL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    put_MemoryUsageTargetLevel(COREWEBVIEW2_MEMORY_USAGE_TARGET_LEVEL value) = 0;
};

struct ICoreWebView2_20 : public ICoreWebView2_19 {
    virtual HRESULT STDMETHODCALLTYPE get_FrameId(UINT32* value) = 0;
};

struct ICoreWebView2_21 : public ICoreWebView2_20 {
    virtual HRESULT STDMETHODCALLTYPE ExecuteScriptWithResult(
        LPCWSTR javaScript, ICoreWebView2ExecuteScriptWithResultCompletedHandler* handler) = 0;
};

struct ICoreWebView2_22 : public ICoreWebView2_21 {
    virtual HRESULT STDMETHODCALLTYPE AddWebResourceRequestedFilterWithRequestSourceKinds(
        LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT ResourceContext,
        COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS requestSourceKinds) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveWebResourceRequestedFilterWithRequestSourceKinds(
        LPCWSTR uri, COREWEBVIEW2_WEB_RESOURCE_CONTEXT ResourceContext,
        COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS requestSourceKinds) = 0;
};
