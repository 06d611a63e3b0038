// "fbdves.cfg" as read from the working folder: any bytes, any length.
#include "shared/PortConfig.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ztk::PortConfig config;
    config.fromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QByteArray bytes = config.toBytes();
    if (bytes.size() != ztk::PortConfig::FileSize || config.portName.size() > ztk::PortConfig::MaxNameLength)
        std::abort();
    // What was read is written back the same and reads back the same.
    ztk::PortConfig again;
    again.fromBytes(bytes);
    if (again.toBytes() != bytes)
        std::abort();
    return 0;
}
