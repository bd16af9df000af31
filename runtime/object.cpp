// The root object class and the string object.
#include "runtime/object.h"

#include "runtime/strings.h"

namespace skyloom {

std::u16string Object::ToString() const {
  return std::u16string();
}

int Object::compare(const Object& other) const {
  if (this == &other) return 0;
  return this < &other ? -1 : 1;
}

int StringObject::compare(const Object& other) const {
  if (auto* text = dynamic_cast<const StringObject*>(&other))
    return CompareUnits(value, text->value);
  return Object::compare(other);
}

}  // namespace skyloom
