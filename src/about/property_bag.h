#pragma once
// The stored properties of a window element: a map from property name to value. A value equal
// to its default is not kept, and reading gives the default for a missing value or for one of a
// kind the reader cannot use, so an element always comes up with usable properties.
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace tavlo {

class PropertyBag {
 public:
  PropertyBag() = default;
  explicit PropertyBag(QVariantMap values) : values_(std::move(values)) {}

  // A text property: the stored text, or `defaultValue` when nothing usable is stored.
  QString ReadText(const QString& name, const QString& defaultValue) const;
  // A truth value: a stored bool, a number (0 false, else true) or the texts "true"/"false"
  // (any case); `defaultValue` for anything else.
  bool ReadFlag(const QString& name, bool defaultValue) const;

  // Stores `value` under `name`, or removes the entry when `value` equals `defaultValue`.
  void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue);

  const QVariantMap& Values() const { return values_; }

 private:
  QVariantMap values_;
};

}  // namespace tavlo
