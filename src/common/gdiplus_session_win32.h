#pragma once
// GDI+ for the life of its owner: started by the constructor, stopped by the destructor when the
// start succeeded. The application object holds one from start-up to shutdown.
#include <windows.h>
// GDI+ needs the COM types first (this build leaves them out of windows.h).
#include <objidl.h>
#include <wtypes.h>
// Last, after the types it uses.
#include <gdiplus.h>

namespace Win32 {

class GdiplusSession {
  public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (started_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool Started() const { return started_; }

  private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

}  // namespace Win32
