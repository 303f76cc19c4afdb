#pragma once

#include "ConfigureTools.h"
#include "FakeServices.h"
#include "TestFiles.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The main window on a temporary installation folder, with fake services. A test class derives
// from it after QObject and calls initFixture() and cleanupFixture() from its init() and
// cleanup().
class WindowFixture
{
protected:
    // A fresh installation folder and fresh doubles; no window yet.
    void initFixture()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_fake = std::make_unique<FakeServices>();
    }

    // Drops the window, the doubles and the folder; no top-level window may be left over.
    void cleanupFixture()
    {
        m_window.reset();
        m_fake.reset();
        m_dir.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Writes Register.ini (unless null) into the installation folder and opens the window.
    bool open(const QByteArray& ini)
    {
        if (!ini.isNull() && !writeAll(iniPath(), ini))
            return false;
        m_window = std::make_unique<TfrmConfigTools>(m_dir->filePath(QStringLiteral("calvex")),
                                                     m_fake->services());
        return true;
    }

    QString iniPath() const { return m_dir->filePath(QStringLiteral("Register.ini")); }
    QByteArray iniBytes() const { return readAll(iniPath()); }

    template <typename T> T* control(const QString& name) const
    {
        return m_window->findChild<T*>(name);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeServices> m_fake;
    std::unique_ptr<TfrmConfigTools> m_window;
};
