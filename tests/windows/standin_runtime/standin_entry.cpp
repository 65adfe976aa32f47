// The export the loader calls in a runtime's client library, as the stand-in answers it.
#include "common/win32_resources_win32.h"
#include "host/webview2_com_webview2.h"
#include "standin_environment.h"
#include "standin_log.h"
#include "standin_options.h"
#include "standin_switches.h"
#include "standin_thread_queue.h"

using EnvironmentCompletedHandler = ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler;

extern "C" __declspec(dllexport) HRESULT STDMETHODCALLTYPE
    CreateWebViewEnvironmentWithOptionsInternal(bool checkRunningInstance, int runtimeType,
                                                PCWSTR userDataFolder, IUnknown* environmentOptions,
                                                EnvironmentCompletedHandler* handler) {
    Standin::AppendLogLine({
        {"call", "CreateWebViewEnvironmentWithOptionsInternal"},
        {"checkRunningInstance", checkRunningInstance},
        {"runtimeType", runtimeType},
        {"userDataFolder", Standin::TextOrNull(userDataFolder)},
        {"options", Standin::OptionsValues(environmentOptions)},
        {"variables", Standin::WebView2Variables()},
        {"library", Standin::ThisLibraryPath()},
        {"thread", GetCurrentThreadId()},
    });
    if (handler == nullptr) return E_POINTER;
    const Standin::StepBehaviour call = Standin::BehaviourOf("ENVIRONMENT_CALL");
    if (call.failure) return *call.failure;

    const Standin::StepBehaviour completion = Standin::BehaviourOf("ENVIRONMENT");
    if (completion.neverCompletes) return S_OK;
    const Win32::ComPtr<EnvironmentCompletedHandler> heldHandler(handler);
    const std::optional<HRESULT> failure = completion.failure;
    return Standin::PostToCallingThread([heldHandler, failure] {
        // A failure hands over no environment, whatever code it carries.
        const auto environment =
            failure ? Win32::ComPtr<ICoreWebView2Environment>() : Standin::MakeEnvironment();
        heldHandler->Invoke(failure.value_or(S_OK), environment.Get());
    });
}
