#pragma once

#include "WindowHandle.h"

class QWidget;
class QWindow;

// The window of this process whose native window id is hwnd, or nullptr. Only windows that
// already have a native window are considered; none is created by looking.
QWindow* findWindow(HWND hwnd);
// The top-level widget shown in that window, or nullptr for a bare QWindow.
QWidget* findWidget(HWND hwnd);
