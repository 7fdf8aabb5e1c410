// Dynamic libraries on POSIX: dlopen by full path only.
#include "platform/dynlib.h"

#include <dlfcn.h>
#include <strings.h>

#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace {

char g_dir[1024];  // empty: beside the program
char g_lastError[256];

bool EndsWithDll(const char* leaf, size_t len) { return len > 4 && strcasecmp(leaf + len - 4, ".dll") == 0; }

}  // namespace

void plat_LibrarySetDir(const char* directory) {
    if (!directory || !directory[0]) {
        g_dir[0] = 0;
        return;
    }
    size_t len = strlen(directory);
    const char* sep = directory[len - 1] == '/' || directory[len - 1] == '\\' ? "" : "/";
    if ((size_t)snprintf(g_dir, sizeof g_dir, "%s%s", directory, sep) >= sizeof g_dir) g_dir[0] = 0;
}

int plat_LibraryFileName(const char* name, char* out, size_t outSize) {
    if (!name || !name[0] || !out || outSize == 0) return -1;
    const char* leaf = name;
    for (const char* p = name; *p; p++)
        if (*p == '/' || *p == '\\') leaf = p + 1;
    size_t dirLen = (size_t)(leaf - name);
    size_t leafLen = strlen(leaf);
    if (leafLen == 0) return -1;

    char dir[1024];
    if (dirLen > 0) {
        if (dirLen >= sizeof dir) return -1;
        memcpy(dir, name, dirLen);
        dir[dirLen] = 0;
        for (size_t i = 0; i < dirLen; i++)
            if (dir[i] == '\\') dir[i] = '/';
    } else if (g_dir[0]) {
        snprintf(dir, sizeof dir, "%s", g_dir);
    } else if (plat_ProgramDir(dir, sizeof dir) != 0) {
        snprintf(dir, sizeof dir, "./");  // no program path: the current directory
    }

    int n;
    if (EndsWithDll(leaf, leafLen))
        n = snprintf(out, outSize, "%slib%.*s.so", dir, (int)(leafLen - 4), leaf);
    else
        n = snprintf(out, outSize, "%s%s", dir, leaf);
    if (n < 0 || (size_t)n >= outSize) {
        out[0] = 0;
        return -1;
    }
    return 0;
}

int plat_LibraryNameOfFile(const char* fileName, char* out, size_t outSize) {
    if (!fileName || !fileName[0] || !out || outSize == 0) return -1;
    size_t len = strlen(fileName);
    int n;
    if (len > 6 && strncasecmp(fileName, "lib", 3) == 0 && strcasecmp(fileName + len - 3, ".so") == 0)
        n = snprintf(out, outSize, "%.*s.dll", (int)(len - 6), fileName + 3);
    else
        n = snprintf(out, outSize, "%s", fileName);
    if (n < 0 || (size_t)n >= outSize) {
        out[0] = 0;
        return -1;
    }
    return 0;
}

PlatLibrary* plat_LibraryLoad(const char* name) {
    g_lastError[0] = 0;
    char file[1024], path[1024];
    if (plat_LibraryFileName(name, file, sizeof file) != 0) {
        snprintf(g_lastError, sizeof g_lastError, "bad library name");
        return nullptr;
    }
    if (plat_PathResolve(file, path, sizeof path) != 0) {
        snprintf(g_lastError, sizeof g_lastError, "%.200s: no such file", file);
        return nullptr;
    }
    // A bare name would let dlopen search the system.
    if (!strchr(path, '/')) {
        snprintf(g_lastError, sizeof g_lastError, "%.200s: no directory", path);
        return nullptr;
    }
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        snprintf(g_lastError, sizeof g_lastError, "%s", why ? why : "cannot load");
        return nullptr;
    }
    return static_cast<PlatLibrary*>(handle);
}

void* plat_LibrarySymbol(PlatLibrary* library, const char* symbol) {
    if (!library || !symbol) return nullptr;
    return dlsym(library, symbol);
}

void plat_LibraryFree(PlatLibrary* library) {
    if (library) dlclose(library);
}

const char* plat_LibraryLastError(void) { return g_lastError; }
