// Stand-in: the object listing line of the client debug records.
#include "debug/dbgreadout.h"

#include "base/text.h"

void dbg_ObjectListingLine(const ObjectRecord* object, char* buffer, size_t size) {
    text_Format("$%8.8lx ", buffer, size, (unsigned long)(uintptr_t)object);
}
