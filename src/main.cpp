// ZORIM, the Slovak text editor.
#include "forms/Project2.h"

int main(int argc, char** argv)
{
    return zorim::Project2(argc, argv);
}
