#pragma once

#include <QString>
#include <QStringList>

// The database engine's alias configuration, shared machine-wide with the suite's programs.
// Each operation may throw EngineError with a clear text naming the configuration file.
class AliasEngine
{
public:
    virtual ~AliasEngine() = default;

    // True when an alias of that name (letter case ignored) exists.
    virtual bool IsAlias(const QString& name) = 0;
    // A new alias with the driver type, the driver's default parameters and then the listed
    // "NAME=value" parameters (a listed name replaces the default of the same name).
    virtual void AddAlias(const QString& name, const QString& driver, const QStringList& params) = 0;
    // Every parameter named in the list takes the list's value; parameters the list does not
    // name keep theirs; no parameter is added; the driver type is kept.
    virtual void ModifyAlias(const QString& name, const QStringList& params) = 0;
    // Writes every change made so far in this run to the configuration file.
    virtual void SaveConfigFile() = 0;
};

// The alias parameter list: "NAME=value" lines in order. Setting a name replaces the line of
// that name or appends one; setting an empty value removes the line or adds none.
class AliasParams
{
public:
    void setValue(const QString& name, const QString& value);
    QString value(const QString& name) const;
    const QStringList& lines() const { return m_lines; }

private:
    QStringList m_lines;
};
