// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "app/Translations.h"
#include "radio/PopoverView.h"
#include "radio/RadioViewController.h"
#include "util/TextUtils.h"

#include <QtTest>
#include <QtWidgets>

// The program's panel under the LANG the test runs with (en, de or fr): a few texts and a count in
// that language, and no English text left where a translation exists.
namespace {
// Every text the panel and its menus show or give a screen reader.
QSet<QString> shownTexts(QWidget* root) {
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2}"));
    QSet<QString> texts;
    const auto add = [&](const QString& text) {
        if (text.contains(word))
            texts.insert(text);
    };
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.append(root);
    for (QWidget* w : widgets) {
        for (const char* property :
             {"text", "title", "placeholderText", "toolTip", "accessibleName", "accessibleDescription"})
            add(w->property(property).toString());
        for (const QAction* action : w->actions())
            add(action->text());
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i)
                add(combo->itemText(i));
        if (auto* bar = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < bar->count(); ++i)
                add(bar->tabText(i));
    }
    return texts;
}

// The texts a catalogue keeps as they are ("Status", "%1 minutes"), as patterns matching filled-in numbers.
QList<QRegularExpression> keptAsTheyAre(const QString& language) {
    QFile file(QStringLiteral(OSTREL_SOURCE_DIR "/resources/translations/ostrel_%1.ts").arg(language));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QRegularExpression> kept{
        QRegularExpression(QStringLiteral("^https?://\\S+$"))}; // example addresses
    QXmlStreamReader xml(&file);
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"source") {
            source = xml.readElementText(QXmlStreamReader::SkipChildElements);
        } else if (xml.name() == u"translation" &&
                   xml.readElementText(QXmlStreamReader::SkipChildElements) == source) {
            QString pattern = QRegularExpression::escape(source);
            pattern.replace(QRegularExpression(QStringLiteral("\\\\%[0-9n]")), QStringLiteral("\\d+"));
            kept.append(QRegularExpression(u'^' + pattern + u'$'));
        }
    }
    return kept;
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            qputenv(name, home_.filePath(QString::fromLatin1(name)).toUtf8());
    }

    void panelSpeaksTheLanguage() {
        const QString language = QLocale().name().section(u'_', 0, 0);
        // The Play button, the first and last tab, the failure and a count.
        const QHash<QString, QStringList> expected{
            {"en", {"Play", "Stations", "General", "⚠️ Server not working!", "1,234 Stations"}},
            {"de", {"Abspielen", "Sender", "Allgemein", "⚠️ Server funktioniert nicht!", "1.234 Sender"}},
            {"fr",
             {"Lecture", "Stations", "Général", "⚠️ Le serveur ne fonctionne pas !",
              "1\u202f234 stations"}},
        };
        QVERIFY2(expected.contains(language), "run under LANG=en_US.UTF-8, de_DE.UTF-8 or fr_FR.UTF-8");

        QSet<QString> english;
        {
            auto delegate = launch();
            PopoverView* view = delegate->controller()->view();
            QTRY_COMPARE_WITH_TIMEOUT(delegate->controller()->message(), RadioViewController::serverNotWorkingText(),
                                      30000);
            english = shownTexts(view);
        }
        QVERIFY(english.contains(QStringLiteral("Play")));

        // English is the source language: it has no catalogue, and the texts stay the sources.
        QCOMPARE(translations::install(*qApp, QLocale()), language != u"en");
        auto delegate = launch();
        PopoverView* view = delegate->controller()->view();
        QTRY_COMPARE_WITH_TIMEOUT(delegate->controller()->message(), expected[language].at(3), 30000);
        const QString count =
            text::countOf(1234, QCoreApplication::translate("RadioViewController", "Station"),
                          QCoreApplication::translate("RadioViewController", "Stations"));
        // What the user sees and a screen reader reads.
        const auto* tabs = view->findChild<QTabWidget*>(QStringLiteral("tabs"));
        QCOMPARE((QStringList{view->findChild<QWidget*>(QStringLiteral("play"))->accessibleName(), tabs->tabText(0),
                              tabs->tabText(tabs->count() - 1),
                              view->findChild<QLabel*>(QStringLiteral("message"))->text(), count}),
                 expected[language]);

        if (language == u"en")
            return;
        QSet<QString> leftInEnglish = english & shownTexts(view);
        leftInEnglish.remove(QStringLiteral("Ostrel Radio"));
        // Day names (the wake-up alarm's) come from the locale, in its language in both runs.
        for (int day = Qt::Monday; day <= Qt::Sunday; ++day)
            for (QLocale::FormatType format : {QLocale::LongFormat, QLocale::ShortFormat})
                leftInEnglish.remove(QLocale().dayName(day, format));
        for (const QRegularExpression& kept : keptAsTheyAre(language))
            leftInEnglish.removeIf([&kept](const QString& text) { return kept.match(text).hasMatch(); });
        QVERIFY2(leftInEnglish.isEmpty(),
                 qPrintable(QStringList(leftInEnglish.begin(), leftInEnglish.end()).join(u" | ")));
    }

private:
    std::unique_ptr<AppDelegate> launch() {
        CommandLine options;
        options.server = QStringLiteral("http://127.0.0.1:9"); // nothing listens: the failure shows at once
        options.discovery = options.server;
        auto delegate = std::make_unique<AppDelegate>(options);
        delegate->applicationWillFinishLaunching();
        delegate->applicationDidFinishLaunching();
        return delegate;
    }

    QTemporaryDir home_;
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
