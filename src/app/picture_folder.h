// Finding the glyph pictures. The game opens "bmp\NNN.bmp" relative to the current directory;
// a player who starts it from another folder still expects to see the game, so unless the
// current directory's bmp folder holds a glyph picture the game moves to the first folder whose
// bmp folder does: beside the executable, then (not on Windows, where a program has no fixed
// install folder) the installed data folder.
#pragma once

#include <string>

// Makes the current directory one whose bmp folder holds a glyph picture, if any does. Returns
// the bmp folders tried, in order, for a message when no picture loads.
std::string moveToPictureFolder();
