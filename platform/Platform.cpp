#include "platform/Platform.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace Platform {

void DebugOutput(const char* text)
{
    static const bool enabled = std::getenv("RUVO_DEBUG") != nullptr;
    if (enabled && text)
        std::fputs(text, stderr);
}

namespace {

pid_t dialogParent = 0;

// SDL 2 shows the dialog from a forked process, which would stay on screen
// if ruvo were stopped by a signal while it waits: it goes with ruvo.
void EndWithParent()
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != dialogParent)
        _exit(0);
}

// SDL 1.2 has no dialog of its own, but the SDL 2 library underneath it does;
// it is looked up at run time so that nothing else depends on SDL 2.
bool ShowDialog(const char* text, const char* caption)
{
    const char* display = std::getenv("DISPLAY");
    if (std::getenv("RUVO_NO_DIALOG") || !display || !*display)
        return false;
    if (dialogParent == 0) {
        dialogParent = getpid();
        pthread_atfork(nullptr, nullptr, EndWithParent);
    }
    void* sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!sdl2)
        return false;
    using ShowSimpleMessageBox = int (*)(unsigned flags, const char* title, const char* message, void* window);
    const unsigned errorIcon = 0x10; // SDL_MESSAGEBOX_ERROR
    auto show = reinterpret_cast<ShowSimpleMessageBox>(dlsym(sdl2, "SDL_ShowSimpleMessageBox"));
    const bool shown = show && show(errorIcon, caption, text, nullptr) == 0;
    dlclose(sdl2);
    return shown;
}

} // namespace

void ShowErrorBox(const char* text, const char* caption)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    ShowDialog(text, caption);
}

} // namespace Platform

