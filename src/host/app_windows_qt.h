#pragma once
// The init and player windows on Qt Widgets: creation, the browser host each owns, the handlers
// wired into that host and the window commands pages ask for.
#include <QPointer>
#include <QWidget>

namespace WebView {
class WebViewHost;
}

namespace AppWindows {

// The player window as the content display and the page commands see it.
struct PlayerWindowState {
    bool isFullscreen = false;
    bool isShown = false;
    QPointer<QWidget> window;
};
PlayerWindowState& PlayerState();

WebView::WebViewHost* PlayerHost();
WebView::WebViewHost* InitHost();

// The player mode's first window: it shows the loading text while the link is decoded and later
// hosts the content. Null when it could not be made.
QWidget* CreateLoadingWindow();
bool CreatePlayerWindow(QWidget* window);
// `hostCreated` tells a failed browser start (already reported) from a window that never existed.
bool CreateInitScreen(bool& hostCreated);
// Shuts the browser hosts down; safe to call more than once.
void DestroyHosts();

}  // namespace AppWindows
