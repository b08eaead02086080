#pragma once

class QWidget;

// Keeps the window above all others (or makes it ordinary again) without
// moving, resizing or activating it.
void SetOnTop(QWidget *window, bool onTop);
