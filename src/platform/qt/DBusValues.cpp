// Reading the values D-Bus services send.
#include "platform/qt/DBusValues.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <optional>

namespace orva {
namespace {

bool IsArgument(const QVariant& v) {
  return v.metaType() == QMetaType::fromType<QDBusArgument>();
}

// Demarshals a QDBusArgument of the given signature; none when the signature differs.
template <class T>
std::optional<T> Demarshal(const QVariant& v, const char* signature) {
  if (!IsArgument(v)) return std::nullopt;
  const auto arg = v.value<QDBusArgument>();
  if (arg.currentSignature() != QLatin1String(signature)) return std::nullopt;
  T out;
  arg >> out;
  return out;
}

}  // namespace

void RegisterDBusTypes() {
  static const bool done = [] {
    qDBusRegisterMetaType<DBusInterfaces>();
    qDBusRegisterMetaType<DBusObjects>();
    qDBusRegisterMetaType<QList<QVariantMap>>();
    return true;
  }();
  (void)done;
}

DBusInterfaces ToInterfaces(const QVariant& v) {
  if (v.metaType() == QMetaType::fromType<DBusInterfaces>()) return v.value<DBusInterfaces>();
  return Demarshal<DBusInterfaces>(v, "a{sa{sv}}").value_or(DBusInterfaces{});
}

DBusObjects ToObjects(const QVariant& v) {
  if (v.metaType() == QMetaType::fromType<DBusObjects>()) return v.value<DBusObjects>();
  return Demarshal<DBusObjects>(v, "a{oa{sa{sv}}}").value_or(DBusObjects{});
}

QVariantMap ToPropertyMap(const QVariant& v) {
  if (v.metaType() == QMetaType::fromType<QVariantMap>()) return v.toMap();
  return Demarshal<QVariantMap>(v, "a{sv}").value_or(QVariantMap{});
}

QString StringOf(const QVariant& v) {
  return v.metaType() == QMetaType::fromType<QString>() ? v.toString() : QString();
}

qint64 IntegerOf(const QVariant& v, qint64 otherwise) {
  switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
      return v.toLongLong();
    default:
      return otherwise;
  }
}

QString PathOf(const QVariant& v) {
  if (v.metaType() == QMetaType::fromType<QDBusObjectPath>())
    return v.value<QDBusObjectPath>().path();
  return {};
}

QStringList PathsOf(const QVariant& v) {
  QStringList out;
  if (v.metaType() == QMetaType::fromType<QList<QDBusObjectPath>>()) {
    for (const auto& p : v.value<QList<QDBusObjectPath>>()) out << p.path();
    return out;
  }
  if (auto list = Demarshal<QList<QDBusObjectPath>>(v, "ao"))
    for (const auto& p : *list) out << p.path();
  return out;
}

QList<QVariantMap> MapListOf(const QVariant& v) {
  if (v.metaType() == QMetaType::fromType<QList<QVariantMap>>())
    return v.value<QList<QVariantMap>>();
  return Demarshal<QList<QVariantMap>>(v, "aa{sv}").value_or(QList<QVariantMap>{});
}

}  // namespace orva
