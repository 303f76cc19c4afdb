#include "ProfileFile.h"

#include "AtomicFile.h"


ProfileFile::ProfileFile(QString path) : m_path(std::move(path)) {}

bool ProfileFile::load(IniDocument* document, QString* error) const
{
    QByteArray bytes;
    if (readSharedFile(m_path, &bytes, error) == ReadOutcome::Failed)
        return false;
    *document = IniDocument::fromBytes(bytes); // a missing file is an empty document
    return true;
}

std::optional<QString> ProfileFile::read(const QString& section, const QString& key) const
{
    IniDocument document;
    if (!load(&document, nullptr))
        return std::nullopt; // an unreadable file reads as absent, like a missing one
    const auto value = document.value(section.toLocal8Bit(), key.toLocal8Bit());
    if (!value)
        return std::nullopt;
    return QString::fromLocal8Bit(*value).left(MaxValueLength);
}

bool ProfileFile::write(const QString& section, const QString& key, const QString& value,
                        QString* error)
{
    IniDocument document;
    if (!load(&document, error))
        return false;
    document.setValue(section.toLocal8Bit(), key.toLocal8Bit(), value.toLocal8Bit());
    return writeFileAtomically(m_path, document.toBytes(), error);
}
