#pragma once

#include "Widgets.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

// Applies "objectName=value" edits to the controls under `root`: a field takes the text, a box
// or radio button is ticked by "1", a radio group or list picks the item at that index.
// `expand`, when given, rewrites each value first. False when a name is no such control.
inline bool applyEdits(QWidget* root, const QStringList& edits,
                       const std::function<QString(const QString&)>& expand = {})
{
    for (const QString& edit : edits) {
        const QString raw = edit.section(QLatin1Char('='), 1);
        const QString value = expand ? expand(raw) : raw;
        QWidget* w = root->findChild<QWidget*>(edit.section(QLatin1Char('='), 0, 0));
        if (auto* field = qobject_cast<QLineEdit*>(w))
            field->setText(value);
        else if (auto* box = qobject_cast<QAbstractButton*>(w))
            box->setChecked(value == QLatin1String("1"));
        else if (auto* group = qobject_cast<RadioGroup*>(w))
            group->setItemIndex(value.toInt());
        else if (auto* list = qobject_cast<QComboBox*>(w))
            list->setCurrentIndex(value.toInt());
        else
            return false;
    }
    return true;
}
