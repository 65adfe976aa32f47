// The product executable: nothing is attached, every operation is the desktop's own.
#include "app/desktop_attachment_qt.h"

DesktopAttachment AttachToDesktopApplication() {
    return {};
}
