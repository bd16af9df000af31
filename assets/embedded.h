// The files of assets/, compiled into the program by the build.
#pragma once

namespace skyloom {

// Registers every embedded file with RegisterResource under its path below
// assets/ ("gradient.png", "font_data/brisle.ift"); returns how many were new.
int RegisterEmbeddedResources();

}  // namespace skyloom
