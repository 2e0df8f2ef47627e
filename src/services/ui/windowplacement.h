#pragma once

class QWidget;

// Window frame helpers shared by the program's own dialogs.

// A dialog with a title bar but no close box: the operator leaves it through its buttons.
void withoutCloseBox(QWidget& window);

// Moves the window to the middle of the screen it is on (its size taken from its layout).
void centerOnScreen(QWidget& window);
