// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace translations {

bool install(QCoreApplication& app, const QLocale& locale) {
    auto* own = new QTranslator(&app);
    const bool found =
        own->load(locale, QStringLiteral("ostrel"), QStringLiteral("_"), QStringLiteral(":/i18n"));
    if (found)
        QCoreApplication::installTranslator(own);
    else
        delete own;

    auto* qt = new QTranslator(&app);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    return found;
}

} // namespace translations
