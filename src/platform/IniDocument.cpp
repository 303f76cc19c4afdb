#include "IniDocument.h"

#include "TextEncoding.h"

namespace {

const QByteArray Utf8Mark("\xef\xbb\xbf");
const QByteArray Utf16LEMark("\xff\xfe");

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// Only ASCII letters fold: the profile functions compare other letters exactly.
char folded(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}

bool sameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (folded(a[i]) != folded(b[i]))
            return false;
    }
    return true;
}

std::uint64_t nameHash(QByteArrayView name, std::uint64_t seed)
{
    std::uint64_t hash = 14695981039346656037ULL ^ seed;
    for (char c : name) {
        hash ^= uchar(folded(c));
        hash *= 1099511628211ULL;
    }
    return hash ^ (hash >> 29);
}

// A stored value as the profile functions return it: up to a NUL, trimmed, one outer pair of
// the same quote removed.
QByteArrayView readValue(QByteArrayView raw)
{
    const qsizetype nul = raw.indexOf('\0');
    QByteArrayView text = trimmed(nul < 0 ? raw : raw.first(nul));
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front())
        text = text.sliced(1, text.size() - 2);
    return text;
}

QByteArray flattened(QByteArrayView text)
{
    QByteArray flat = text.toByteArray();
    if (flat.contains('\r') || flat.contains('\n'))
        flat.replace('\r', ' ').replace('\n', ' ');
    return flat;
}

} // namespace

IniDocument::IniDocument() : m_sections(1) {}

IniDocument IniDocument::fromBytes(const QByteArray& fileBytes)
{
    IniDocument doc;
    doc.m_source = fileBytes;
    qsizetype from = 0;
    if (fileBytes.startsWith(Utf8Mark)) {
        doc.m_encoding = Encoding::Utf8Bom;
        doc.m_text = fileBytes;
        from = Utf8Mark.size();
    } else if (fileBytes.startsWith(Utf16LEMark)) {
        doc.m_encoding = Encoding::Utf16LEBom;
        QByteArrayView units = QByteArrayView(fileBytes).sliced(Utf16LEMark.size());
        if (units.size() % 2 != 0) {
            doc.m_tail = units.last(1).toByteArray();
            units.chop(1);
        }
        doc.m_text = TextEncoding::utf16LEToUtf8(units);
    } else {
        doc.m_text = fileBytes;
    }
    doc.parse(from);
    return doc;
}

void IniDocument::parse(qsizetype from)
{
    static const QByteArray Crlf("\r\n"), Lf("\n"), Cr("\r");
    const char* data = m_text.constData();
    const qsizetype size = m_text.size();
    bool eolSeen = false;
    std::int32_t current = 0;
    std::int32_t previous = -1;
    for (qsizetype pos = from; pos < size;) {
        qsizetype end = pos;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        std::uint8_t eol = 0;
        if (end < size)
            eol = data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? 2 : 1;
        if (!eolSeen && eol > 0) {
            m_eol = eol == 2 ? Crlf : data[end] == '\n' ? Lf : Cr;
            eolSeen = true;
        }
        Line line;
        line.start = pos;
        line.length = std::int32_t(end - pos);
        line.eol = eol;
        classify(line);
        const auto index = std::int32_t(m_lines.size());
        if (line.kind == Kind::Header) {
            m_sections.push_back({index, index, index, index});
            current = std::int32_t(m_sections.size() - 1);
        } else {
            Section& section = m_sections[current];
            if (section.first < 0)
                section.first = index;
            section.last = index;
            if (line.kind != Kind::Blank)
                section.lastFilled = index;
        }
        line.section = current;
        if (previous >= 0)
            m_lines[previous].next = index;
        else
            m_head = index;
        m_lines.push_back(line);
        previous = index;
        pos = end + eol;
    }
    m_tailLine = previous;
    for (std::int32_t s = 0; s < std::int32_t(m_sections.size()); ++s)
        indexSection(s);
    for (std::int32_t i = 0; i < std::int32_t(m_lines.size()); ++i)
        indexKey(i);
}

void IniDocument::classify(Line& line) const
{
    const QByteArrayView content = contentOf(line);
    const char* base = content.data();
    const QByteArrayView text = trimmed(content);
    line.equals = -1;
    if (text.isEmpty()) {
        line.kind = Kind::Blank;
        line.nameStart = line.nameLength = 0;
        return;
    }
    QByteArrayView name;
    const qsizetype close = text.lastIndexOf(']');
    if (text.front() == '[' && close > 0) {
        line.kind = Kind::Header;
        name = trimmed(text.sliced(1, close - 1));
    } else {
        const qsizetype equals = content.indexOf('=');
        line.kind = equals < 0 ? Kind::KeyOnly : Kind::Key;
        line.equals = std::int32_t(equals);
        name = trimmed(equals < 0 ? content : content.first(equals));
    }
    line.nameStart = std::int32_t(name.data() - base);
    line.nameLength = std::int32_t(name.size());
}

QByteArrayView IniDocument::contentOf(const Line& line) const
{
    return QByteArrayView(m_text.constData() + line.start, line.length);
}

QByteArrayView IniDocument::nameOf(const Line& line) const
{
    return QByteArrayView(m_text.constData() + line.start + line.nameStart, line.nameLength);
}

QByteArrayView IniDocument::rawValueOf(const Line& line) const
{
    return contentOf(line).sliced(line.equals + 1);
}

std::uint64_t IniDocument::keyHash(std::int32_t section, QByteArrayView name) const
{
    return nameHash(name, std::uint64_t(section + 1) * 0x9e3779b97f4a7c15ULL);
}

std::int32_t IniDocument::findSection(QByteArrayView name) const
{
    return m_sectionIndex.find(nameHash(name, 0), [this, name](std::int32_t s) {
        const std::int32_t header = m_sections[s].header;
        return sameName(header < 0 ? QByteArrayView() : nameOf(m_lines[header]), name);
    });
}

std::int32_t IniDocument::findKey(std::int32_t section, QByteArrayView name) const
{
    return m_keyIndex.find(keyHash(section, name), [this, section, name](std::int32_t i) {
        return m_lines[i].section == section && sameName(nameOf(m_lines[i]), name);
    });
}

void IniDocument::indexSection(std::int32_t section)
{
    const Section& s = m_sections[section];
    if (s.lastFilled < 0)
        return; // a nameless section of blank lines is no section
    const QByteArrayView name = s.header < 0 ? QByteArrayView() : nameOf(m_lines[s.header]);
    if (findSection(name) >= 0)
        return;
    m_sectionIndex.insert(nameHash(name, 0), section, [this](std::int32_t v) {
        const std::int32_t header = m_sections[v].header;
        return nameHash(header < 0 ? QByteArrayView() : nameOf(m_lines[header]), 0);
    });
}

void IniDocument::indexKey(std::int32_t line)
{
    const Line& l = m_lines[line];
    if ((l.kind != Kind::Key && l.kind != Kind::KeyOnly) || findKey(l.section, nameOf(l)) >= 0)
        return;
    m_keyIndex.insert(keyHash(l.section, nameOf(l)), line, [this](std::int32_t v) {
        return keyHash(m_lines[v].section, nameOf(m_lines[v]));
    });
}

QByteArray IniDocument::toBytes() const
{
    if (!m_changed)
        return m_source;
    QByteArray text;
    text.reserve(m_text.size());
    for (std::int32_t i = m_head; i >= 0; i = m_lines[i].next)
        text.append(m_text.constData() + m_lines[i].start, m_lines[i].length + m_lines[i].eol);
    switch (m_encoding) {
    case Encoding::Utf8Bom:
        return Utf8Mark + text;
    case Encoding::Utf16LEBom:
        return Utf16LEMark + TextEncoding::utf8ToUtf16LE(text) + m_tail;
    case Encoding::Windows1252:
        break;
    }
    return text;
}

QString IniDocument::decode(QByteArrayView text) const
{
    return m_encoding == Encoding::Windows1252 ? TextEncoding::fromWindows1252(text)
                                               : QString::fromUtf8(text);
}

std::optional<QByteArray> IniDocument::encode(QStringView text, QStringList* unheld) const
{
    return m_encoding == Encoding::Windows1252 ? TextEncoding::toWindows1252(text, unheld)
                                               : TextEncoding::toUtf8(text, unheld);
}

std::optional<QByteArray> IniDocument::value(QByteArrayView section, QByteArrayView key) const
{
    const auto view = valueView(section, key);
    return view ? std::optional(view->toByteArray()) : std::nullopt;
}

std::optional<QByteArrayView> IniDocument::valueView(QByteArrayView section,
                                                     QByteArrayView key) const
{
    const std::int32_t s = findSection(trimmed(section));
    const std::int32_t line = s < 0 ? -1 : findKey(s, trimmed(key));
    if (line < 0 || m_lines[line].kind != Kind::Key)
        return std::nullopt;
    return readValue(rawValueOf(m_lines[line]));
}

std::optional<QByteArrayView> IniDocument::storedValue(QByteArrayView section,
                                                       QByteArrayView key) const
{
    const std::int32_t s = findSection(trimmed(section));
    const std::int32_t line = s < 0 ? -1 : findKey(s, trimmed(key));
    if (line < 0 || m_lines[line].kind != Kind::Key)
        return std::nullopt;
    return trimmed(rawValueOf(m_lines[line]));
}

bool IniDocument::hasSection(QByteArrayView section) const
{
    return findSection(trimmed(section)) >= 0;
}

QList<QByteArray> IniDocument::sections() const
{
    QList<QByteArray> names;
    for (std::int32_t s = 1; s < std::int32_t(m_sections.size()); ++s) {
        const QByteArrayView name = nameOf(m_lines[m_sections[s].header]);
        if (findSection(name) == s)
            names.append(name.toByteArray());
    }
    return names;
}

QList<QByteArray> IniDocument::keys(QByteArrayView section) const
{
    QList<QByteArray> names;
    const std::int32_t s = findSection(trimmed(section));
    if (s < 0)
        return names;
    for (std::int32_t i = m_sections[s].first; i >= 0; i = m_lines[i].next) {
        const Line& line = m_lines[i];
        if ((line.kind == Kind::Key || line.kind == Kind::KeyOnly) && findKey(s, nameOf(line)) == i)
            names.append(nameOf(line).toByteArray());
        if (i == m_sections[s].last)
            break;
    }
    return names;
}

QList<IniDocument::Entry> IniDocument::entries(QByteArrayView section) const
{
    QList<Entry> found;
    const std::int32_t s = findSection(trimmed(section));
    if (s < 0)
        return found;
    for (std::int32_t i = m_sections[s].first; i >= 0; i = m_lines[i].next) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Key) {
            const QByteArrayView raw = rawValueOf(line);
            found.append(
                {nameOf(line).toByteArray(), readValue(raw).toByteArray(), raw.toByteArray()});
        } else if (line.kind == Kind::KeyOnly) {
            found.append({nameOf(line).toByteArray(), std::nullopt, QByteArray()});
        }
        if (i == m_sections[s].last)
            break;
    }
    return found;
}

bool IniDocument::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    const QByteArray flat = flattened(value);
    const QByteArrayView sectionName = trimmed(section);
    const QByteArrayView keyName = trimmed(key);
    const std::int32_t s = findSection(sectionName);
    if (s < 0) {
        appendSection(sectionName, {keyName.toByteArray() + '=' + flat});
        return true;
    }
    const std::int32_t found = findKey(s, keyName);
    if (found >= 0) {
        const Line& line = m_lines[found];
        const QByteArrayView content = contentOf(line);
        QByteArray replaced;
        if (line.kind == Kind::Key) {
            if (trimmed(rawValueOf(line)) == QByteArrayView(flat))
                return false;
            // The spacing after "=" stays, unless the new value brings its own.
            qsizetype valueStart = line.equals + 1;
            if (flat.isEmpty() || !isBlank(flat.front())) {
                while (valueStart < content.size() && isBlank(content[valueStart]))
                    ++valueStart;
            }
            replaced = content.first(valueStart).toByteArray() + flat;
        } else {
            replaced = content.toByteArray() + '=' + flat; // the very line gets its value
        }
        if (QByteArrayView(replaced) == content)
            return false;
        replaceContent(found, replaced);
        m_changed = true;
        return true;
    }
    const std::int32_t after = m_sections[s].lastFilled;
    const std::int32_t added = addLine(keyName.toByteArray() + '=' + flat, m_eol, s);
    ensureLineEnd(after);
    insertAfter(after, added);
    if (m_sections[s].last == after)
        m_sections[s].last = added;
    m_sections[s].lastFilled = added;
    indexKey(added);
    m_changed = true;
    return true;
}

void IniDocument::appendSection(QByteArrayView name, const QList<QByteArray>& lines,
                                bool blankLineBefore)
{
    if (blankLineBefore && m_tailLine >= 0 && m_lines[m_tailLine].kind != Kind::Blank) {
        ensureLineEnd(m_tailLine);
        const std::int32_t blank = addLine({}, m_eol, m_lines[m_tailLine].section);
        insertAfter(m_tailLine, blank);
        m_sections[m_lines[blank].section].last = blank;
    }
    const QByteArray header = '[' + flattened(trimmed(name)) + ']';
    const auto section = std::int32_t(m_sections.size());
    const std::int32_t headerLine = addLine(header, m_eol, section);
    m_sections.push_back({headerLine, headerLine, headerLine, headerLine});
    if (m_tailLine >= 0) {
        ensureLineEnd(m_tailLine);
        insertAfter(m_tailLine, headerLine);
    } else {
        m_head = m_tailLine = headerLine;
    }
    indexSection(section);
    for (const QByteArray& text : lines) {
        const std::int32_t line = addLine(flattened(text), m_eol, section);
        insertAfter(m_tailLine, line);
        m_sections[section].last = line;
        if (m_lines[line].kind != Kind::Blank)
            m_sections[section].lastFilled = line;
        indexKey(line);
    }
    m_changed = true;
}

std::int32_t IniDocument::addLine(QByteArrayView content, QByteArrayView eol, std::int32_t section)
{
    Line line;
    line.start = m_text.size();
    line.length = std::int32_t(content.size());
    line.eol = std::uint8_t(eol.size());
    m_text.append(content).append(eol);
    classify(line);
    line.section = section;
    m_lines.push_back(line);
    return std::int32_t(m_lines.size() - 1);
}

void IniDocument::replaceContent(std::int32_t index, const QByteArray& content)
{
    Line& line = m_lines[index];
    const QByteArray eol(m_text.constData() + line.start + line.length, line.eol);
    line.start = m_text.size();
    line.length = std::int32_t(content.size());
    m_text.append(content).append(eol);
    classify(line);
}

void IniDocument::insertAfter(std::int32_t after, std::int32_t index)
{
    m_lines[index].next = m_lines[after].next;
    m_lines[after].next = index;
    if (m_tailLine == after)
        m_tailLine = index;
}

void IniDocument::ensureLineEnd(std::int32_t index)
{
    Line& line = m_lines[index];
    if (line.eol > 0)
        return;
    const QByteArray content = contentOf(line).toByteArray();
    line.start = m_text.size();
    line.eol = std::uint8_t(m_eol.size());
    m_text.append(content).append(m_eol);
}
