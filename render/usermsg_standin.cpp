// Stand-in until the renderer lands: no hook to install.
#include "render/usermsg.h"

__attribute__((weak)) void render_UserMessageHookInstall(void) {}
