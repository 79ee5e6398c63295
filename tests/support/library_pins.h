// Keeps every shared library loaded so far in memory until the program
// ends. A test that stops the display lets SDL2 unload OpenGL and Mesa's
// drivers; what their globals still held would then look lost to
// LeakSanitizer, which looks for leaks at exit, among the globals of the
// libraries still loaded. Does nothing in builds without AddressSanitizer.
#pragma once

namespace testsupport {

void KeepLoadedLibraries();

}  // namespace testsupport
