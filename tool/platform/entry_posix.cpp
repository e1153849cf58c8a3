// The program's entry on Linux: the command line is already UTF-8 text.
#include "tool/commands/command_line.h"

int main(int argc, char** argv) { return kestro::tool::runKestro(argc, argv); }
