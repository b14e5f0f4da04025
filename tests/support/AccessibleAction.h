// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QWidget>

// Runs a control's accessible action by name, as a screen reader does over AT-SPI: for a
// checkable button "Toggle" calls toggle(), which emits `toggled` but never `clicked`.
// Returns false when the control does not offer the action.
inline bool doAccessibleAction(QWidget* control, const QString& action) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    QAccessibleActionInterface* actions = accessible ? accessible->actionInterface() : nullptr;
    if (!actions || !actions->actionNames().contains(action))
        return false;
    actions->doAction(action);
    return true;
}
