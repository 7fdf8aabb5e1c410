// The renderer's window-message hook.
#pragma once

// Installs the renderer's message hook (start-up, before the heaps).
void render_UserMessageHookInstall(void);
