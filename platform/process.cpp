// Processes on POSIX: posix_spawn with the output file as standard output,
// waitpid without blocking for the poll.
#include "platform/process.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/backend.h"
#include "platform/files.h"
#include "platform/harness.h"

extern char** environ;

namespace {

struct Child {
    pid_t pid;      // 0: slot free
    int ended;
    int64_t code;
};
constexpr int kMaxChildren = 32;
Child g_children[kMaxChildren];

constexpr int kMaxArgs = 64;
constexpr size_t kLineMax = 4096;

int32_t ErrorCode(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR: return 2;
    case EACCES:
    case EPERM: return 5;
    case ENOMEM:
    case EAGAIN: return 8;
    case ENOEXEC: return 193;
    case E2BIG:
    case EINVAL: return 87;
    default: return 31;
    }
}

bool IsProgram(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISREG(st.st_mode) && access(path, X_OK) == 0;
}

bool EndsWithExe(const char* name) {
    size_t n = strlen(name);
    return n > 4 && strcasecmp(name + n - 4, ".exe") == 0;
}

// The program at `path` (relative to the current folder or absolute), with
// and without ".exe".
bool TryPath(const char* path, char* out, size_t outSize) {
    char resolved[1024];
    if (plat_PathResolve(path, resolved, sizeof resolved) == 0 && IsProgram(resolved)) {
        if (strlen(resolved) >= outSize) return false;
        snprintf(out, outSize, "%s", resolved);
        return true;
    }
    if (EndsWithExe(path)) {
        char stem[1024];
        size_t n = strlen(path) - 4;
        if (n >= sizeof stem) return false;
        memcpy(stem, path, n);
        stem[n] = 0;
        return TryPath(stem, out, outSize);
    }
    return false;
}

}  // namespace

int plat_CommandLineSplit(const char* commandLine, char* buffer, size_t bufferSize, char** argv, int maxArgs) {
    if (!commandLine || !buffer || bufferSize == 0 || !argv || maxArgs <= 0) return -1;
    size_t used = 0;
    int count = 0;
    const char* p = commandLine;
    for (;;) {
        while (*p == ' ' || *p == '\t') p++;
        if (!*p) break;
        if (count >= maxArgs) return -1;
        argv[count++] = buffer + used;
        bool quoted = false;
        while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
            char c = *p++;
            if (c == '"') {
                quoted = !quoted;
                continue;
            }
            if (c == '\\' && *p == '"') c = *p++;
            if (used + 1 >= bufferSize) return -1;
            buffer[used++] = c;
        }
        if (used >= bufferSize) return -1;
        buffer[used++] = 0;
    }
    return count;
}

int plat_ProcessResolve(const char* program, char* out, size_t outSize) {
    if (!program || !*program || !out || outSize == 0) return -1;
    char name[1024];
    if (strlen(program) >= sizeof name) return -1;
    snprintf(name, sizeof name, "%s", program);
    for (char* c = name; *c; c++)
        if (*c == '\\') *c = '/';
    const char* slash = strrchr(name, '/');
    const char* base = slash ? slash + 1 : name;
    char dir[1024], path[2048];
    if (plat_ProgramDir(dir, sizeof dir) != 0) dir[0] = 0;
    // The update program is ours, wherever the caller thought it was.
    if (dir[0] && (strcasecmp(base, "update.exe") == 0 || strcasecmp(base, "update") == 0)) {
        snprintf(path, sizeof path, "%supdate", dir);
        if (IsProgram(path) && strlen(path) < outSize) {
            snprintf(out, outSize, "%s", path);
            return 0;
        }
    }
    if (slash) {
        if (TryPath(name, out, outSize)) return 0;
    } else {
        if (dir[0]) {
            snprintf(path, sizeof path, "%s%s", dir, name);
            if (TryPath(path, out, outSize)) return 0;
        }
        if (TryPath(name, path, sizeof path)) {
            // A program of the current folder is started by its path, not
            // looked up on the search path.
            char cwd[1024];
            if (plat_GetCwd(cwd, sizeof cwd) == 0 && strlen(cwd) + strlen(path) + 2 <= outSize) {
                snprintf(out, outSize, "%s/%s", cwd, path);
                return 0;
            }
        }
    }
    // Left to the search path, without ".exe".
    size_t n = strlen(name);
    if (EndsWithExe(name)) name[n - 4] = 0;
    if (strlen(name) >= outSize) return -1;
    snprintf(out, outSize, "%s", name);
    return -1;
}

int32_t plat_ProcessStart(const char* commandLine, const char* outputPath, int32_t* error) {
    int32_t dummy = 0;
    if (!error) error = &dummy;
    *error = 0;
    char buffer[kLineMax];
    char* argv[kMaxArgs + 1];
    int argc = plat_CommandLineSplit(commandLine, buffer, sizeof buffer, argv, kMaxArgs);
    if (argc <= 0) {
        *error = argc == 0 ? 2 : 87;
        return -1;
    }
    argv[argc] = nullptr;
    // "start X" opens X with the desktop's default opener.
    char openerPath[16] = "xdg-open";
    if (strcasecmp(argv[0], "start") == 0) {
        if (argc < 2) {
            *error = 87;
            return -1;
        }
        argv[0] = openerPath;
    }
    int slot = -1;
    for (int i = 0; i < kMaxChildren; i++)
        if (!g_children[i].pid) {
            slot = i;
            break;
        }
    if (slot < 0) {
        *error = 8;
        return -1;
    }
    char program[1024];
    bool found = plat_ProcessResolve(argv[0], program, sizeof program) == 0;
    if (!found && strchr(program, '/')) {
        *error = 2;
        return -1;
    }

    int outFd = -1;
    if (outputPath) {
        char resolved[1024];
        if (plat_PathResolve(outputPath, resolved, sizeof resolved) < 0) {
            *error = 87;
            return -1;
        }
        outFd = open(resolved, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (outFd < 0) {
            *error = ErrorCode(errno);
            return -1;
        }
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outFd >= 0) posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    // The child gets the three standard descriptors and nothing else of ours
    // (sockets, lock files, the sound device).
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    // A group of its own: the terminal's Ctrl+C for us does not reach it.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    pid_t pid = 0;
    int err = found ? posix_spawn(&pid, program, &actions, &attr, argv, environ)
                    : posix_spawnp(&pid, program, &actions, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (outFd >= 0) close(outFd);
    if (err != 0) {
        *error = ErrorCode(err);
        return -1;
    }
    g_children[slot] = Child{pid, 0, 0};
    return slot + 1;
}

int64_t plat_ProcessPoll(int32_t handle) {
    if (handle < 1 || handle > kMaxChildren || !g_children[handle - 1].pid) return -1;
    Child& c = g_children[handle - 1];
    if (c.ended) return c.code;
    int status = 0;
    pid_t r = waitpid(c.pid, &status, WNOHANG);
    if (r == 0 || (r < 0 && errno == EINTR)) return PLAT_STILL_ACTIVE;
    c.ended = 1;
    if (r < 0) c.code = 31;
    else if (WIFEXITED(status)) c.code = WEXITSTATUS(status);
    else if (WIFSIGNALED(status)) c.code = 128 + WTERMSIG(status);
    else c.code = 31;
    return c.code;
}

void plat_ProcessClose(int32_t handle) {
    if (handle < 1 || handle > kMaxChildren) return;
    g_children[handle - 1] = Child{};
}

namespace {

struct TitleOnly {
    int (*visit)(const char* title, void* context);
    void* context;
};

int VisitTitle(int64_t, const char* title, void* context) {
    TitleOnly* t = static_cast<TitleOnly*>(context);
    return t->visit(title, t->context);
}

}  // namespace

int plat_TopLevelEnum(int (*visit)(int64_t handle, const char* title, void* context), void* context) {
    if (!visit) return 0;
    // A visitor may close a window: walk a copy of the titles.
    constexpr int kMax = 16 + PLAT_FOREIGN_WINDOWS;
    int64_t handles[kMax];
    char titles[kMax][PLAT_TITLE_MAX];
    PlatHwnd list[16];
    int count = plat_WindowList(list, 16);
    for (int i = 0; i < count; i++) {
        PlatWindow* w = plat_WindowGet(list[i]);
        handles[i] = (int64_t)list[i];
        snprintf(titles[i], sizeof titles[i], "%s", w ? w->title : "");
    }
    // Headless runs also see the windows of other programs their script opened.
    if (plat_IsHeadless()) {
        for (int i = 0; i < PLAT_FOREIGN_WINDOWS && count < kMax; i++) {
            const char* title = plat_HarnessToplevelGet(i);
            if (!title) continue;
            handles[count] = PLAT_FOREIGN_HANDLE + i;
            snprintf(titles[count], sizeof titles[count], "%s", title);
            count++;
        }
    }
    for (int i = 0; i < count; i++)
        if (int answer = visit(handles[i], titles[i], context)) return answer;
    return 0;
}

int plat_TopLevelExists(int64_t handle) {
    if (handle >= PLAT_FOREIGN_HANDLE && handle < PLAT_FOREIGN_HANDLE + PLAT_FOREIGN_WINDOWS)
        return plat_IsHeadless() && plat_HarnessToplevelGet((int)(handle - PLAT_FOREIGN_HANDLE)) != nullptr;
    if (handle <= 0 || handle > UINT32_MAX) return 0;
    return plat_WindowIsValid((PlatHwnd)handle);
}

int plat_WindowTitlesEnum(int (*visit)(const char* title, void* context), void* context) {
    if (!visit) return 0;
    TitleOnly t{visit, context};
    return plat_TopLevelEnum(VisitTitle, &t);
}
