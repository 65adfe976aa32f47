#pragma once
// The start-up splash: the product artwork, frameless and always on top, centred on the primary
// screen. Any part of the program may close it; closing when none is open does nothing.

// Returns false when no splash could be shown (start-up goes on without one). 0 means the
// default box of 700 × 450.
bool ShowSplash(int maxWidth, int maxHeight);
void CloseSplash();
// Puts an open splash back above a window opened after it, painted. A window manager that honours
// "stays on top" keeps it there anyway; without one, the newest window would cover it.
void RaiseSplash();
