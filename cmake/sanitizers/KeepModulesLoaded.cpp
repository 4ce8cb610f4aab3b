// Linked into every program of the sanitizer build (TARNWELL_SANITIZE): no
// module a library loads at run time is unmapped before the program ends.
//
// The leak checker runs at exit. A module unloaded before then takes its
// globals with it: what only they pointed at counts as leaked, and the stack
// of its allocation, having no module left to name, matches no suppression.
// Mesa's OpenGL driver (swrast_dri.so) is such a module: libGLX_mesa unloads
// it when Qt closes the X display, and 112 bytes it allocates on its first
// drawing and keeps for the life of the process would fail every suite and
// program that drew with OpenGL. Kept mapped, such memory is either still
// reachable or named by its library, which the suppressions file then judges
// as it judges any other system library; a leak of ours is reported as ever.
//
// dlclose is the runtime's interceptor, a weak symbol, which this one takes
// the place of. It marks the module "never unload" (RTLD_NODELETE on a module
// already loaded) and then closes the handle through the runtime, so the
// reference counts stay as the caller expects; the module's destructors run
// at exit, after the leak check.

#include <dlfcn.h>
#include <link.h>

extern "C" int __interceptor_dlclose(void* handle);

extern "C" __attribute__((visibility("default"))) int dlclose(void* handle)
{
    link_map* module = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &module) == 0 && module != nullptr && module->l_name[0] != '\0') {
        if (void* again = dlopen(module->l_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE))
            __interceptor_dlclose(again);
    }
    return __interceptor_dlclose(handle);
}
