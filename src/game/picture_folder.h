// Finding the glyph pictures. The game opens "bmp\NNN.bmp" relative to the current directory;
// a player who starts it from another folder still expects to see the game, so when the current
// directory has no bmp folder the game moves to the first folder that has one: beside the
// executable, then the installed data folder.
#pragma once

#include <string>

// Makes the current directory one that holds a bmp folder, if any does. Returns the bmp
// folders considered, in order, for a message when no picture loads.
std::string choosePictureFolder();
