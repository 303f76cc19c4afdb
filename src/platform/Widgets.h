#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

class QButtonGroup;
class QRadioButton;

// Small widgets in the shape the windows are laid out with.

// A label that acts on a click (the navigation entries).
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A single-line field that tells when the keyboard focus leaves it for another control of
// its window (not when the window itself loses the focus or a context menu opens).
class ExitEdit : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

Q_SIGNALS:
    void exited();

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

// A clickable folder picture with a hand cursor.
class PictureButton : public QToolButton
{
    Q_OBJECT
public:
    explicit PictureButton(QWidget* parent = nullptr);
};

// A single-line field with a browse button inside its right end.
class BrowseEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit BrowseEdit(QWidget* parent = nullptr);

Q_SIGNALS:
    void browseClicked();
};

// A framed group of radio buttons with an item index: -1 until an item is selected.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, Qt::Orientation orientation,
               QWidget* parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index);
    QRadioButton* item(int index) const;

Q_SIGNALS:
    // The selection changed, by the user or by code.
    void changed();

private:
    QButtonGroup* m_group;
};

// A single-line field that turns the letters the user types into upper case; text set by the
// program is kept as it is.
class UpperCaseEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit UpperCaseEdit(QWidget* parent = nullptr);
};

// Gives a control its layout name, by which tests and tools find it.
template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A grey bold row caption.
QLabel* makeRowCaption(const QString& text, QWidget* parent);

// The standard button-face colour as a panel's background, whatever its parent shows.
QPalette buttonFacePalette();

// A borderless row field: white for a value on this machine, silver for one on the server.
void styleRowField(QLineEdit* field, bool remote);
