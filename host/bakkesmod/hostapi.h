// Linkage of the host's SDK classes: exported by the SDK library, imported by plugins.
// Their run-time type information is shared so that the host's checked conversions work across modules.
#pragma once

#if defined(_WIN32)
#  if defined(PLUGINSDK_BUILD)
#    define BAKKESMOD_API __declspec(dllexport)
#  else
#    define BAKKESMOD_API __declspec(dllimport)
#  endif
#  define BAKKESMOD_PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#  define BAKKESMOD_API __attribute__((visibility("default")))
#  define BAKKESMOD_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif
