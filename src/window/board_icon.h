#pragma once

#include <QIcon>

// The board's window icon, in every size drawn for it (resources/icon, made by
// scripts/make-icon.py): a see-through pane with a toolbar band and a freehand stroke.
QIcon boardIcon();
