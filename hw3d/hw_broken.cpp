// A faulty driver library for the tests: it names itself but has no
// hw3d_GetDescriptor, so the program cannot bind it.
#include "display/hw3d.h"

extern "C" __attribute__((visibility("default"))) const char* hw3d_GetNameStr(const char*) {
    return "Broken card";
}
