#include "DatabaseProbe.h"

#include <ibase.h>
#include <iberror.h>

#include <QByteArray>
#include <QStringList>

#include <string>

namespace {

class Dpb
{
public:
    Dpb() { m_bytes.push_back(char(isc_dpb_version1)); }

    void add(char tag, const QByteArray& value)
    {
        m_bytes.push_back(tag);
        m_bytes.push_back(char(qMin(value.size(), qsizetype(255))));
        m_bytes.append(value.constData(), size_t(qMin(value.size(), qsizetype(255))));
    }
    void addInt(char tag, int value)
    {
        m_bytes.push_back(tag);
        m_bytes.push_back(char(4));
        for (int i = 0; i < 4; ++i)
            m_bytes.push_back(char((value >> (8 * i)) & 0xff));
    }
    const char* data() const { return m_bytes.data(); }
    short size() const { return short(m_bytes.size()); }

private:
    std::string m_bytes;
};

QString errorText(const ISC_STATUS* status)
{
    QStringList lines;
    const ISC_STATUS* vector = status;
    char buffer[1024];
    while (fb_interpret(buffer, sizeof buffer, &vector) > 0)
        lines.append(QString::fromLocal8Bit(buffer));
    if (lines.isEmpty())
        lines.append(QStringLiteral("Firebird error %1").arg(status[1]));
    return lines.join(QLatin1Char('\n'));
}

int integer(const char* data, short length)
{
    return int(isc_vax_integer(data, length));
}

// Reads the structure version, page size and engine version of an open database.
void readInfo(isc_db_handle* handle, ProbeResult& result)
{
    const char items[] = {char(isc_info_ods_version), char(isc_info_ods_minor_version),
                          char(isc_info_page_size), char(isc_info_firebird_version),
                          char(isc_info_end)};
    char buffer[1024] = {};
    ISC_STATUS_ARRAY status = {};
    if (isc_database_info(status, handle, short(sizeof items), items, short(sizeof buffer),
                          buffer)) {
        result.ok = false;
        result.error = errorText(status);
        return;
    }
    int major = -1, minor = -1;
    const char* p = buffer;
    const char* const end = buffer + sizeof buffer;
    while (p + 3 <= end && *p != char(isc_info_end)) {
        const char item = *p++;
        const short length = short(integer(p, 2));
        p += 2;
        if (length < 0 || p + length > end)
            break;
        switch (item) {
        case char(isc_info_ods_version): major = integer(p, length); break;
        case char(isc_info_ods_minor_version): minor = integer(p, length); break;
        case char(isc_info_page_size): result.pageSize = integer(p, length); break;
        case char(isc_info_firebird_version):
            // A count, then counted strings; the first names the engine that opened the file.
            if (length >= 2 && p[0] > 0) {
                const int size = qMin(int(static_cast<unsigned char>(p[1])), length - 2);
                result.serverVersion = QString::fromLatin1(p + 2, size);
            }
            break;
        default: break;
        }
        p += length;
    }
    if (major >= 0)
        result.odsVersion = QStringLiteral("%1.%2").arg(major).arg(qMax(minor, 0));
}

class FirebirdProbe : public DatabaseProbe
{
public:
    ProbeResult probe(const QString& connection, const QString& user, const QString& password,
                      int timeoutSeconds) override
    {
        // The remote provider alone first: it claims exactly the strings the client library
        // takes for network ones, so a local path is never sent over the network by us.
        ProbeResult result = attach(connection, user, password, timeoutSeconds, "Remote");
        if (result.ok || m_code != isc_unavailable) {
            result.route = ProbeRoute::Network;
            return result;
        }
        result = attach(connection, user, password, timeoutSeconds, "Loopback");
        if (result.ok || m_code != isc_network_error) {
            result.route = ProbeRoute::LocalServer;
            return result;
        }
        // No local server answers: the embedded engine opens the file itself.
        result = attach(connection, user, password, timeoutSeconds, "Engine12");
        result.route = ProbeRoute::Embedded;
        return result;
    }

private:
    ProbeResult attach(const QString& connection, const QString& user, const QString& password,
                       int timeoutSeconds, const char* provider)
    {
        ProbeResult result;
        Dpb dpb;
        dpb.add(char(isc_dpb_user_name), user.toUtf8());
        if (!password.isEmpty())
            dpb.add(char(isc_dpb_password), password.toUtf8());
        dpb.addInt(char(isc_dpb_connect_timeout), timeoutSeconds);
        dpb.add(char(isc_dpb_no_db_triggers), QByteArray(1, '\1'));
        dpb.add(char(isc_dpb_config), QByteArray("Providers=") + provider);
        dpb.add(char(isc_dpb_utf8_filename), QByteArray(1, '\1'));

        const QByteArray name = connection.toUtf8();
        ISC_STATUS_ARRAY status = {};
        isc_db_handle handle = 0;
        m_code = 0;
        if (isc_attach_database(status, short(name.size()), name.constData(), &handle,
                                dpb.size(), dpb.data())) {
            m_code = status[1];
            result.error = errorText(status);
            result.loginRefused = status[1] == isc_login;
            return result;
        }
        result.ok = true;
        readInfo(&handle, result);
        ISC_STATUS_ARRAY detachStatus = {};
        isc_detach_database(detachStatus, &handle);
        return result;
    }

    ISC_STATUS m_code = 0;
};

} // namespace

std::unique_ptr<DatabaseProbe> makeFirebirdProbe()
{
    return std::make_unique<FirebirdProbe>();
}
