#pragma once
// The index window "Формирование индексов": the products of the main window's
// selection with tick boxes; the numbers of the ticked ones, in ticking order, in the
// memo beside the key numbers 1..28; "Выполнить" copies them into the weight or the
// piece layout of the common-data window. Reset by every opening.

#include "app/AppContext.h"
#include "ui/TickListDialog.h"
#include "common/KeyLayout.h"

#include <vector>

class TForm6 : public TickListDialog {
    Q_OBJECT
public:
    explicit TForm6(const ztk::AppContext &context, QWidget *parent = nullptr);
    ~TForm6() override;

    // An opening for the weight (true) or the piece layout: one unticked item per
    // entry ("N Name"), the memo empty, the count 0, the caption of the mode. The caller
    // then shows the window modally.
    void open(bool weight, const QStringList &entryTexts);

    bool weightMode() const { return m_weight; }
    const ztk::common::KeyLayout &layout() const { return m_layout; }

    std::vector<QLabel *> KeyLabels; // Label3 ... Label30: "1" ... "28"
    QLabel *Label31 = nullptr;       // "Клавиша/товар"

    void N1Click();
    void N3Click();
    void FormActivate();

protected:
    ztk::TickedList &ticks() override { return m_layout; }
    void showEvent(QShowEvent *event) override;

private:
    void initActionsConnections();

    ztk::common::KeyLayout m_layout;
    bool m_weight = true;
};

extern TForm6 *Form6;
