#pragma once

#include "ConfigureTools.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QStringList>

// The main window's bottom bar as the user sees it: which of the progress label and the gauge
// are shown, and which buttons take a click.
inline QString bottomBarState(const TfrmConfigTools& window)
{
    QStringList shown, enabled;
    if (window.Label24->isVisible())
        shown << QStringLiteral("label");
    if (window.ProgressBar1->isVisible())
        shown << QStringLiteral("gauge");
    if (window.BitBtn2->isEnabled())
        enabled << QStringLiteral("OK");
    if (window.bbtnCancel->isEnabled())
        enabled << QStringLiteral("Cancel");
    if (window.BitBtn5->isEnabled())
        enabled << QStringLiteral("Archive");
    return QStringLiteral("shown [%1], enabled [%2]").arg(shown.join(' '), enabled.join(' '));
}

namespace BottomBar {
// Before and after Apply, and in every validation check.
inline const QString Idle = QStringLiteral("shown [], enabled [OK Cancel Archive]");
// While the stages and their pauses run.
inline const QString Running = QStringLiteral("shown [label gauge], enabled []");
} // namespace BottomBar
