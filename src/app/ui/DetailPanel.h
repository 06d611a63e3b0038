#pragma once
// The binding of the main window's detail panel to the product dataset: each box
// shows a field of the current record, and what the operator types goes into the
// record at the next store or move (the dataset's update hook). Texts typed into a
// record and not yet written stay while it is current and are dropped for another.

#include <QObject>

#include <functional>

#include <vector>

class QLineEdit;

namespace ztk {

class ProductDataset;
class Prompter;

class DetailPanel : public QObject {
    Q_OBJECT
public:
    enum Kind { Stored, Calculated };
    struct Box {
        QLineEdit *edit = nullptr;
        const char *field = nullptr;
        Kind kind = Stored;
    };

    // The dataset and the prompter outlive the panel. The order of `boxes` is the
    // order the texts are written in ("N" first: its 5000 rule runs before the rest).
    DetailPanel(ProductDataset &dataset, Prompter &prompter, std::vector<Box> boxes, QObject *parent = nullptr);

    // The current record's fields into the boxes, typed texts of this record kept.
    void refresh();
    // The typed boxes into the record; false, with the conversion error shown and the
    // box focused, when a box holds a text its field cannot take.
    bool write();
    // Forgets what was typed (a reopen drops a pending edit).
    void clearTyped();
    // Something was typed into a box and is not stored yet.
    bool anyTyped() const;
    // Called after every text the operator types.
    std::function<void()> onTyped;
    // True while the panel fills the boxes (their change signals are not typing).
    bool updating() const { return m_updating; }

private:
    struct Bound {
        Box box;
        bool typed = false;
    };
    void edited(QLineEdit *edit);
    qint64 currentRecordKey() const; // rowid of the current record; -1 while inserting

    ProductDataset &m_dataset;
    Prompter &m_prompter;
    std::vector<Bound> m_bound;
    bool m_updating = false;
    bool m_writing = false;
    qint64 m_shownKey = 0; // the record the panel shows
};

} // namespace ztk
