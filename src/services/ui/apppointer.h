#pragma once

// The application-wide mouse pointer. The program sets it as a whole, over every window: the hourglass
// while it works, then the icon pointer (shown as the arrow) once it is idle again. It stays as set until
// the next change.
enum class AppPointer { Hourglass, Icon };

void setAppPointer(AppPointer pointer);
