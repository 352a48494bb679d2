// Reading the values D-Bus services send: the object tree of an ObjectManager, the settings
// maps of NetworkManager and the few typed fields the providers need, without trusting a type.
#pragma once

#include <QDBusObjectPath>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace orva {

// interface -> property -> value (D-Bus a{sa{sv}}).
using DBusInterfaces = QMap<QString, QVariantMap>;
// object path -> its interfaces (D-Bus a{oa{sa{sv}}}, an ObjectManager's GetManagedObjects).
using DBusObjects = QMap<QDBusObjectPath, DBusInterfaces>;

// Registers the types above with Qt D-Bus; safe to call more than once.
void RegisterDBusTypes();

// A value of a message argument as one of the types above; empty when it is something else.
DBusInterfaces ToInterfaces(const QVariant& v);
DBusObjects ToObjects(const QVariant& v);
QVariantMap ToPropertyMap(const QVariant& v);

// Typed fields: a default when the value is missing or of another type.
QString StringOf(const QVariant& v);
qint64 IntegerOf(const QVariant& v, qint64 otherwise = -1);
QString PathOf(const QVariant& v);
QStringList PathsOf(const QVariant& v);
// aa{sv}: the list of maps (NetworkManager's AddressData).
QList<QVariantMap> MapListOf(const QVariant& v);

}  // namespace orva
