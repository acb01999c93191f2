// lantern: the program's entry hands over to the game's start-up routine
// with the command line after the program name, as the game expects it.
#include <string>

#include "game/WinMain.h"

int main(int argc, char** argv)
{
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    return WinMain(nullptr, nullptr, commandLine, 10);
}
