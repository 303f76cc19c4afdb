#include "Widgets.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    QLabel::mouseReleaseEvent(event);
}

void ExitEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        Q_EMIT exited();
}

PictureButton::PictureButton(QWidget* parent) : QToolButton(parent)
{
    setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    setAutoRaise(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(24, 22);
}

BrowseEdit::BrowseEdit(QWidget* parent) : QLineEdit(parent)
{
    QAction* browse = addAction(style()->standardIcon(QStyle::SP_DirOpenIcon),
                                QLineEdit::TrailingPosition);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QAction::triggered, this, &BrowseEdit::browseClicked);
}

RadioGroup::RadioGroup(const QString& caption, const QStringList& items,
                       Qt::Orientation orientation, QWidget* parent)
    : QGroupBox(caption, parent), m_group(new QButtonGroup(this))
{
    QBoxLayout* layout = orientation == Qt::Horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(this))
                                                       : new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 2);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items.at(i), this);
        m_group->addButton(button, i);
        layout->addWidget(button);
    }
    connect(m_group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            Q_EMIT changed();
    });
}

int RadioGroup::itemIndex() const
{
    return m_group->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (QAbstractButton* button = m_group->button(index))
        button->setChecked(true);
}

QRadioButton* RadioGroup::item(int index) const
{
    return qobject_cast<QRadioButton*>(m_group->button(index));
}

UpperCaseEdit::UpperCaseEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text)
            return;
        const int cursor = cursorPosition();
        setText(upper);
        setCursorPosition(cursor);
    });
}

QLabel* makeRowCaption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::gray);
    label->setPalette(palette);
    return label;
}

void styleRowField(QLineEdit* field, bool remote)
{
    field->setFrame(false);
    // A thin line marks where a white field lies on the white page.
    field->setStyleSheet(remote ? QStringLiteral("QLineEdit { background: #c0c0c0; border: 1px solid #c0c0c0; }")
                                : QStringLiteral("QLineEdit { background: white; border: 1px solid #c8c8c8; }"));
}

QPalette buttonFacePalette()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    return palette;
}
