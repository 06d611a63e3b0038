#pragma once
// The sending step of a product write: the image from "BDforVes.bd" to the scale with
// the command 0x07, every non-empty slot acknowledged. AckCount is on for the whole
// write and off again on every way out; a time-out ends the write at once.

#include "shared/Seams.h"

#include <QString>
#include <functional>

namespace ztk {

class ScaleLink;
class ProductImage;

struct WriteResult {
    bool ok = false;
    QString message;   // empty on success; else the text to show
    int announced = 0; // the count sent to the scale
    int sent = 0;      // records acknowledged
};

class ProductWriter {
public:
    // Gauge values 0..100, called after each acknowledged record.
    using Progress = std::function<void(int percent)>;

    // All references outlive the writer. The clock sets every limit (the 100 ms pause
    // after the command and each wait of 15 s).
    ProductWriter(ScaleLink &link, const Clock &clock, EventPump &pump, Progress progress = {});

    // Reads the file first: missing or shorter than the image -> "Не могу открыть файл на
    // чтение" and nothing sent.
    WriteResult sendFile(const QString &path);
    // Sends an image held in memory. The count announced is the number of non-empty slots.
    WriteResult send(const ProductImage &image);

private:
    ScaleLink &m_link;
    const Clock &m_clock;
    EventPump &m_pump;
    Progress m_progress;
};

} // namespace ztk
