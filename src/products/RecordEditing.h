#pragma once
// The editing commands of the main window over the product dataset: store and
// advance, insert after the current record, delete one or the whole selection,
// clear, copy and replace. Questions go through the prompter; the grid and the
// detail panel are redrawn once per command.

#include "products/ProductDataset.h"

#include <QDate>
#include <QString>
#include <optional>

namespace ztk {

// A copied record, kept by the main window for the whole run.
struct CopyBuffer {
    bool full = false;
    QString name[5];
    QString bestBefore, prefix, type;
    float priceHundredths = 0; // "Цена" x 100
};

class RecordEditing {
public:
    // `selectionSql` is the main window's SelectionSql; all three outlive the object.
    RecordEditing(ProductDataset &dataset, Prompter &prompter, const QString &selectionSql);

    // "Запись": stores the current record, reruns the selection and makes the next
    // position current. False when the store was refused (the record stays in edit state).
    bool storeAndAdvance();
    // "Вставить запись": a record numbered one above the current one. False when the
    // operator cancelled, the number lookup failed, or the store was refused.
    bool insertAfterCurrent();
    // "Удалить запись", "Удалить все", "Очистить запись": each asks first; false when
    // refused or when the store failed.
    bool deleteCurrent();
    bool deleteSelection();
    bool clearCurrent();
    // "Копия записи": false when there is no current record.
    bool copyCurrent(CopyBuffer &buffer);
    // "Замена записи": names, best-before, prefix, type and price from the copy; "N"
    // and "SK5" stay. Nothing happens without a copy.
    bool replaceCurrent(const CopyBuffer &buffer);

private:
    ProductDataset &m_dataset;
    Prompter &m_prompter;
    const QString &m_selectionSql;
};

// The best-before dialog's date (dd.mm.yy) as "ГоденДо" keeps it (yy.mm.dd); none and
// the conversion error's text in `error` when the text is not a date.
std::optional<QString> storedBestBefore(const QString &shown, const QDate &today, QString *error = nullptr);
// The date the dialog opens on: the shown "Goden", or today when it is not a date.
QDate bestBeforeDialogDate(const QString &shownGoden, const QDateTime &now);

} // namespace ztk
