// POSIX file access with the old file system's manners: '\' separators and
// names matched without regard to case.
#include "platform/files.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <limits.h>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsDir(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0;
}

// Listings of the folders names were looked up in without regard to case,
// so that a miss reads no folder again. A listing holds while the folder's
// modification time is the one it was read at; one read too soon after
// the folder last changed is not trusted (a change within the clock's
// granularity would leave the time as it was). The program's own creates,
// renames and deletes drop every listing at once.
struct Listing {
    struct timespec mtime;
    bool trusted;
    std::unordered_map<std::string, std::string> names;  // lower case -> real name
};

std::mutex g_listingLock;
std::map<std::pair<dev_t, ino_t>, Listing> g_listings;
uint32_t g_listingScans = 0;
constexpr size_t kMaxListings = 256;

std::string Lower(const char* s) {
    std::string out(s);
    for (char& c : out) c = (char)tolower((unsigned char)c);
    return out;
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Whether a listing read now can be trusted for a folder last changed at
// `mtime`: the change must lie clearly before the read.
bool Settled(const struct timespec& mtime) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    // A file system that keeps whole seconds only needs a longer wait.
    int64_t marginNs = mtime.tv_nsec == 0 ? 2000000000 : 50000000;
    int64_t age = (int64_t)(now.tv_sec - mtime.tv_sec) * 1000000000 + (now.tv_nsec - mtime.tv_nsec);
    return age > marginNs;
}

void ForgetListings(void) {
    std::lock_guard<std::mutex> lk(g_listingLock);
    g_listings.clear();
}

// Finds the entry of `dir` whose name equals `name` without regard to case.
bool FindNoCase(const std::string& dir, const std::string& name, std::string* real) {
    const char* path = dir.empty() ? "." : dir.c_str();
    struct stat st;
    if (stat(path, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    std::string key = Lower(name.c_str());
    std::lock_guard<std::mutex> lk(g_listingLock);
    auto id = std::make_pair(st.st_dev, st.st_ino);
    auto it = g_listings.find(id);
    if (it == g_listings.end() || !it->second.trusted || !SameTime(it->second.mtime, st.st_mtim)) {
        DIR* d = opendir(path);
        if (!d) return false;
        if (g_listings.size() >= kMaxListings) g_listings.clear();
        Listing& l = g_listings[id];
        l.names.clear();
        l.mtime = st.st_mtim;
        l.trusted = Settled(st.st_mtim);
        while (dirent* e = readdir(d)) l.names[Lower(e->d_name)] = e->d_name;
        closedir(d);
        g_listingScans++;
        it = g_listings.find(id);
    }
    auto found = it->second.names.find(key);
    if (found == it->second.names.end()) return false;
    *real = found->second;
    return true;
}

// base + '/' + name, without doubling a separator.
std::string Join(const std::string& base, const std::string& name) {
    if (base.empty()) return name;
    std::string out;
    out.reserve(base.size() + 1 + name.size());
    out.append(base);
    if (out.back() != '/') out.push_back('/');
    out.append(name);
    return out;
}

}  // namespace

int plat_PathResolve(const char* path, char* out, size_t outSize) {
    if (!path || !out || outSize == 0) return -1;
    std::string p(path);
    for (char& c : p)
        if (c == '\\') c = '/';
    std::string result;
    size_t pos = 0;
    if (!p.empty() && p[0] == '/') {
        result = "/";
        pos = 1;
    }
    bool exists = true;
    while (pos <= p.size()) {
        size_t slash = p.find('/', pos);
        std::string comp = p.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        pos = slash == std::string::npos ? p.size() + 1 : slash + 1;
        if (comp.empty()) continue;
        std::string base = result.empty() ? std::string() : result;
        std::string candidate = Join(base, comp);
        if (exists && !Exists(candidate) && comp != "." && comp != "..") {
            std::string real;
            std::string dir = base.empty() ? "." : base;
            if (FindNoCase(dir, comp, &real))
                candidate = Join(base, real);
            else
                exists = false;
        }
        result = candidate;
    }
    if (result.empty()) result.assign(1, '.');
    if (result.size() + 1 > outSize) return -1;
    memcpy(out, result.c_str(), result.size() + 1);
    return exists ? 0 : 1;
}

static bool Resolve(const char* path, std::string* out) {
    if (!path) return false;
    char buf[PATH_MAX];
    if (plat_PathResolve(path, buf, sizeof buf) < 0) return false;
    *out = buf;
    return true;
}

int plat_FileOpen(const char* path, int mode) {
    std::string p;
    if (!Resolve(path, &p)) return -1;
    int flags = O_RDONLY;
    switch (mode) {
    case PLAT_OPEN_READ: flags = O_RDONLY; break;
    case PLAT_OPEN_WRITE: flags = O_WRONLY; break;
    case PLAT_OPEN_READWRITE: flags = O_RDWR; break;
    case PLAT_OPEN_CREATE: flags = O_RDWR | O_CREAT | O_TRUNC; break;
    default: return -1;
    }
    if (mode == PLAT_OPEN_CREATE) ForgetListings();
    int fd = open(p.c_str(), flags | O_CLOEXEC, 0644);
    if (fd >= 0 && IsDir(p)) {
        close(fd);
        return -1;
    }
    return fd;
}

int32_t plat_FileRead(int handle, void* buffer, uint32_t count) {
    if (handle < 0 || (!buffer && count)) return -1;
    size_t done = 0;
    while (done < count) {
        ssize_t n = read(handle, (char*)buffer + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return done ? (int32_t)done : -1;
        }
        if (n == 0) break;
        done += (size_t)n;
    }
    return (int32_t)done;
}

int32_t plat_FileWrite(int handle, const void* buffer, uint32_t count) {
    if (handle < 0 || (!buffer && count)) return -1;
    size_t done = 0;
    while (done < count) {
        ssize_t n = write(handle, (const char*)buffer + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        done += (size_t)n;
    }
    return (int32_t)done;
}

int64_t plat_FileSeek(int handle, int64_t offset, int whence) {
    if (handle < 0) return -1;
    int w = whence == 1 ? SEEK_CUR : whence == 2 ? SEEK_END : SEEK_SET;
    off_t r = lseek(handle, (off_t)offset, w);
    return r < 0 ? -1 : (int64_t)r;
}

int64_t plat_FileSizeOf(int handle) {
    struct stat st;
    if (handle < 0 || fstat(handle, &st) != 0) return -1;
    return (int64_t)st.st_size;
}

int plat_FileClose(int handle) { return handle >= 0 && close(handle) == 0 ? 0 : -1; }

FILE* plat_FOpen(const char* path, const char* mode) {
    std::string p;
    if (!Resolve(path, &p) || !mode) return nullptr;
    if (IsDir(p)) return nullptr;
    if (strpbrk(mode, "wa")) ForgetListings();
    return fopen(p.c_str(), mode);
}

int plat_FileExists(const char* path) {
    std::string p;
    return Resolve(path, &p) && Exists(p) && !IsDir(p);
}

int64_t plat_FileSize(const char* path) {
    std::string p;
    struct stat st;
    if (!Resolve(path, &p) || stat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
    return (int64_t)st.st_size;
}

int plat_FileDelete(const char* path) {
    std::string p;
    if (!Resolve(path, &p)) return -1;
    ForgetListings();
    return unlink(p.c_str()) == 0 ? 0 : -1;
}

int plat_FileRename(const char* from, const char* to) {
    std::string a, b;
    if (!Resolve(from, &a) || !Resolve(to, &b)) return -1;
    ForgetListings();
    return rename(a.c_str(), b.c_str()) == 0 ? 0 : -1;
}

int plat_MakeDir(const char* path) {
    std::string p;
    if (!Resolve(path, &p)) return -1;
    ForgetListings();
    return mkdir(p.c_str(), 0755) == 0 || (errno == EEXIST && IsDir(p)) ? 0 : -1;
}

int plat_FileCreateUnique(const char* path, char* out, size_t outSize) {
    std::string p;
    if (!out || outSize == 0 || !Resolve(path, &p)) return -1;
    std::string name = p + ".XXXXXX";
    if (name.size() + 1 > outSize) return -1;
    std::vector<char> buf(name.begin(), name.end());
    buf.push_back(0);
    int fd = mkostemp(buf.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    // The permissions a file made by plat_FileOpen gets.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0644 & ~mask);
    memcpy(out, buf.data(), buf.size());
    return fd;
}

int plat_FileSync(int handle) { return handle >= 0 && fsync(handle) == 0 ? 0 : -1; }

struct PlatFind {
    std::vector<PlatFindData> entries;
    size_t next = 0;
};

PlatFind* plat_FindFirst(const char* pattern, PlatFindData* data) {
    if (!pattern || !data) return nullptr;
    std::string p(pattern);
    for (char& c : p)
        if (c == '\\') c = '/';
    size_t slash = p.rfind('/');
    std::string dir = slash == std::string::npos ? "." : p.substr(0, slash == 0 ? 1 : slash);
    std::string mask = slash == std::string::npos ? p : p.substr(slash + 1);
    std::string realDir;
    if (!Resolve(dir.c_str(), &realDir)) return nullptr;
    if (mask == "*.*") mask = "*";
    DIR* d = opendir(realDir.c_str());
    if (!d) return nullptr;
    auto* find = new PlatFind;
    while (dirent* e = readdir(d)) {
        if (fnmatch(mask.c_str(), e->d_name, FNM_CASEFOLD) != 0) continue;
        PlatFindData fd{};
        size_t n = strnlen(e->d_name, sizeof fd.name - 1);
        memcpy(fd.name, e->d_name, n);
        fd.name[n] = 0;
        struct stat st;
        std::string full = realDir + "/" + e->d_name;
        if (stat(full.c_str(), &st) == 0) {
            fd.size = (uint64_t)st.st_size;
            fd.isDir = S_ISDIR(st.st_mode);
        }
        find->entries.push_back(fd);
    }
    closedir(d);
    if (find->entries.empty()) {
        delete find;
        return nullptr;
    }
    *data = find->entries[0];
    find->next = 1;
    return find;
}

int plat_FindNext(PlatFind* find, PlatFindData* data) {
    if (!find || !data || find->next >= find->entries.size()) return 0;
    *data = find->entries[find->next++];
    return 1;
}

void plat_FindClose(PlatFind* find) { delete find; }

int plat_GetCwd(char* out, size_t outSize) { return out && getcwd(out, outSize) ? 0 : -1; }

int plat_SetCwd(const char* path) {
    std::string p;
    return Resolve(path, &p) && chdir(p.c_str()) == 0 ? 0 : -1;
}

int plat_ProgramPath(char* out, size_t outSize) {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0 || (size_t)n + 1 > outSize) return -1;
    memcpy(out, buf, (size_t)n);
    out[n] = 0;
    return 0;
}

int plat_ProgramDir(char* out, size_t outSize) {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return -1;
    buf[n] = 0;
    char* slash = strrchr(buf, '/');
    if (slash) slash[1] = 0;
    size_t len = strlen(buf);
    if (len + 1 > outSize) return -1;
    memcpy(out, buf, len + 1);
    return 0;
}

uint32_t plat_FileListingScans(void) {
    std::lock_guard<std::mutex> lk(g_listingLock);
    return g_listingScans;
}

int plat_FileSetTimes(const char* path, int64_t seconds) {
    std::string p;
    if (!Resolve(path, &p)) return -1;
    struct timespec times[2];
    times[0].tv_sec = (time_t)seconds;
    times[0].tv_nsec = 0;
    times[1] = times[0];
    return utimensat(AT_FDCWD, p.c_str(), times, 0) == 0 ? 0 : -1;
}

int plat_FileModeCopy(const char* from, const char* to) {
    std::string a, b;
    if (!Resolve(from, &a) || !Resolve(to, &b)) return -1;
    struct stat st;
    if (stat(a.c_str(), &st) != 0) return -1;
    return chmod(b.c_str(), st.st_mode & 07777) == 0 ? 0 : -1;
}
