// The program's icon resources as pictures: 101, 32 × 32, and 102, 16 × 16, 16 colours each.
//
// Start-up asks for 102 on the game thread to give the window its small icon; a platform that
// wants a large icon may take 101. Pure function, any thread.
#pragma once

#include "platform/bitmap.h"

// The picture of icon resource `id`; an empty Bitmap for an id the program does not have.
platform::Bitmap iconResource(int id);
