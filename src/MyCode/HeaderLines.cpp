#include "MyCode/HeaderLines.h"

bool HeaderLineValue(QByteArrayView line, QByteArrayView name, QByteArray& value)
{
    const qsizetype colon = line.indexOf(':');
    if (colon < name.size()) return false;
    // Most lines name another header, of another length: they are told apart without trimming.
    QByteArrayView key = line.first(colon);
    if (key.size() != name.size()) key = key.trimmed();
    if (key.size() != name.size() || key.compare(name, Qt::CaseInsensitive) != 0) return false;
    value = line.sliced(colon + 1).trimmed().toByteArray();
    return true;
}

QByteArray HeaderValue(const QByteArray& headers, QByteArrayView name)
{
    QByteArray value;
    for (qsizetype from = 0; from < headers.size();) {
        qsizetype end = headers.indexOf('\n', from);
        if (end < 0) end = headers.size();
        if (HeaderLineValue(QByteArrayView(headers).sliced(from, end - from), name, value)) return value;
        from = end + 1;
    }
    return {};
}
