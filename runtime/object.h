// The root of the system's shared objects: a text form and a comparison that
// subclasses override, and the string object that lets text be held where any
// object may be (values of the ordered tree and the hash table).
#pragma once

#include <memory>
#include <string>

namespace skyloom {

class Object {
 public:
  virtual ~Object() = default;

  // Text form of the object; the base class gives an empty string.
  virtual std::u16string ToString() const;

  // Ordering of two objects: negative, 0 or positive. The base class orders
  // by identity (address), so only the same object compares equal.
  virtual int compare(const Object& other) const;
};

using ObjectRef = std::shared_ptr<Object>;

// An immutable string held as an object.
class StringObject : public Object {
 public:
  explicit StringObject(std::u16string text) : value(std::move(text)) {}

  static std::shared_ptr<StringObject> Create(std::u16string text) {
    return std::make_shared<StringObject>(std::move(text));
  }

  std::u16string ToString() const override { return value; }

  // Code-unit order against another string object; identity order otherwise.
  int compare(const Object& other) const override;

  const std::u16string value;
};

}  // namespace skyloom
