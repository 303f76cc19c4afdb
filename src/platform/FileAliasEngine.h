#pragma once

#include "AliasEngine.h"

#include <chrono>
#include <vector>

// The alias configuration kept in a UTF-8 INI text file that the suite's programs share:
//
//   [POSSYS]
//   TYPE=INTRBASE
//   SERVER NAME=/opt/pos/Db/POSSYS.FDB
//   USER NAME=SYSDBA
//
// One section per alias, "TYPE=<driver>" first, then the parameters in order. Names (which may
// contain blanks) are matched trimmed and without regard to letter case; a value is everything
// after the first '=', verbatim, since a path may contain any character but a line break.
// Blank lines and lines starting with ';' or '#' are comments; they are not kept when the file
// is rewritten (no program of the suite writes any). A file with CRLF line endings is read; the
// file is written with LF endings and a blank line between sections.
//
// The file is read on first use (a missing file is an empty configuration). Changes stay in
// memory until SaveConfigFile, which under a lock on "<path>.lock" re-reads the file, replays
// this run's changes on top of what other programs saved meanwhile and replaces the file
// atomically. Unsaved changes are saved when the engine is destroyed.
class FileAliasEngine : public AliasEngine
{
public:
    explicit FileAliasEngine(QString path,
                             std::chrono::milliseconds lockWait = std::chrono::seconds(3));
    ~FileAliasEngine() override;
    FileAliasEngine(const FileAliasEngine&) = delete;
    FileAliasEngine& operator=(const FileAliasEngine&) = delete;

    const QString& path() const { return m_path; }

    bool IsAlias(const QString& name) override;
    void AddAlias(const QString& name, const QString& driver, const QStringList& params) override;
    void ModifyAlias(const QString& name, const QStringList& params) override;
    void SaveConfigFile() override;

    // The parsed form of one section.
    struct Alias
    {
        QString name;
        QString type;
        QStringList params; // "NAME=value", in file order, without TYPE
    };
    using Aliases = std::vector<Alias>;

private:
    // One operation of this run, replayed on the file's current content when saving.
    struct Change
    {
        enum Kind { Add, Modify } kind;
        QString name;
        QString type;
        QStringList params;
    };

    static void apply(Aliases& aliases, const Change& change);
    void ensureLoaded();
    Aliases readFile() const;
    void checkName(const QString& name) const;
    void checkParams(const QStringList& params) const;

    QString m_path;
    std::chrono::milliseconds m_lockWait;
    bool m_loaded = false;
    Aliases m_aliases;
    std::vector<Change> m_changes; // since the last save
};
