// Import of a product text file into an empty SQLite store in a temporary folder,
// 5000 lines and a million: wall time and the peak memory of the process. Each size
// runs in a process of its own (this program with --lines N), so that the peak of one
// does not hide the other. Target: a peak that does not grow with the file, under
// 100 MB for the million lines.
// Measured on 2 cores beside another build (load 1.2-2.4): 5000 lines 0.20 s, peak
// 13.6 MB; a million lines (81.6 MB) 49.9 s, peak 13.9 MB. Before the import read
// the file as a stream: 0.21 s and 14.6 MB; 53.4 s and 480 MB.

#include "BenchSupport.h"

#include "products/ProductImport.h"
#include "products/ProductStore.h"
#include "shared/CodePage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace ztk;

namespace {

// The process's peak resident memory so far, in MB (VmHWM).
double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// An export-shaped file of `lines` data lines over products 1..5000, written as it
// goes so that the writing adds nothing to the peak.
bool writeFile(const QString &path, int lines)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(codepage::toCp1251(QString::fromUtf8("N;SK5;Префикс;Цена;ГоденДо;Name;Name2;Name3;Name4;Name5;ТипТ;\r\n")));
    QByteArray chunk;
    for (int i = 0; i < lines; ++i) {
        const int n = i % 5000 + 1;
        chunk += codepage::toCp1251(QString::fromUtf8("%1;%2;2%3;%4,25;27.01.15;Молоко пастеризованное %5;жирность 3,2%; ; ; ;%6;\r\n")
                                        .arg(n)
                                        .arg(4600000 + n)
                                        .arg(n % 10)
                                        .arg(n % 1000)
                                        .arg(i)
                                        .arg(n % 2));
        if (chunk.size() > 1 << 16) {
            f.write(chunk);
            chunk.clear();
        }
    }
    f.write(chunk);
    return f.error() == QFileDevice::NoError;
}

int importLines(int lines)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("products.txt"));
    ProductStore store;
    if (!writeFile(file, lines) || !store.open(dir.filePath(QStringLiteral("LM_T.db")))) {
        std::fprintf(stderr, "cannot prepare the file or the store\n");
        return 1;
    }
    SystemClock clock;
    bench::SilentPrompter prompter;
    ImportSettings settings;
    settings.clock = &clock;
    settings.prompter = &prompter;
    settings.locale = QLocale(QLocale::Russian, QLocale::Russia);

    const double before = peakMb();
    QElapsedTimer t;
    t.start();
    const ImportResult r = importProductFile(store, file, settings);
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    std::printf("import of %d lines (%.1f MB file): %.2f s, %d stored, peak %.1f MB (%.1f MB before the import)\n",
                lines, double(QFileInfo(file).size()) / (1024.0 * 1024.0), seconds, r.storedLines, peakMb(), before);
    return r.storedLines == lines ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--lines") == 0)
        return importLines(std::atoi(argv[2]));
    int failed = 0;
    for (const char *lines : {"5000", "1000000"}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--lines"), QString::fromLatin1(lines)});
        if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
            ++failed;
    }
    std::printf("target: the peak does not grow with the file, under 100 MB for the million lines\n");
    return failed;
}
