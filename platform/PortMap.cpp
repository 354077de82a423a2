#include "platform/PortMap.h"

#include <QDir>
#include <QFileInfo>

namespace {
struct DeviceRange {
    int firstPort;
    int lastPort;
    const char* prefix;
};
constexpr DeviceRange kRanges[] = {
    {1, 8, "/dev/ttyUSB"},
    {9, 16, "/dev/ttyACM"},
    {17, 32, "/dev/ttyS"},
};
} // namespace

QString devicePathForPort(int port, const QString& programFolder) {
    const QString link = QDir(programFolder).filePath(QStringLiteral("ports/COM%1").arg(port));
    if (QFileInfo(link).isSymLink() || QFileInfo::exists(link)) return link;
    for (const DeviceRange& range : kRanges)
        if (port >= range.firstPort && port <= range.lastPort)
            return QLatin1String(range.prefix) + QString::number(port - range.firstPort);
    return QString();
}
