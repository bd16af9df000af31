// Warnings about the body nodes of a definition that are likely mistakes:
// keys a body does not read, numbers that are not numbers, and bodies
// skipped by the body limit.
#pragma once

#include <string>
#include <vector>

namespace skyloom {

class dictnode;
struct DefinitionWarning;

// Adds a warning for:
// - a key of a node named "body" that bodies do not read (idkey, the
//   identity key of copies, is known), with the nearest known key when one
//   is close: unknown key 'orbitdst' (did you mean 'orbitdist'?);
// - a value of a number key that is not wholly a number ("radius: big");
// - the bodies past body::MAX_BODIES that a reading of root skips, with
//   their count, at the first one skipped.
void CheckBodyDefinitions(dictnode& root, const std::u16string& idkey,
                          std::vector<DefinitionWarning>& warnings);

// The known key nearest to key when it is close enough to be a slip (at
// most two edits: a letter added, dropped, changed, or two swapped), or "".
std::u16string NearestKey(std::u16string_view key, const std::vector<std::u16string>& known);

}  // namespace skyloom
