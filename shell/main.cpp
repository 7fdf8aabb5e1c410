// Program entry: hands over to the shell's start-up.
#include "shell/startup.h"

int main(int argc, char** argv) { return app_WinMain(argc, argv); }
