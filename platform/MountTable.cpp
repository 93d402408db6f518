#include "platform/MountTable.h"

#include <QFile>

QByteArray MountTable::decodeField(const QByteArray& field)
{
    if (!field.contains('\\'))
        return field;
    QByteArray out;
    out.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        const char c = field.at(i);
        if (c == '\\' && i + 3 < field.size()) {
            const char a = field.at(i + 1), b = field.at(i + 2), d = field.at(i + 3);
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && d >= '0' && d <= '7') {
                out.append(char(((a - '0') << 6) | ((b - '0') << 3) | (d - '0')));
                i += 3;
                continue;
            }
        }
        out.append(c);
    }
    return out;
}

QVector<MountEntry> MountTable::parse(const QByteArray& text)
{
    QVector<MountEntry> result;
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray& line : lines) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split(' ');
        // 36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue
        int sep = fields.indexOf("-");
        if (sep < 6 || sep + 2 >= fields.size())
            continue;
        MountEntry e;
        bool ok1 = false, ok2 = false;
        e.mountId = fields.at(0).toInt(&ok1);
        e.parentId = fields.at(1).toInt(&ok2);
        const QByteArray dev = fields.at(2);
        const int colon = dev.indexOf(':');
        if (!ok1 || !ok2 || colon < 0)
            continue;
        e.devMajor = dev.left(colon).toUInt();
        e.devMinor = dev.mid(colon + 1).toUInt();
        e.root = decodeField(fields.at(3));
        e.mountPoint = decodeField(fields.at(4));
        e.options = fields.at(5);
        e.fsType = decodeField(fields.at(sep + 1));
        e.source = decodeField(fields.at(sep + 2));
        if (sep + 3 < fields.size())
            e.superOptions = fields.at(sep + 3);
        result.append(e);
    }
    return result;
}

QVector<MountEntry> MountTable::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // /proc files report size 0: read until the end.
    return parse(file.readAll());
}

quint64 MountEntry::subvolumeId() const
{
    if (fsType != "btrfs")
        return 0;
    for (const QByteArray& option : superOptions.split(',')) {
        if (option.startsWith("subvolid="))
            return option.mid(9).toULongLong();
    }
    return 0;
}
