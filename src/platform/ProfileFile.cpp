#include "ProfileFile.h"

#include "AtomicFile.h"

#include <QFile>
#include <QVarLengthArray>

#include <cstring>
#include <sys/stat.h>

namespace {

bool tooRecent(const timespec& changed)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return !changeStampIsSettled(changed, now);
}

bool sameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// A name as the document's bytes, in `buffer`. Names are ASCII, which needs no conversion
// (and no allocation) in any of the encodings, but they need not be.
std::optional<QByteArrayView> encodedName(const IniDocument& document, const QString& name,
                                          QVarLengthArray<char, 64>& buffer)
{
    buffer.resize(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (c >= 0x80) {
            const auto bytes = document.encode(name);
            if (!bytes)
                return std::nullopt;
            buffer.resize(bytes->size());
            std::memcpy(buffer.data(), bytes->constData(), size_t(bytes->size()));
            break;
        }
        buffer[i] = char(c);
    }
    return QByteArrayView(buffer.constData(), buffer.size());
}

QString joined(const QStringList& characters)
{
    QStringList shown;
    for (const QString& c : characters) {
        const char32_t code = c.toUcs4().value(0);
        shown << (QChar::isPrint(code)
                      ? c
                      : QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper());
    }
    if (shown.size() == 1)
        return shown.first();
    const QString last = shown.takeLast();
    return shown.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

} // namespace

bool changeStampIsSettled(const timespec& changed, const timespec& now)
{
    // A stamp of whole seconds comes from a file system that keeps no finer time.
    const qint64 margin = changed.tv_nsec == 0 ? 2'000'000'000LL : 20'000'000LL;
    const qint64 age = (qint64(now.tv_sec) - changed.tv_sec) * 1'000'000'000LL +
                       (qint64(now.tv_nsec) - changed.tv_nsec);
    return age > margin;
}

bool ProfileFile::Stamp::operator==(const Stamp& other) const
{
    if (!exists || !other.exists)
        return exists == other.exists;
    return device == other.device && inode == other.inode && size == other.size &&
           sameTime(modified, other.modified) && sameTime(changed, other.changed);
}

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path)), m_nativePath(QFile::encodeName(m_path))
{
}

bool ProfileFile::readBytes(const QString& path, QByteArray* bytes, QString* error)
{
    // Never blocks on a FIFO or device, and a missing file reads as an empty one.
    return readSharedFile(path, bytes, error) != ReadOutcome::Failed;
}

ProfileFile::Stamp ProfileFile::stampNow() const
{
    Stamp stamp;
    struct stat st {};
    if (::stat(m_nativePath.constData(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = st.st_mtim;
    stamp.changed = st.st_ctim;
    return stamp;
}

bool ProfileFile::refresh(QString* error) const
{
    // The stamps are taken before the bytes are read: a change in between shows next time.
    const Stamp now = stampNow();
    if (m_cached && !m_confirm && now == m_stamp)
        return true;
    QByteArray bytes;
    if (!readBytes(m_path, &bytes, error)) {
        m_cached = false;
        return false;
    }
    if (!m_cached || bytes != m_bytes) {
        m_document = IniDocument::fromBytes(bytes);
        m_bytes = bytes;
    }
    m_stamp = now;
    m_cached = true;
    m_confirm = now.exists && tooRecent(now.changed);
    return true;
}

std::optional<QString> ProfileFile::lookUp(const QString& section, const QString& key) const
{
    if (!refresh(nullptr))
        return std::nullopt; // an unreadable file reads as absent, like a missing one
    QVarLengthArray<char, 64> sectionBuffer;
    QVarLengthArray<char, 64> keyBuffer;
    const auto sectionName = encodedName(m_document, section, sectionBuffer);
    const auto keyName = encodedName(m_document, key, keyBuffer);
    if (!sectionName || !keyName)
        return std::nullopt; // a name the file cannot hold is in no line of it
    const auto value = m_document.valueView(*sectionName, *keyName);
    if (!value)
        return std::nullopt;
    QString text = m_document.decode(*value);
    if (text.size() > MaxValueLength) {
        text.truncate(MaxValueLength);
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

std::optional<QString> ProfileFile::read(const QString& section, const QString& key) const
{
    return lookUp(section, key);
}

QString ProfileFile::read(const QString& section, const QString& key,
                          const QString& defaultValue) const
{
    auto value = lookUp(section, key);
    return value ? *value : defaultText(defaultValue);
}

QString ProfileFile::defaultText(const QString& text)
{
    if (text.isNull())
        return text;
    qsizetype end = text.size();
    while (end > 1 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    QStringView view = QStringView(text).first(end);
    if (view.size() >= 2 &&
        (view.front() == QLatin1Char('"') || view.front() == QLatin1Char('\'')) &&
        view.back() == view.front())
        view = view.sliced(1, view.size() - 2);
    return view.left(MaxValueLength).toString();
}

bool ProfileFile::write(const QString& section, const QString& key, const QString& value,
                        QString* error)
{
    const WriteResult result = writeValue(section, key, value, error);
    return result == WriteResult::Written || result == WriteResult::Unchanged;
}

ProfileFile::WriteResult ProfileFile::writeValue(const QString& section, const QString& key,
                                                 const QString& value, QString* error)
{
    if (!refresh(error))
        return WriteResult::Failed;
    QStringList unheld;
    const auto sectionName = m_document.encode(section, &unheld);
    const auto keyName = m_document.encode(key, &unheld);
    const auto text = m_document.encode(value, &unheld);
    if (!sectionName || !keyName || !text) {
        if (error)
            *error = (m_document.encoding() == IniDocument::Encoding::Windows1252
                          ? QStringLiteral("its code page, Windows-1252, has no ")
                          : QStringLiteral("its encoding, UTF-8 or UTF-16, has no ")) +
                     joined(unheld);
        return WriteResult::Unencodable;
    }
    IniDocument changed = m_document;
    if (!changed.setValue(*sectionName, *keyName, *text))
        return WriteResult::Unchanged;
    const QByteArray bytes = changed.toBytes();
    if (!writeFileAtomically(m_path, bytes, error)) {
        m_cached = false; // whatever is on disk now is read afresh
        return WriteResult::Failed;
    }
    m_document = std::move(changed);
    m_bytes = bytes;
    m_stamp = stampNow();
    m_cached = true;
    m_confirm = true; // another program may have written between our rename and the stat
    return WriteResult::Written;
}
