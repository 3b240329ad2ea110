#pragma once

#include <QString>

// For the tests of what the program does when a library it opens late cannot be loaded.
// Called first in a test: in the test program it runs that same test again in a child
// process where a file that is no library stands under `soname` first on the library path,
// expects the child to pass, and returns false; in that child it returns true, and the test
// goes on to check the program without the library. No system file is touched.
bool withoutLibrary(const QString& soname);
