#pragma once
// Where the program keeps its files. Started from a terminal it works in the current
// folder; started from the desktop menu (which starts programs in the home folder) it
// works in ~/ztk, made on first start.

#include <QString>

namespace ztk {

struct WorkFolder {
    QString path;  // absolute; empty when there is none
    QString error; // the message to show when there is none
};

// `home`/ztk, made when missing. A file in its place, or a home folder that cannot
// take it, gives the message naming the folder and no path.
WorkFolder homeWorkFolder(const QString &home);

} // namespace ztk
