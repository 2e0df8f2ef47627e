#pragma once

#include <QString>

#include <optional>

class QWidget;

// ScegliCartella: the folder browser over the owner, titled "C:\", in which only folders can be
// chosen. Returns the folder in the platform's own form, without a trailing separator unless it is a
// root, or nothing when the operator cancels.
std::optional<QString> ScegliCartella(QWidget* owner);
