// Plugin kinds, the interface version a plugin is built for, and the linkage of the SDK's classes:
// imported from the SDK library by plugins, exported by the library itself (built with _BAKKESMOD).
#pragma once

enum PLUGINTYPE {
    PLUGINTYPE_FREEPLAY = 0x01,
    PLUGINTYPE_CUSTOM_TRAINING = 0x02,
    PLUGINTYPE_SPECTATOR = 0x04,
    PLUGINTYPE_BOTAI = 0x08,
    PLUGINTYPE_REPLAY = 0x10,
    PLUGINTYPE_THREADED = 0x20,
    PLUGINTYPE_THREADEDUNLOAD = 0x40
};

// On Windows these are the host's own: a plugin exports its plugin base class and imports the
// wrappers, the SDK library exports the wrappers. ELF has no import side: a symbol of default
// visibility is both what a library offers and what a module binds to at load, so on Linux both
// macros only keep the names visible past -fvisibility=hidden.
#if defined(_WIN32)
#  ifdef _BAKKESMOD
#    define BAKKESMOD_PLUGIN_EXPORT
#    define BAKKESMOD_PLUGIN_IMPORT __declspec(dllexport)
#  else
#    define BAKKESMOD_PLUGIN_EXPORT __declspec(dllexport)
#    define BAKKESMOD_PLUGIN_IMPORT __declspec(dllimport)
#  endif
#else
#  define BAKKESMOD_PLUGIN_EXPORT __attribute__((visibility("default")))
#  define BAKKESMOD_PLUGIN_IMPORT __attribute__((visibility("default")))
#endif

#define BAKKESMOD_PLUGIN_API_VERSION 95
