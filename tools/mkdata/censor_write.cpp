// "censor.txt": the words the server refuses in chat lines, one a line.
#include "mkdata.h"

int mkdata_WriteCensorList(const std::string& dir) {
    return mkdata_WriteText(dir, "censor.txt",
                            "frack\r\n"
                            "gorram\r\n"
                            "smeg\r\n");
}
