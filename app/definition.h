// Loading the definition the viewer shows: the embedded one, or a user's file
// named on the command line, with a one-line reason when it cannot be read.
#pragma once

#include <string>
#include <vector>

#include "defs/dictnode.h"

namespace skyloom {

// The definition the viewer shows when the command line names none.
constexpr const char16_t* EMBEDDED_DEFINITION = u"incbin::game_solar_systemdef.txt";
// The identity key that "copyof:" references of the viewer's definitions match.
constexpr const char16_t* DEFINITION_ID_KEY = u"id";

// The URL to load for the DEFINITION argument as given (TViewerOptions::
// definition): EMBEDDED_DEFINITION for "", else its bytes one code unit each.
std::u16string DefinitionUrl(const std::string& definition);

// Parses the definition at url (a file path or "incbin::NAME"; embedded files
// must have been registered) with the identity key DEFINITION_ID_KEY, and
// clears error. Includes resolve relative to the file's own folder, also for
// a bare file name such as "moons.txt", which is read as "./moons.txt".
//
// On failure returns null and sets error to one line without a line end:
// the url, ": " and the reason, e.g. "x.txt: cannot open the file", or for a
// fault in the text "FILE:LINE:COLUMN: MESSAGE (byte N)", naming the file
// where the fault is (an included file for a fault there). A definition
// without any body is no failure; it builds an empty system.
//
// Warnings about likely mistakes in the text (each one line, "FILE:LINE:
// COLUMN: warning: MESSAGE", in the order found) replace what warnings held
// when it is given; a failed load may leave some there too. sources, when
// given, is cleared and receives the files and folders the parse read (also
// on failure, as far as it got), the set a viewer watches for edits.
dictnodeRef LoadDefinition(const std::u16string& url, std::string& error,
                           std::vector<std::string>* warnings = nullptr,
                           DefinitionSources* sources = nullptr);

// Writes each warning on its own line to standard error.
void PrintDefinitionWarnings(const std::vector<std::string>& warnings);

}  // namespace skyloom
