// Lock keys through SDL's modifier state.
#include "platform/sdl/sdl_keyboard.h"

#include <SDL.h>

int sdl_KeyLocksGet(int* caps, int* num, int* scroll) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return -1;
    SDL_Keymod m = SDL_GetModState();
    if (caps) *caps = (m & KMOD_CAPS) ? 1 : 0;
    if (num) *num = (m & KMOD_NUM) ? 1 : 0;
    if (scroll) *scroll = (m & KMOD_SCROLL) ? 1 : 0;
    return 0;
}

int sdl_KeyLocksSet(int caps, int num, int scroll) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return -1;
    int m = SDL_GetModState() & ~(KMOD_CAPS | KMOD_NUM | KMOD_SCROLL);
    if (caps) m |= KMOD_CAPS;
    if (num) m |= KMOD_NUM;
    if (scroll) m |= KMOD_SCROLL;
    SDL_SetModState((SDL_Keymod)m);
    return 0;
}
