#pragma once
// How an entry point crosses the host boundary.
//
// LUMBRA_EXPORT puts a function into the library's dynamic symbol table under its plain C
// name. Everything else in a library that crosses the boundary is built with hidden
// visibility, and the static platform libraries are linked in with --exclude-libs,ALL
// (cmake/LumbraPlugin.cmake), so each side keeps its own copies of module-wide values and
// exports nothing but its entry points.
//
// LUMBRA_CALL is the host's register convention: on 32-bit x86 the first three arguments
// travel in EAX, EDX and ECX and the result comes back in EAX (regparm(3)); elsewhere the
// platform's C convention already passes them in registers and the macro is empty. A caller
// that looks an entry point up with dlsym must use a pointer type that carries LUMBRA_CALL:
//     using InitFn = void(LUMBRA_CALL*)(void*, void*);
//     LUMBRA_EXPORT void LUMBRA_CALL InitAddOnDLL(void* screen, void* application);

#define LUMBRA_EXPORT extern "C" __attribute__((visibility("default")))

#if defined(__i386__)
#define LUMBRA_CALL __attribute__((regparm(3)))
#else
#define LUMBRA_CALL
#endif
