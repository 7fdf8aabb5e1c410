// The speech player.
#pragma once

void speech_Init(void);
void speech_Shutdown(void);
