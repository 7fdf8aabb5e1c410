// Stand-in until the chat line lands.
#include "net/chat.h"

uint32_t chat_Mode = 0;

void chat_InputClear(void) {}
void chat_LineDraw(void) {}
void chat_LineKeys(void) {}
