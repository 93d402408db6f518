#include "ui/common/VolumeStateText.h"

#include <QStringList>

QString VolumeStateText::reason(const VolumeState& s)
{
    switch (s.reason) {
    case VolumeState::NotChosen:
        return tr("not chosen for indexing");
    case VolumeState::MarkRefused:
        return tr("the file system cannot be watched as a whole");
    case VolumeState::Subvolume:
        return tr("a btrfs subvolume cannot be watched as a whole");
    case VolumeState::NoStableInodes:
        return tr("%1 has no stable file numbers").arg(s.fsType);
    case VolumeState::OverlayRoot:
        return tr("an overlay root cannot be watched");
    case VolumeState::SameSerial:
        return tr("another volume has the same serial number");
    case VolumeState::NoSerial:
        return tr("its serial number cannot be read");
    case VolumeState::NoReason:
        break;
    }
    return QString();
}

QString VolumeStateText::state(const VolumeState& s)
{
    switch (s.state) {
    case VolumeState::State::Indexed:
        return tr("Indexed");
    case VolumeState::State::Updating:
        return tr("Updating...");
    case VolumeState::State::Loading:
        return tr("Loading...");
    case VolumeState::State::Walked:
        return tr("Walked: %1").arg(reason(s));
    case VolumeState::State::Failed:
        return tr("Failed: %1").arg(s.error);
    }
    return QString();
}

QString VolumeStateText::indexReady(const QList<VolumeState>& states, QString* toolTip)
{
    QStringList failed;
    int walked = 0;
    QStringList lines;
    for (const VolumeState& s : states) {
        if (!s.chosen || s.served())
            continue;
        if (s.state == VolumeState::State::Failed)
            failed << s.mountPoint;
        else
            ++walked; // walked for a reason of its own, or not built yet: walked at search time
        lines << QStringLiteral("%1: %2").arg(s.mountPoint, state(s));
    }
    if (toolTip)
        *toolTip = lines.isEmpty() ? QString()
                                   : tr("Searched by walking them:") + QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
    if (failed.isEmpty() && walked == 0)
        return QCoreApplication::translate("MainWindow", "Index: ready");
    QStringList parts;
    if (failed.size() == 1)
        parts << tr("%1 failed").arg(failed.first());
    else if (!failed.isEmpty())
        parts << tr("%n volumes failed", nullptr, failed.size());
    if (walked > 0)
        parts << tr("%n volumes walked", nullptr, walked);
    return tr("Index: ready (%1)").arg(parts.join(QStringLiteral(", ")));
}
