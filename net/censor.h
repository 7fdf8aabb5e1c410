// Chat censor.
#pragma once

// Start-up entry: loads the censor word list.
void chat_CensorInit(void);
