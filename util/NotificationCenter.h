#pragma once

#include <QObject>
#include <QVariantMap>

// Program-wide notifications by name, for parts that must not know each other: a panel posts,
// the controller observes. One instance, made by the application and passed to both.
class NotificationCenter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void post(const QString& name, const QVariantMap& userInfo) { Q_EMIT posted(name, userInfo); }

Q_SIGNALS:
    void posted(const QString& name, const QVariantMap& userInfo);
};

// A strip tile asks for a station to be loaded: userInfo "station" (a Station) and "play" (bool).
inline const QString kLoadStationNotification = QStringLiteral("kLoadStationNotification");
