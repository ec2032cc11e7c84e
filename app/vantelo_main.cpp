// Vantelo: the program's start. It takes no arguments.

#include "app/vantelo_application.h"

int main(int argc, char** argv)
{
    return vantelo::RunVantelo(argc, argv);
}
