#pragma once
// The program's version text, major.minor.release.build, as built in.

#include <QString>

namespace ztk {

// "1.3.1.14" for this release; empty when the build carries no four-part version.
QString versionText();

} // namespace ztk
