// Dynamic libraries loaded at run time (the 3D-card driver library).
//
// The program names libraries as they were named on the system the data was
// made for ("hw_pexl.dll"). A name ending in ".dll" (any case) stands for
// the shared object "lib<stem>.so": "hw_pexl.dll" is "libhw_pexl.so". A name
// without a directory is looked up in the library directory (beside the
// program unless a test moved it); a name with a directory ('\' or '/') is
// taken from that directory. Every component is matched without regard to
// case, as the other file calls do. The system's own search path is never
// used, so only the program's own libraries can be picked up.
#pragma once
#include <cstddef>

struct PlatLibrary;

// The file a library name stands for (it need not exist): the directory and
// the mapped file name, as a pattern for the directory list. 0, or -1 when
// the name is empty or out is too small.
int plat_LibraryFileName(const char* name, char* out, size_t outSize);
// The other way round: the name the program uses for a file of the library
// directory ("libhw_pexl.so" gives "hw_pexl.dll"; other names stay as they
// are). 0, or -1 when the name is empty or out is too small.
int plat_LibraryNameOfFile(const char* fileName, char* out, size_t outSize);

// Loads the library; null when it does not exist or cannot be loaded (the
// reason is kept for plat_LibraryLastError).
PlatLibrary* plat_LibraryLoad(const char* name);
// An exported routine or variable, or null.
void* plat_LibrarySymbol(PlatLibrary* library, const char* symbol);
// Nothing for null.
void plat_LibraryFree(PlatLibrary* library);
// Why the last load failed ("" when it did not).
const char* plat_LibraryLastError(void);

// The directory bare names are looked up in; null goes back to the
// program's own directory.
void plat_LibrarySetDir(const char* directory);
