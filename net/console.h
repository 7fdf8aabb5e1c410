// Dedicated server console: chat log, command tables, clocks.
#pragma once
#include <cstddef>
#include <cstdint>

// One chat log entry (native record).
struct ServerChatEntry {
    ServerChatEntry* prev;
    ServerChatEntry* next;
    int32_t inUse;
    char text[128];
    uint32_t sequence;
};
struct ServerChatList {
    ServerChatEntry* head;
    ServerChatEntry* tail;
    int32_t count;
};
struct ServerChatLog {
    ServerChatEntry* entries;  // "_SERVER_CHAT array"
    ServerChatList freeList;
    ServerChatList used;       // oldest at the head
    uint32_t nextSequence;
};
extern ServerChatLog Server_Chat;

// Returns the array, or null for a count of 0 or below or no memory.
ServerChatEntry* Server_ChatLogCreateArray(int32_t count);

// Console command tables, each ended by a null text.
struct ServerConsoleExact {
    const char* text;
    void (*routine)(void);
};
struct ServerConsoleFind {
    const char* text;
    void (*routine)(const char* line);
};
extern const ServerConsoleExact* Server_ConsoleExactTable;
extern const ServerConsoleFind* Server_ConsoleFindTable;

// "hh:mm:ss" of a tick count at 40 ticks per second.
void Server_FormatClock(char* out, size_t cap, uint32_t ticks);

// Local time: month 1-12, day, year, hour, minute, second, weekday.
struct SysDateTime {
    int32_t month, day, year, hour, minute, second, weekday;
};
int32_t sys_LocalTimeGet(SysDateTime* t);
// Taken when the server starts; the status page shows its time of day.
extern SysDateTime Server_StartTime;
void sys_DateTimeFormat(char* out, size_t cap, const SysDateTime* t);

// Players flying "KRX", "TVLAR", "WXN", any other aircraft, and the total.
extern int32_t Server_PlaneCounts[5];

// The title the main window should get now: 1 and the text, or 0 when it
// stays as it is (a local player, a frame other than every 32nd, the 3D
// card in use, or no surface yet).
int32_t Server_WindowTitleText(char* out, size_t cap, int32_t minimised);
