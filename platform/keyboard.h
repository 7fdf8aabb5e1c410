// The keyboard's own state as the system keeps it: the toggle states of the
// lock keys. A state table has 256 entries by virtual-key code; bit 0x01 of
// an entry is the key's toggle state (on for a lit lock key), bit 0x80 that
// the key is down, as the keyboard layer has always read them.
//
// headless: the table is kept in memory and starts with every key up and
// off. sdl: the lock keys follow SDL's modifier state (SDL_GetModState,
// SDL_SetModState) once video is up; the other entries stay in memory.
#pragma once
#include <cstdint>

constexpr uint8_t PLAT_KEY_TOGGLED = 0x01;
constexpr uint8_t PLAT_KEY_DOWN = 0x80;

// Copies the 256-entry state into state; 0, or -1 for a null buffer.
int plat_KeyboardStateGet(uint8_t* state);
// Replaces the state from a 256-entry table; 0, or -1 for a null buffer.
int plat_KeyboardStateSet(const uint8_t* state);
// The toggle state (0 or 1) of one key; 0 for a code above 255.
int plat_KeyToggled(uint32_t vk);
// Forgets the in-memory state (tests).
void plat_KeyboardStateReset(void);
