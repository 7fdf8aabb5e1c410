// Stand-in until the server's status update sets it: always clear.
#include "net/client.h"

int32_t avion_LinkFlag = 0;
