// Helpers for tests of the string-keyed containers: strings held as values,
// and the text of a value (a marker when it is not a string).
#pragma once

#include <string>

#include "runtime/object.h"

namespace skyloom::test_values {

inline ObjectRef Str(const char16_t* text) {
  return StringObject::Create(text);
}

inline std::u16string Text(const ObjectRef& value) {
  auto* s = dynamic_cast<StringObject*>(value.get());
  return s ? s->value : u"<not a string>";
}

}  // namespace skyloom::test_values
