// The interactive viewer: always full screen, keys instead of stop-on-input.
#include "programs/ProgramEntry.h"

int main(int argc, char** argv) { return reef::runProgram(reef::Variant::Viewer, argc, argv); }
