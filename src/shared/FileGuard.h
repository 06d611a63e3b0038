#pragma once
// The files of the working folder that an output must never replace: the product
// store (and its journal), the port settings, every settings file ("*.cfg"), the
// scales list, the server settings and the last common-data block.

#include <QString>

namespace ztk {

// True when writing `target` would write over one of them, by its own name or
// through a symbolic link.
bool isProtectedFile(const QString &workDir, const QString &target);

} // namespace ztk
