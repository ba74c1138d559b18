#include "Application.h"

int main(int argc, char **argv)
{
    return ciarlatronix::run(argc, argv);
}
