// Keeps Mesa's OpenGL drivers loaded until the process ends, once a context has loaded them.
#pragma once

namespace sandbox::pictures {

// Mesa's drivers keep some memory to the end of the process. Kept loaded until then, what they hold
// stays reachable from their own data for a leak checker at exit, instead of turning into
// unnamed leaks when EGL or GLX unloads them early; unloading them would save nothing worth having.
void keepMesaLoadedToTheEnd();

}  // namespace sandbox::pictures
