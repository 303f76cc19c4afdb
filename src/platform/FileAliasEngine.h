#pragma once

#include "AliasEngine.h"
#include "AtomicFile.h"
#include "IniDocument.h"

#include <chrono>
#include <vector>

// The alias configuration kept in an INI text file that the suite's programs share:
//
//   [POSSYS]
//   TYPE=INTRBASE
//   SERVER NAME=/opt/pos/Db/POSSYS.FDB
//   USER NAME=SYSDBA
//
// One section per alias, its driver under TYPE (anywhere in the section), then its parameters.
// The file is read and written with the line-preserving INI document of Register.ini, byte for
// byte: comments, blank lines, unknown lines, spacing and line ends are kept; only the values
// this run changes and the aliases it adds are new. Names are matched trimmed and without
// regard to letter case; the first section of a name is the alias.
//
// Changes are held as operations until SaveConfigFile, which under a lock re-reads the file and
// applies them to what is there now: a modify sets only its listed parameters of the alias as it
// now stands; an add of a name another program created meanwhile becomes a modify of that alias
// (its driver and other parameters kept); a modify of an alias another program removed meanwhile
// is an EngineError. A failed save discards its operations: they are never retried. Operations
// that never had a failed save are saved when the engine is destroyed. The first save of a run
// keeps the file as it was in "<path>.bak".
class FileAliasEngine : public AliasEngine
{
public:
    explicit FileAliasEngine(QString path,
                             std::chrono::milliseconds lockWait = std::chrono::seconds(3));
    ~FileAliasEngine() override;
    FileAliasEngine(const FileAliasEngine&) = delete;
    FileAliasEngine& operator=(const FileAliasEngine&) = delete;

    const QString& path() const { return m_path; }

    // Answers from the file as it is now, with this run's unsaved adds.
    bool IsAlias(const QString& name) override;
    void AddAlias(const QString& name, const QString& driver, const QStringList& params) override;
    void ModifyAlias(const QString& name, const QStringList& params) override;
    void SaveConfigFile() override;

private:
    struct Change
    {
        enum Kind { Add, Modify } kind;
        QString name;
        QString driver;      // Add only
        QStringList listed;  // the caller's parameters, without TYPE
        QStringList lines;   // Add only: the driver's defaults with the listed ones in place
    };

    // The file as last read or written, re-read when its identity or change stamps differ.
    const IniDocument& current(bool reread = false);
    bool inFile(const QString& name);
    void apply(IniDocument& document, const Change& change) const;
    QByteArray encoded(const IniDocument& document, const QString& text) const;
    void checkName(const QString& name) const;
    void checkParams(const QStringList& params) const;

    QString m_path;
    std::chrono::milliseconds m_lockWait;
    FileStamp m_stamp;       // of the file that m_document holds
    bool m_read = false;
    bool m_backedUp = false; // the run's first save keeps "<path>.bak"
    QByteArray m_bytes;
    IniDocument m_document;
    std::vector<Change> m_changes; // since the last save
};
