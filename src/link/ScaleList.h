#pragma once
// The scales of the shop: "scales.ini" in the working folder, Qt's INI format in
// UTF-8, one group a scale:
//
//   [kassa1]
//   port=ttyUSB0            ; a serial name, a device path or tcp:HOST:PORT
//   speed=9600
//   number=1                ; the scale's number (its settings file VL<n>.cfg)
//
// Read here line by line (QSettings says nothing of line numbers or duplicates); what
// it writes QSettings reads the same.

#include "shared/PortConfig.h"
#include "shared/Files.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace ztk {

struct ScaleEntry {
    QString name;
    QString port;
    std::int32_t speed = DefaultLineSpeed;
    int number = 1;

    // `base` (the stop bits and parity of "fbdves.cfg") with this scale's port, speed and number.
    PortConfig portConfig(const PortConfig &base) const;
};

class ScaleList {
public:
    static constexpr const char *FileName = files::ScalesList;
    static constexpr int MaxPortLength = 128; // a /dev/serial/by-id path fits
    static constexpr int MaxNameLength = 32;

    // Reads the text; each bad line is in problems() and the scale it belongs to is
    // left out, the well-described ones stay.
    static ScaleList parse(const QByteArray &utf8);
    // The list of `workDir`; without the file, the one scale of `single` (its port as name).
    // `missing` tells which.
    static ScaleList load(const QString &workDir, const PortConfig &single, bool *missing = nullptr);

    // Letters, digits, '-' and '_': the name goes into file names and a comma-separated list.
    static bool validName(const QString &name);
    static bool validPort(const QString &port);

    const QList<ScaleEntry> &scales() const { return m_scales; }
    const QStringList &problems() const { return m_problems; }
    const ScaleEntry *find(const QString &name) const;
    // The name of the scale on `port`: the listed one, else one made of the port.
    QString nameOfPort(const QString &port) const;
    // "all", or names separated by commas; nothing with `error` set for an unknown name.
    std::optional<QList<ScaleEntry>> pick(const QString &names, QString &error) const;

    // Adds a new scale; false with `error` for a taken or bad name or a bad port.
    bool add(const ScaleEntry &scale, QString &error);
    bool remove(const QString &name);

    // Puts `port` into the list of `workDir` unless a scale has it already, named after
    // the port ("tcp-192-168-1-40-4001"); a list made anew starts with the one scale of
    // `single`. False with `error` for a bad port or a list that cannot be read or written.
    static bool keepPort(const QString &workDir, const PortConfig &single, const QString &port, QString &error);

    QByteArray toText() const;
    // Writes the file whole or not at all; false with `error`.
    bool save(const QString &workDir, QString &error) const;

private:
    QList<ScaleEntry> m_scales;
    QStringList m_problems;
};

} // namespace ztk
