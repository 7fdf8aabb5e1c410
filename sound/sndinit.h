// Opening and closing sound output.
#pragma once
#include <cstdint>

// 1 while sound output is open.
extern int32_t snd_Running;

// Mode 0: DirectSound-style output, 2: wave-out. Sets snd_Running on success.
void snd_Init(int32_t mode);
void snd_Shutdown(void);
