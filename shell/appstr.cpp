// Application strings.
#include "shell/appstr.h"

#include "base/filetable.h"
#include "base/mem.h"

FileTable* app_StringTable = nullptr;

const char* app_StringGet(uint32_t index) {
    if (!app_StringTable) return "app_StringGet() : <NO RESOURCE FILE LOADED.>";
    FileTableEntry* e = file_TableEntryGet(app_StringTable, index);
    return e ? e->text : "app_StringGet() : <INVALID APP STRING ID.>";
}

void app_StringFileFree(void) {
    if (app_StringTable) mem_Free(app_StringTable);
    app_StringTable = nullptr;
}
