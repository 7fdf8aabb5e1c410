// Stand-in until the virtual cursor lands: off.
#include "cockpit/vcursor.h"

int32_t vcursor_Enabled = 0;
int32_t vcursor_Item = -1;

// The images are only looked for.
#include "base/file.h"

void vcursor_Free(void) {}
void vcursor_FrameUpdate(void) {}

int32_t vcursor_Load(const char* const names[3]) {
    for (int32_t i = 0; i < 3; i++)
        if (!names || !names[i] || !file_Exists(names[i])) return -1;
    return 0;
}
void vcursor_PanelHitUpdate(void) {}
