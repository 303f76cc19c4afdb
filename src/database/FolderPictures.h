#pragma once

#include <QList>
#include <QPair>
#include <QString>

class FolderPicker;
class QLineEdit;
class QObject;
class QWidget;

// The one folder picker that serves every folder picture of the window: a click on a
// registered picture opens it at the folder last confirmed during this run and puts the
// confirmed folder into the picture's field.
class FolderPictures
{
public:
    FolderPictures(FolderPicker& picker, QWidget* owner) : m_picker(picker), m_owner(owner) {}

    void add(QObject* picture, QLineEdit* target) { m_targets.append({picture, target}); }
    void Image20Click(QObject* sender);

private:
    FolderPicker& m_picker;
    QWidget* m_owner;
    QList<QPair<QObject*, QLineEdit*>> m_targets;
    QString m_lastFolder;
};
