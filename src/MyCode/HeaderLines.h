#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Header names are compared without case: HTTP/2 sends them in lower case.

// The value of a "Name: value" header line when its name is name.
bool HeaderLineValue(QByteArrayView line, QByteArrayView name, QByteArray& value);

// The value of the first line of that name in a block of header lines; null when none.
QByteArray HeaderValue(const QByteArray& headers, QByteArrayView name);
