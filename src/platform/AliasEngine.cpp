#include "AliasEngine.h"

namespace {

// The line's name is what precedes its first '='; names are matched trimmed, case ignored.
qsizetype indexOfName(const QStringList& lines, const QString& name)
{
    const QString wanted = name.trimmed();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].section(QLatin1Char('='), 0, 0).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

void AliasParams::setValue(const QString& name, const QString& value)
{
    const qsizetype index = indexOfName(m_lines, name);
    if (value.isEmpty()) {
        if (index >= 0)
            m_lines.removeAt(index);
        return;
    }
    const QString line = name + QLatin1Char('=') + value;
    if (index >= 0)
        m_lines[index] = line;
    else
        m_lines.append(line);
}

QString AliasParams::value(const QString& name) const
{
    const qsizetype index = indexOfName(m_lines, name);
    if (index < 0)
        return QString();
    const QString& line = m_lines[index];
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}
