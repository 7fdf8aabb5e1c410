// World renderer services used outside the renderer.
#pragma once
#include <cstdint>

// Runs on the main thread for a value posted with app_PostRendererMessage.
void render_UserMessageEventPost(uint16_t value);
