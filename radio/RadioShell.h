// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>

// What the controller needs of the application around it. The application delegate answers
// for the program; tests answer with recorders.
class RadioShell {
public:
    virtual ~RadioShell() = default;
    // The error sound of an action that cannot act.
    virtual void beep() = 0;
    // Opens an address in the user's browser.
    virtual void openURL(const QUrl& url) = 0;
};
