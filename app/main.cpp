#include "app/Demo.h"
#include "platform/Platform.h"

int main(int argc, char** argv)
{
    Platform::SetCommandLine(Platform::JoinCommandLine(argc, argv));
    return Demo::RunDemo();
}
