// The lock-key states through SDL's modifier state. Kept free of SDL
// headers so that the common keyboard service can call it.
#pragma once

// Reads Caps Lock, Num Lock and Scroll Lock (0 or 1 each); -1 while SDL's
// video is not up (nothing is written then).
int sdl_KeyLocksGet(int* caps, int* num, int* scroll);
// Sets the three lock states in SDL's modifier state; -1 while video is not up.
int sdl_KeyLocksSet(int caps, int num, int scroll);
