#pragma once
// The Qt side of the application's observer: the widgets a watcher looks at or acts on, handed
// over when they exist. Null unless the entry point attached one.
#include "common/app_observer.h"

class QWidget;
class QWebEngineView;

namespace AppObservers {

class QtObserver : public AppObserver {
  public:
    // The main window and its browser view, once the browser has started.
    virtual void MainWindowReady(QWidget* window, QWebEngineView* view) = 0;
    // The printer picker is on screen; its modal loop is running.
    virtual void PrinterPickerShown(QWidget* dialog) = 0;
};

QtObserver* CurrentQt();
// Attaches the observer for both the portable reports and the Qt hand-overs; null detaches.
void AttachQt(QtObserver* observer);

}  // namespace AppObservers
