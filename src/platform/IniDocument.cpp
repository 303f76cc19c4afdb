#include "IniDocument.h"

namespace {

QByteArrayView trimmed(QByteArrayView text)
{
    return text.trimmed();
}

bool sameName(QByteArrayView a, QByteArrayView b)
{
    return trimmed(a).compare(trimmed(b), Qt::CaseInsensitive) == 0;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<QByteArrayView> sectionName(QByteArrayView line)
{
    const QByteArrayView text = trimmed(line);
    if (!text.startsWith('['))
        return std::nullopt;
    const qsizetype close = text.indexOf(']');
    return trimmed(close < 0 ? text.sliced(1) : text.sliced(1, close - 1));
}

// Splits "key=value" at the first '='; nothing for a line without one.
std::optional<std::pair<QByteArrayView, QByteArrayView>> keyValue(QByteArrayView line)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return std::make_pair(trimmed(line.first(eq)), line.sliced(eq + 1));
}

QByteArrayView contentOf(const QByteArray& line)
{
    QByteArrayView view(line);
    if (view.endsWith('\n'))
        view.chop(1);
    if (view.endsWith('\r'))
        view.chop(1);
    return view;
}

bool isBlank(const QByteArray& line)
{
    return trimmed(contentOf(line)).isEmpty();
}

} // namespace

IniDocument IniDocument::fromBytes(const QByteArray& bytes)
{
    IniDocument doc;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', start);
        const qsizetype end = nl < 0 ? bytes.size() : nl + 1;
        doc.m_lines.append(bytes.mid(start, end - start));
        start = end;
    }
    // New lines follow the style the file already uses; a new file gets CRLF.
    const qsizetype firstNl = bytes.indexOf('\n');
    if (firstNl >= 0)
        doc.m_eol = (firstNl > 0 && bytes.at(firstNl - 1) == '\r') ? "\r\n" : "\n";
    return doc;
}

QByteArray IniDocument::toBytes() const
{
    QByteArray out;
    for (const QByteArray& line : m_lines)
        out += line;
    return out;
}

qsizetype IniDocument::findSection(QByteArrayView section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(contentOf(m_lines.at(i)));
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && !sectionName(contentOf(m_lines.at(i))))
        ++i;
    return i;
}

qsizetype IniDocument::findKey(qsizetype header, QByteArrayView key) const
{
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const auto kv = keyValue(contentOf(m_lines.at(i)));
        if (kv && sameName(kv->first, key))
            return i;
    }
    return -1;
}

std::optional<QByteArray> IniDocument::value(QByteArrayView section, QByteArrayView key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype line = findKey(header, key);
    if (line < 0)
        return std::nullopt;
    QByteArrayView text = trimmed(keyValue(contentOf(m_lines.at(line)))->second);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front())
        text = text.sliced(1, text.size() - 2);
    return text.toByteArray();
}

void IniDocument::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    // A line break inside a value would split it into lines of its own, so it is flattened.
    QByteArray flat = value.toByteArray();
    flat.replace('\r', ' ').replace('\n', ' ');

    const qsizetype header = findSection(section);
    if (header >= 0) {
        const qsizetype line = findKey(header, key);
        if (line >= 0) {
            QByteArray& text = m_lines[line];
            const QByteArrayView content = contentOf(text);
            const QByteArray eol = text.mid(content.size());
            qsizetype valueStart = content.indexOf('=') + 1;
            while (valueStart < content.size() &&
                   (content.at(valueStart) == ' ' || content.at(valueStart) == '\t'))
                ++valueStart;
            text = content.first(valueStart).toByteArray() + flat + eol;
            return;
        }
        qsizetype insertAt = sectionEnd(header);
        while (insertAt > header + 1 && isBlank(m_lines.at(insertAt - 1)))
            --insertAt;
        terminateLastLine(insertAt);
        m_lines.insert(insertAt, key.toByteArray() + '=' + flat + m_eol);
        return;
    }
    terminateLastLine(m_lines.size());
    m_lines.append('[' + section.toByteArray() + ']' + m_eol);
    m_lines.append(key.toByteArray() + '=' + flat + m_eol);
}

void IniDocument::terminateLastLine(qsizetype before)
{
    // The line before an insertion point must end with a line break of its own.
    if (before > 0 && !m_lines.at(before - 1).endsWith('\n'))
        m_lines[before - 1] += m_eol;
}

QList<QByteArray> IniDocument::sections() const
{
    QList<QByteArray> names;
    for (const QByteArray& line : m_lines) {
        const auto name = sectionName(contentOf(line));
        if (!name)
            continue;
        bool seen = false;
        for (const QByteArray& known : names)
            seen = seen || sameName(known, *name);
        if (!seen)
            names.append(name->toByteArray());
    }
    return names;
}

QList<QByteArray> IniDocument::keys(QByteArrayView section) const
{
    QList<QByteArray> names;
    const qsizetype header = findSection(section);
    if (header < 0)
        return names;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const auto kv = keyValue(contentOf(m_lines.at(i)));
        if (!kv)
            continue;
        bool seen = false;
        for (const QByteArray& known : names)
            seen = seen || sameName(known, kv->first);
        if (!seen)
            names.append(kv->first.toByteArray());
    }
    return names;
}
