#include "tests/support/OwnWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace TestSupport {

namespace {

// Xlib, looked up at run time, as nothing else links it.
struct Xlib {
    Xlib() : library(dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL))
    {
        if (!library)
            throw std::runtime_error("cannot load libX11.so.6");
        Find(open, "XOpenDisplay");
        Find(close, "XCloseDisplay");
        Find(root, "XDefaultRootWindow");
        Find(queryTree, "XQueryTree");
        Find(internAtom, "XInternAtom");
        Find(getProperty, "XGetWindowProperty");
        Find(free, "XFree");
        Find(setErrorHandler, "XSetErrorHandler");
    }
    ~Xlib() { dlclose(library); }
    Xlib(const Xlib&) = delete;
    Xlib& operator=(const Xlib&) = delete;

    template <typename Call> void Find(Call& call, const char* name)
    {
        call = reinterpret_cast<Call>(dlsym(library, name));
        if (!call)
            throw std::runtime_error(std::string("libX11 has no ") + name);
    }

    void* library;
    Display* (*open)(const char*);
    int (*close)(Display*);
    Window (*root)(Display*);
    Status (*queryTree)(Display*, Window, Window*, Window*, Window**, unsigned*);
    Atom (*internAtom)(Display*, const char*, Bool);
    int (*getProperty)(Display*, Window, Atom, long, long, Bool, Atom, Atom*, int*, unsigned long*, unsigned long*,
                       unsigned char**);
    int (*free)(void*);
    XErrorHandler (*setErrorHandler)(XErrorHandler);
};

// Other tests' windows may go between listing and asking: that error is
// not this check's concern (Xlib's own handler would end the process).
int IgnoreError(Display*, XErrorEvent*) { return 0; }

} // namespace

int WindowsOfThisProcess()
{
    const Xlib x;
    Display* display = x.open(nullptr);
    if (!display)
        throw std::runtime_error("cannot open the test display");
    const XErrorHandler previous = x.setErrorHandler(IgnoreError);
    const Atom pidAtom = x.internAtom(display, "_NET_WM_PID", False);
    Window rootWindow = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    int own = 0;
    if (x.queryTree(display, x.root(display), &rootWindow, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) {
            Atom type = 0;
            int format = 0;
            unsigned long items = 0, after = 0;
            unsigned char* value = nullptr;
            if (x.getProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                              &value) == Success &&
                value) {
                if (format == 32 && items == 1 && *reinterpret_cast<long*>(value) == getpid())
                    ++own;
                x.free(value);
            }
        }
        if (children)
            x.free(children);
    }
    x.close(display);
    x.setErrorHandler(previous);
    return own;
}

} // namespace TestSupport
