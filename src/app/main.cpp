#include "gui/app/ZephApplication.h"

int main(int argc, char* argv[])
{
    return ZephApplication::Run(argc, argv);
}
