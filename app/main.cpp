#include "platform/Platform.h"
#include "app/Demo.h"

int main(int argc, char** argv)
{
    Platform::SetCommandLine(Platform::JoinCommandLine(argc, argv));
    return Demo::RunDemo();
}
