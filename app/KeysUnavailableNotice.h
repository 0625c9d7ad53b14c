#pragma once

class QWidget;

// Tells the user, once and without holding up the window, that the desktop gave no global
// keys and which routes are left.
void showKeysUnavailable(QWidget* window);
