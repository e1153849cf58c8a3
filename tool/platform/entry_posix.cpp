// The program's entry on Linux: the command line is already UTF-8 text.
#include <fcntl.h>
#include <unistd.h>

#include "tool/commands/command_line.h"

int main(int argc, char** argv) {
    // A standard stream the caller closed is opened on /dev/null, so that no file the tool
    // opens takes its number and reaches a program it starts as that stream (Wine's
    // programs misbehave on such a standard input).
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) < 0 && open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd) return 125;
    return kestro::tool::runKestro(argc, argv);
}
