// The size check moved beside the dialogs that apply sizes too (the animation
// size and resize dialogs); the main window's commands include it from here.
#pragma once

#include "dialogs/core/SizeLimits.h"
