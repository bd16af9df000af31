// The process-wide registry of embedded resources: named blocks of static
// bytes inside the program image, addressed by "incbin::NAME" URLs.
#pragma once

#include <cstdint>
#include <string>

namespace skyloom {

// Adds an entry and returns 1; returns 0 and keeps the first registration
// when the name is registered already. The bytes are never copied or freed.
int RegisterResource(const std::u16string& name, const void* bytes, int size);

// The registered bytes, or null for an unknown name (names match exactly).
const uint8_t* ResourceData(const std::u16string& name);

// The registered size, or 0 for an unknown name.
int ResourceSize(const std::u16string& name);

}  // namespace skyloom
