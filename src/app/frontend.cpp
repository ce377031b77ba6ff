#include "app/frontend.h"

int RunProgram(int, char**) { return 0; }
