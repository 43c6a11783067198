#include "app/application.h"

int main(int argc, char* argv[])
{
    return kestrin::app::run(argc, argv);
}
