#include "about/property_bag.h"

namespace tavlo {

QString PropertyBag::ReadText(const QString& name, const QString& defaultValue) const {
  const QVariant value = values_.value(name);
  if (value.typeId() == QMetaType::QString) return value.toString();
  return defaultValue;
}

bool PropertyBag::ReadFlag(const QString& name, bool defaultValue) const {
  const QVariant value = values_.value(name);
  switch (value.typeId()) {
    case QMetaType::Bool:
      return value.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
      return value.toLongLong() != 0;
    case QMetaType::QString: {
      const QString text = value.toString().trimmed();
      if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
      if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
      bool isNumber = false;
      const long long number = text.toLongLong(&isNumber);
      return isNumber ? number != 0 : defaultValue;
    }
    default:
      return defaultValue;
  }
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value,
                                const QVariant& defaultValue) {
  if (value == defaultValue) {
    values_.remove(name);
  } else {
    values_.insert(name, value);
  }
}

}  // namespace tavlo
