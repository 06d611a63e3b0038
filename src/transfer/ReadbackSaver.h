#pragma once
// "Сохранить в БДТ": the rows of the read window (or of ztk-cli) stored into the
// product table, each looked up by its number and updated, or inserted when new, with
// the store rules of every store. One transaction; a row the store refuses is rolled
// back alone and listed.

#include "products/ProductDataset.h"
#include "transfer/ReadbackRow.h"
#include "shared/Seams.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace ztk {

class ProductStore;

struct SaveResult {
    int stored = 0;
    QList<qint64> incorrect; // the numbers whose storing failed, in order
    // The backup could not be made, or the store could not take the transaction: the
    // text to show.
    QString error;
    QString backupPath; // the copy of the table taken first
};

// "Некорректные записи:12,15"
QString incorrectRecordsText(const QList<qint64> &numbers);

class ReadbackSaver {
public:
    // Before row `index` (0-based) is looked at.
    using Progress = std::function<void(int index)>;

    // The store, clock and prompter outlive the saver. `typeRule` is that of the main
    // window's selection; `locale` reads the price cells.
    ReadbackSaver(ProductStore &store, const Clock &clock, Prompter &prompter, TypeRule typeRule = TypeRule::Keep,
                  const QLocale &locale = QLocale());

    // Backs the table up, then stores the rows in order. Without a backup nothing is stored.
    SaveResult save(const std::vector<readback::RowFields> &rows, const Progress &progress = {});

private:
    ProductStore &m_store;
    const Clock &m_clock;
    Prompter &m_prompter;
    TypeRule m_typeRule;
    QLocale m_locale;
};

} // namespace ztk
