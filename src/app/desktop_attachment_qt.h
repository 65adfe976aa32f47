#pragma once
// What an executable attaches to the desktop application around the product's own code: the
// product attaches nothing, the end-to-end build its observer and its own answers to the
// operations a test cannot let reach the desktop (a modal box, the default browser).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/app_observer_qt.h"
#include "common/message_box.h"

struct DesktopAttachment {
    std::unique_ptr<AppObservers::QtObserver> observer;
    // Each replaces the desktop's own operation when set.
    std::function<MessageBoxResult(const MessageBoxRequest&)> showMessage;
    std::function<void(const std::u16string&)> openInBrowser;
    // Chromium switches added after the product's own.
    std::vector<std::string> chromiumArguments;
};

// Defined once per executable, next to its entry point.
DesktopAttachment AttachToDesktopApplication();
