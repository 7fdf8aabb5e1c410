// The 3D-card driver candidate list.
#include "shell/hw3dlist.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "base/dlist.h"
#include "base/efile.h"
#include "base/mem.h"
#include "display/hw3d.h"
#include "platform/dynlib.h"
#include "platform/window.h"
#include "shell/appstr.h"
#include "shell/cmdline.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/wndproc.h"

AppHw3dList app_Hw3dList;
_APP_HW3D_ENTRY* app_Hw3dSelected;
int32_t app_Hw3dUsable;
int32_t app_Hw3dLoadResult;
const char* app_Hw3dDescription;
intptr_t app_Hw3dNoCursorClip;
const char* app_Hw3dText2;
int32_t app_Hw3dVersion;
int32_t app_Hw3dModeCount;

namespace {

// The candidates' file name.
constexpr const char* kDriverName = "hw_pexl.dll";
// Texts from a library are taken up to this length.
constexpr size_t kTextMax = 255;

constexpr const char* kCommonNameBlock = "_APP_HW3D_ENTRY common_name";
constexpr const char* kFileNameBlock = "_APP_HW3D_ENTRY filename";
constexpr const char* kCardNameBlock = "_APP_HW3D_ENTRY card_name";

// Keeps the block when the length is the same, else a new one; null frees.
int32_t SetText(char** slot, const char* text, const char* blockName) {
    if (!text) {
        mem_GlobalFreeNamed(*slot);
        *slot = nullptr;
        return 0;
    }
    size_t len = strnlen(text, kTextMax);
    if (*slot && strlen(*slot) == len) {
        memmove(*slot, text, len);
        return 0;
    }
    auto* block = static_cast<char*>(mem_GlobalAllocNamed(blockName, (int32_t)(len + 1)));
    if (!block) return -1;
    memcpy(block, text, len);
    block[len] = 0;
    mem_GlobalFreeNamed(*slot);
    *slot = block;
    return 0;
}

intptr_t Control(int32_t code) {
    if (!hw3d_Loaded || !hw3d_Descriptor.control) return 0;
    return hw3d_Descriptor.control(code);
}

void ForgetDriverWords(_APP_HW3D_ENTRY* e) {
    e->description = nullptr;
    e->noCursorClip = 0;
    e->text2 = nullptr;
    e->version = 0;
    e->modeCount = 0;
}

void CopySelection(void) {
    _APP_HW3D_ENTRY* e = app_Hw3dSelected;
    app_Hw3dUsable = e ? e->usable : 0;
    app_Hw3dLoadResult = e ? e->loadResult : 0;
    app_Hw3dDescription = e ? e->description : nullptr;
    app_Hw3dNoCursorClip = e ? e->noCursorClip : 0;
    app_Hw3dText2 = e ? e->text2 : nullptr;
    app_Hw3dVersion = e ? e->version : 0;
    app_Hw3dModeCount = e ? e->modeCount : 0;
}

void Deselect(void) {
    if (_APP_HW3D_ENTRY* e = app_Hw3dSelected) {
        if (e->loadResult == 0) hw3d_Unload();
        // Its texts lived in the library that is gone now.
        ForgetDriverWords(e);
    }
    app_Hw3dSelected = nullptr;
    CopySelection();
}

}  // namespace

void app_Hw3dListBuild(void) {
    app_Hw3dListFree();
    if (!(app_StartupOptions & APP_OPTION_SOFTWARE)) {
        char pattern[1024];
        _EDIRLIST* files = nullptr;
        if (plat_LibraryFileName(kDriverName, pattern, sizeof pattern) == 0) files = dir_ListMake(pattern, 0);
        for (_EDIRLIST_ENTRY* f = files ? files->first : nullptr; f; f = f->next) {
            if (f->attributes & EDIR_ATTR_DIRECTORY) continue;
            char name[256];
            if (plat_LibraryNameOfFile(f->name, name, sizeof name) != 0) continue;
            PlatLibrary* library = plat_LibraryLoad(name);
            if (!library) continue;
            auto getName = reinterpret_cast<HW3D_GETNAMESTR>(plat_LibrarySymbol(library, "hw3d_GetNameStr"));
            const char* commonName = getName ? getName(app_Settings.COUNTRY_CODE) : nullptr;
            // The entry copies the name before the library goes.
            if (commonName) app_Hw3dEntryAdd(commonName, name);
            plat_LibraryFree(library);
        }
        if (files) dir_ListFree(files);
    }
    app_Hw3dList.built = 1;
}

void app_Hw3dListFree(void) {
    Deselect();
    while (app_Hw3dList.head) app_Hw3dEntryRemove(app_Hw3dList.head);
}

_APP_HW3D_ENTRY* app_Hw3dEntryAdd(const char* commonName, const char* fileName) {
    auto* e = static_cast<_APP_HW3D_ENTRY*>(
        mem_GlobalAllocNamed(app_ProductRecord.hw3dEntryName, (int32_t)sizeof(_APP_HW3D_ENTRY)));
    if (!e) return nullptr;
    dlist_AddTail(&app_Hw3dList, e);
    if (!commonName || !fileName || SetText(&e->commonName, commonName, kCommonNameBlock) != 0 ||
        SetText(&e->fileName, fileName, kFileNameBlock) != 0 || SetText(&e->cardName, "", kCardNameBlock) != 0) {
        app_Hw3dEntryRemove(e);
        return nullptr;
    }
    return e;
}

void app_Hw3dEntryRemove(_APP_HW3D_ENTRY* entry) {
    if (!entry) return;
    if (entry == app_Hw3dSelected) Deselect();
    dlist_Unlink(&app_Hw3dList, entry);
    SetText(&entry->commonName, nullptr, kCommonNameBlock);
    SetText(&entry->fileName, nullptr, kFileNameBlock);
    SetText(&entry->cardName, nullptr, kCardNameBlock);
    mem_GlobalFreeNamed(entry);
}

_APP_HW3D_ENTRY* app_Hw3dFindByFile(const char* fileName) {
    if (!fileName) return nullptr;
    for (_APP_HW3D_ENTRY* e = app_Hw3dList.head; e; e = e->next)
        if (e->fileName && strcasecmp(e->fileName, fileName) == 0) return e;
    return nullptr;
}

int32_t app_Hw3dSelect(_APP_HW3D_ENTRY* entry) {
    if (entry == app_Hw3dSelected) return 0;
    Deselect();
    if ((app_StartupOptions & APP_OPTION_SOFTWARE) || !entry) return 0;
    app_Hw3dSelected = entry;
    // Our platform has no instance handle: the library gets the program's
    // host record in its place.
    int32_t result = hw3d_Load(reinterpret_cast<uintptr_t>(&hw3d_Host), (uintptr_t)app_MainHwnd, entry->fileName);
    entry->loadResult = result;
    ForgetDriverWords(entry);
    // Any refusal leaves the library unloaded, whatever the sign of the
    // library's code.
    entry->usable = result == 0 ? 1 : 0;
    if (entry->usable) {
        entry->description = reinterpret_cast<const char*>(Control(HW3D_CTL_DESCRIPTION));
        entry->noCursorClip = Control(HW3D_CTL_NO_CURSOR_CLIP);
        entry->text2 = reinterpret_cast<const char*>(Control(HW3D_CTL_TEXT2));
        entry->modeCount = (int32_t)Control(HW3D_CTL_MODE_COUNT);
        entry->version = (int32_t)Control(HW3D_CTL_VERSION);
    }
    CopySelection();
    app_Hw3dModeApply();
    return 0;
}

int32_t app_Hw3dModeApply(void) {
    _APP_HW3D_ENTRY* e = app_Hw3dSelected;
    if (!e) return -1;
    int32_t index = app_Settings.CARD_NUMBER;
    if (index > e->modeCount - 1) index = e->modeCount - 1;
    if (index < 0) index = 0;
    e->modeIndex = index;
    if (e->usable) {
        const char* name = reinterpret_cast<const char*>(Control(HW3D_CTL_MODE_NAME + index));
        if (SetText(&e->cardName, name, kCardNameBlock) != 0) SetText(&e->cardName, nullptr, kCardNameBlock);
        Control(HW3D_CTL_MODE_SELECT + index);
    } else {
        SetText(&e->cardName, nullptr, kCardNameBlock);
    }
    return 0;
}

int32_t app_Hw3dOrDetailBelow2(void) {
    return (hw3d_Active && !(app_StartupOptions & APP_OPTION_HWNOCRUNCH)) || app_Settings.MEMORY_USAGE < 2;
}

int32_t app_Hw3dOrDetailZero(void) {
    return (hw3d_Active && !(app_StartupOptions & APP_OPTION_HWNOCRUNCH)) || app_Settings.MEMORY_USAGE <= 0;
}

int32_t app_BadDriverDialog(void) {
    // The box asks whether to be shown again; once told not to, it isn't.
    if (app_Ini.SKIP_BAD3DFXDLLS_CHECK) return 0;
    // Controls 1019 and 1018 (texts), 1021 (go on), 1022 (stop) and the
    // check box 1020. The answer is the button; 0x10000 added when the box
    // was ticked.
    char text[1024];
    snprintf(text, sizeof text, "%s\n%s", app_StringGet(30), app_StringGet(31));
    PlatDialogSpec dialog = {"BAD3DFXDLLS",     app_Title,       text, 1021, app_StringGet(33), 1022,
                             app_StringGet(34), app_StringGet(32), app_Ini.SKIP_BAD3DFXDLLS_CHECK != 0};
    int answer = plat_DialogShow(&dialog);
    if ((answer & 0xFFFF) != 1021) return -1;
    app_Ini.SKIP_BAD3DFXDLLS_CHECK = (answer & PLAT_DIALOG_TICKED) != 0;
    return 0;
}
