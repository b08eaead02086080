#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The 8-bit code page of record and colour scheme files written by earlier
// versions. Our own table, so the result does not depend on how Qt was built.
namespace Windows1252
{

QString decode(QByteArrayView bytes);

// Characters the code page cannot hold are written as '?'.
QByteArray encode(QStringView text);

} // namespace Windows1252
