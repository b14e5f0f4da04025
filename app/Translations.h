// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;
class QLocale;

// The user's language for the program's texts. English is the source language and needs no
// catalogue; for German and French the program's own catalogue is built in, and Qt's (for its
// context menus and dialog buttons) is taken from the system when it is installed.
namespace translations {
// Installs the catalogues for `locale` into `app`; true when the program's own was found.
bool install(QCoreApplication& app, const QLocale& locale);
} // namespace translations
