// The sample data set opened once for a benchmark: heaps sized for a level,
// the two archives and the application strings, as a level load needs them.
#pragma once
#include <unistd.h>

#include <cstdlib>

#include "base/file.h"
#include "base/mem.h"
#include "shell/settings.h"
#include "shell/startup.h"

inline bool bench_SampleDataReady(void) {
    static bool ok = [] {
        setenv("KRX_PLATFORM", "headless", 0);
        if (chdir(KRX_DATA_DIR) != 0) return false;
        file_StateInit();
        file_DiskFirstSet(1);
        mem_CurrentHeap = &mem_MainHeap;
        mem_HeapSizesSet(0x1800000, 0x40000, 0x200000);
        if (mem_HeapInit() != 0 || mem_Heap1Init() != 0 || mem_Heap2Init() != 0) return false;
        for (const char* a : {"KRX.PFF", "COMMON.PFF"}) {
            PffRecord* pff = pff_Open(a);
            if (!pff || file_PffSlotAdd(pff) < 0) return false;
        }
        app_StringFileLoad();
        app_Settings.MEMORY_USAGE = 2;
        return true;
    }();
    return ok;
}
