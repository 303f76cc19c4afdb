#include "DatabaseTestDialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { AliasColumn, ConnectionColumn, ResultColumn };

QString routeName(ProbeRoute route)
{
    switch (route) {
    case ProbeRoute::Network: return QStringLiteral("over the network");
    case ProbeRoute::LocalServer: return QStringLiteral("through the local server");
    case ProbeRoute::Embedded: return QStringLiteral("by the embedded engine");
    case ProbeRoute::None: break;
    }
    return QString();
}

} // namespace

DatabaseTestDialog::DatabaseTestDialog(QList<AliasConnection> targets,
                                       DatabaseTestRun::ProbeFactory factory, QWidget* parent,
                                       int timeoutSeconds)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("DatabaseTestDialog"));
    setWindowTitle(QStringLiteral("Test GDB"));
    setModal(true);
    m_run = new DatabaseTestRun(
        std::move(targets), std::move(factory),
        [this](const AliasConnection& target) { return askPassword(target); }, timeoutSeconds,
        this);

    m_status = new QLabel(QStringLiteral("Opening each database as %1 ...").arg(DatabaseTestRun::user()), this);
    m_status->setObjectName(QStringLiteral("status"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setRange(0, int(m_run->targets().size()));
    m_progress->setValue(0);
    m_progress->setFormat(QStringLiteral("%v of %m"));

    m_results = new QTreeWidget(this);
    m_results->setObjectName(QStringLiteral("results"));
    m_results->setAccessibleName(QStringLiteral("Test results"));
    m_results->setColumnCount(3);
    m_results->setHeaderLabels(
        {QStringLiteral("Alias"), QStringLiteral("Connection string"), QStringLiteral("Result")});
    m_results->setRootIsDecorated(false);
    m_results->setWordWrap(true);
    m_results->setUniformRowHeights(false);
    m_results->setSelectionMode(QAbstractItemView::NoSelection);
    m_results->setTextElideMode(Qt::ElideNone);
    m_results->header()->setStretchLastSection(true);
    m_results->setColumnWidth(AliasColumn, 70);
    m_results->setColumnWidth(ConnectionColumn, 300);
    for (const AliasConnection& target : m_run->targets()) {
        auto* item = new QTreeWidgetItem(m_results);
        item->setText(AliasColumn, target.alias);
        item->setText(ConnectionColumn, target.connection);
        item->setToolTip(ConnectionColumn, target.connection);
        item->setText(ResultColumn, QStringLiteral("waiting"));
    }

    m_button = new QPushButton(QStringLiteral("Cancel"), this);
    m_button->setObjectName(QStringLiteral("button"));
    m_button->setAutoDefault(false);
    connect(m_button, &QPushButton::clicked, this, &DatabaseTestDialog::reject);

    m_copy = new QPushButton(QStringLiteral("Copy"), this);
    m_copy->setObjectName(QStringLiteral("copy"));
    m_copy->setAutoDefault(false);
    m_copy->setToolTip(QStringLiteral("Copies the results as text"));
    connect(m_copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(reportText()); });
    setTabOrder(m_results, m_copy);
    setTabOrder(m_copy, m_button);

    auto* top = new QVBoxLayout(this);
    top->addWidget(m_status);
    top->addWidget(m_progress);
    top->addWidget(m_results, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_copy);
    bottom->addWidget(m_button);
    top->addLayout(bottom);
    resize(820, 360);

    connect(m_run, &DatabaseTestRun::aliasStarted, this, &DatabaseTestDialog::onStarted);
    connect(m_run, &DatabaseTestRun::aliasFinished, this, &DatabaseTestDialog::onFinished);
    connect(m_run, &DatabaseTestRun::finished, this, &DatabaseTestDialog::onRunFinished);
}

QString DatabaseTestDialog::describe(const ProbeResult& result)
{
    if (!result.ok)
        return result.error;
    QStringList found;
    if (!result.odsVersion.isEmpty())
        found.append(QStringLiteral("ODS %1").arg(result.odsVersion));
    if (result.pageSize > 0)
        found.append(QStringLiteral("page size %1").arg(result.pageSize));
    if (!result.serverVersion.isEmpty())
        found.append(QStringLiteral("server %1").arg(result.serverVersion));
    QString text = QStringLiteral("OK");
    if (!found.isEmpty())
        text += QStringLiteral(": ") + found.join(QStringLiteral(", "));
    const QString route = routeName(result.route);
    if (!route.isEmpty())
        text += QStringLiteral("\n(opened ") + route + QLatin1Char(')');
    return text;
}

QString DatabaseTestDialog::reportText() const
{
    QString text = m_status->text() + QLatin1Char('\n');
    for (int row = 0; row < m_results->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_results->topLevelItem(row);
        text += QStringLiteral("\n%1  %2\n    %3\n")
                    .arg(item->text(AliasColumn), item->text(ConnectionColumn),
                         item->text(ResultColumn).replace(QLatin1Char('\n'), QStringLiteral("\n    ")));
    }
    return text;
}

QString DatabaseTestDialog::resultText(int row) const
{
    const QTreeWidgetItem* item = m_results->topLevelItem(row);
    return item ? item->text(ResultColumn) : QString();
}

void DatabaseTestDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    // Started from the event loop, so the window is drawn before the first attach.
    QTimer::singleShot(0, m_run, &DatabaseTestRun::start);
}

void DatabaseTestDialog::reject()
{
    if (m_run->isRunning()) {
        m_run->cancel();
        return;
    }
    QDialog::reject();
}

std::optional<QString> DatabaseTestDialog::askPassword(const AliasConnection& target)
{
    QInputDialog question(this);
    question.setObjectName(QStringLiteral("passwordQuestion"));
    question.setWindowTitle(QStringLiteral("Test GDB"));
    question.setLabelText(QStringLiteral("The server of %1 asks for the password of %2.\n"
                                         "It is used for this test only and never stored.")
                              .arg(target.alias, DatabaseTestRun::user()));
    question.setTextEchoMode(QLineEdit::Password);
    question.setInputMethodHints(Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
    if (question.exec() != QDialog::Accepted)
        return std::nullopt;
    return question.textValue();
}

void DatabaseTestDialog::onStarted(int index)
{
    if (QTreeWidgetItem* item = m_results->topLevelItem(index))
        item->setText(ResultColumn, QStringLiteral("testing ..."));
    m_status->setText(QStringLiteral("Opening %1 as %2 ...")
                          .arg(m_run->targets().at(index).alias, DatabaseTestRun::user()));
}

void DatabaseTestDialog::onFinished(int index, const ProbeResult& result)
{
    if (QTreeWidgetItem* item = m_results->topLevelItem(index)) {
        item->setText(ResultColumn, describe(result));
        item->setIcon(ResultColumn, style()->standardIcon(result.ok ? QStyle::SP_DialogApplyButton
                                                                    : QStyle::SP_MessageBoxCritical));
    }
    m_progress->setValue(m_progress->value() + 1);
}

void DatabaseTestDialog::onRunFinished(bool cancelled)
{
    m_finished = true;
    if (cancelled) {
        for (int row = 0; row < m_results->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = m_results->topLevelItem(row);
            const QString text = item->text(ResultColumn);
            if (text == QLatin1String("waiting") || text == QLatin1String("testing ..."))
                item->setText(ResultColumn, QStringLiteral("cancelled"));
        }
        m_status->setText(QStringLiteral("Test cancelled."));
    } else {
        m_status->setText(QStringLiteral("Test completed. Nothing was written."));
    }
    m_button->setText(QStringLiteral("Close"));
    m_button->setFocus();
}
