#include <strings.h>

#include <cstring>

#include "net/console.h"
#include "net/server_calls.h"

// Both tables stay empty until commands are named; a null table is empty.
const ServerConsoleExact* Server_ConsoleExactTable = nullptr;
const ServerConsoleFind* Server_ConsoleFindTable = nullptr;

int32_t Server_ConsoleCommand(const char* line) {
    if (!line) return 0;
    for (const ServerConsoleExact* c = Server_ConsoleExactTable; c && c->text; ++c)
        if (strcasecmp(line, c->text) == 0) {
            if (c->routine) c->routine();
            return 1;
        }
    for (const ServerConsoleFind* c = Server_ConsoleFindTable; c && c->text; ++c)
        if (strstr(line, c->text)) {
            if (c->routine) c->routine(line);
            return 1;
        }
    return 0;
}
