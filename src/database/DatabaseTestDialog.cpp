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
#include <QTableWidget>
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

    m_status = new QLabel(
        QStringLiteral("Opening each database as %1 ...").arg(DatabaseTestRun::user()), this);
    m_status->setObjectName(QStringLiteral("status"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setRange(0, int(m_run->targets().size()));
    m_progress->setValue(0);
    m_progress->setFormat(QStringLiteral("%v of %m"));

    m_results = new QTableWidget(int(m_run->targets().size()), 3, this);
    m_results->setObjectName(QStringLiteral("results"));
    m_results->setAccessibleName(QStringLiteral("Test results"));
    m_results->setHorizontalHeaderLabels(
        {QStringLiteral("Alias"), QStringLiteral("Connection string"), QStringLiteral("Result")});
    m_results->verticalHeader()->hide();
    m_results->setWordWrap(true);
    m_results->setTextElideMode(Qt::ElideNone);
    m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_results->setSelectionMode(QAbstractItemView::NoSelection);
    m_results->setShowGrid(false);
    m_results->horizontalHeader()->setStretchLastSection(true);
    m_results->setColumnWidth(AliasColumn, 70);
    m_results->setColumnWidth(ConnectionColumn, 330);
    for (int row = 0; row < m_run->targets().size(); ++row) {
        const AliasConnection& target = m_run->targets().at(row);
        auto cell = [&](Column column, const QString& text) {
            auto* item = new QTableWidgetItem(text);
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            m_results->setItem(row, column, item);
            return item;
        };
        cell(AliasColumn, target.alias);
        cell(ConnectionColumn, target.connection)->setToolTip(target.connection);
        cell(ResultColumn, QStringLiteral("waiting"));
    }
    m_results->resizeRowsToContents();

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
    resize(900, 420);

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
    for (int row = 0; row < m_results->rowCount(); ++row) {
        text += QStringLiteral("\n%1  %2\n    %3\n")
                    .arg(m_results->item(row, AliasColumn)->text(),
                         m_results->item(row, ConnectionColumn)->text(),
                         resultText(row).replace(QLatin1Char('\n'), QStringLiteral("\n    ")));
    }
    return text;
}

QString DatabaseTestDialog::resultText(int row) const
{
    const QTableWidgetItem* item = m_results->item(row, ResultColumn);
    return item ? item->text() : QString();
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
    if (QTableWidgetItem* item = m_results->item(index, ResultColumn))
        item->setText(QStringLiteral("testing ..."));
    m_results->resizeRowToContents(index);
    m_status->setText(QStringLiteral("Opening %1 as %2 ...")
                          .arg(m_run->targets().at(index).alias, DatabaseTestRun::user()));
}

void DatabaseTestDialog::onFinished(int index, const ProbeResult& result)
{
    if (QTableWidgetItem* item = m_results->item(index, ResultColumn)) {
        item->setText(describe(result));
        item->setIcon(style()->standardIcon(result.ok ? QStyle::SP_DialogApplyButton
                                                      : QStyle::SP_MessageBoxCritical));
    }
    m_results->resizeRowToContents(index);
    m_progress->setValue(m_progress->value() + 1);
}

void DatabaseTestDialog::onRunFinished(bool cancelled)
{
    m_finished = true;
    if (cancelled) {
        for (int row = 0; row < m_results->rowCount(); ++row) {
            QTableWidgetItem* item = m_results->item(row, ResultColumn);
            if (item->text() == QLatin1String("waiting") ||
                item->text() == QLatin1String("testing ..."))
                item->setText(QStringLiteral("cancelled"));
        }
        m_results->resizeRowsToContents();
        m_status->setText(QStringLiteral("Test cancelled."));
    } else {
        m_status->setText(QStringLiteral("Test completed. No setting was changed."));
    }
    m_button->setText(QStringLiteral("Close"));
    m_button->setFocus();
}
