#pragma once
// mdbtools' C header, included the one way that compiles in C++: it opens extern "C"
// before including glib, and glib's C++ parts must not end up inside that block.
#include <glib.h>
#include <mdbtools.h>

namespace tomeferry::platform::mdb {

// Makes mdbtools hand out names and values in GBK and read GBK names. mdbtools reads the
// MDBICONV variable each time it opens a file; it is set once, and the first open happens
// on the main thread before any other thread exists, so no getenv races with the setenv.
void useGbkTexts();

}  // namespace tomeferry::platform::mdb
