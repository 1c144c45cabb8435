// ZORIM, the Slovak text editor.
#include "forms/Program.h"

int main(int argc, char** argv)
{
    return zorim::runProgram(argc, argv);
}
