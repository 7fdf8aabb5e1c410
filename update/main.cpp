// The update program's entry: the arguments joined into the one command line
// the wizard reads.
#include <string>

#include "platform/window.h"
#include "update/wiz.h"

int main(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; i++) {
        if (!line.empty()) line += ' ';
        line += argv[i];
    }
    int32_t code = wiz_Main(line.c_str());
    plat_Shutdown();
    return code;
}
