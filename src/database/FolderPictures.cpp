#include "FolderPictures.h"

#include "Services.h"

#include <QLineEdit>
#include <QSignalBlocker>

void FolderPictures::Image20Click(QObject* sender)
{
    for (const auto& [picture, target] : m_targets) {
        if (picture != sender)
            continue;
        const auto folder = m_picker.pickFolder(m_owner, m_lastFolder);
        if (!folder)
            return;
        m_lastFolder = *folder;
        // A text set by the picker is no edit of the user's: no handler of the field runs.
        const QSignalBlocker quiet(target);
        target->setText(*folder);
        return;
    }
}
