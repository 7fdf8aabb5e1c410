// The input-map text resource INPUTMAP.BIN (the display names of actions,
// keys and layouts and the modifier words) and the descriptions of inputs
// built from it.
#include <cstdio>
#include <cstdlib>

#include "base/mem.h"
#include "input/inmapfile.h"
#include "shell/fatal.h"

FileTable* inmap_Resource = nullptr;

int32_t inmap_ResourceLoad(void) {
    inmap_ResourceFree();
    FileTable* table = file_TableLoad(INMAP_RESOURCE_NAME);
    if (!table) return -1;
    mem_TagSet(table, INMAP_RESOURCE_TAG);
    inmap_Resource = table;
    const char* version = inmap_ResourceText(INMAP_ITEM_VERSION);
    if (!version || atol(version) != 1) app_FatalErrorBox("inmap_ResourceLoad", INMAP_RESOURCE_NAME);
    return 0;
}

void inmap_ResourceFree(void) {
    if (inmap_Resource) mem_Free(inmap_Resource);
    inmap_Resource = nullptr;
}

const char* inmap_ResourceText(int32_t item) {
    if (!inmap_Resource || item < 0) return nullptr;
    const FileTableEntry* e = file_TableEntryGet(inmap_Resource, (uint32_t)item);
    return e ? e->text : nullptr;
}

int32_t inmap_InputDescribe(const _INMAP_INPUT* input, char* keyText, size_t keySize, char* actionText,
                            size_t actionSize) {
    if (keyText && keySize) keyText[0] = 0;
    if (actionText && actionSize) actionText[0] = 0;
    if (!input || !input->action || !keyText || !keySize || !actionText || !actionSize) return -1;
    const InmapKeyName* key = inmap_KeyNameFind(input->kind, input->code);
    if (!key) return -1;
    const char* keyName = inmap_ResourceText(key->displayId);
    const char* actionName = inmap_ResourceText(input->action->id);
    const char* hold = input->hold ? inmap_ResourceText(INMAP_ITEM_WORD_HOLD) : "";
    const char* ctrl = (input->modifiers & INMAP_MOD_CTRL) ? inmap_ResourceText(INMAP_ITEM_WORD_CTRL) : "";
    const char* shift = (input->modifiers & INMAP_MOD_SHIFT) ? inmap_ResourceText(INMAP_ITEM_WORD_SHIFT) : "";
    const char* alt = (input->modifiers & INMAP_MOD_ALT) ? inmap_ResourceText(INMAP_ITEM_WORD_ALT) : "";
    if (!keyName || !actionName || !hold || !ctrl || !shift || !alt) return -1;

    int32_t m = input->modifiers;
    snprintf(keyText, keySize, "%s%s%s%s%s%s%s%s%s", hold, input->hold ? " " : "", ctrl,
             (m & INMAP_MOD_CTRL) ? " + " : "", shift, (m & INMAP_MOD_SHIFT) ? " + " : "", alt,
             (m & INMAP_MOD_ALT) ? " + " : "", keyName);
    snprintf(actionText, actionSize, "%s", actionName);
    return 0;
}
