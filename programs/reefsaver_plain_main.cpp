// The screensaver: follows its switch and stops on input.
#include "programs/ProgramEntry.h"

int main(int argc, char** argv) { return reef::runProgram(reef::Variant::Plain, argc, argv); }
