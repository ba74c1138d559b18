#include "Application.h"

int main(int, char **argv)
{
    return ciarlatronix::run(argv[0]);
}
