#pragma once
// The files of the working folder that an output must never replace: the product
// store (and its journal), the port settings and every settings file ("*.cfg").

#include <QString>

namespace ztk {

// True when writing `target` would write over one of them, by its own name or
// through a symbolic link.
bool isProtectedFile(const QString &workDir, const QString &target);

} // namespace ztk
