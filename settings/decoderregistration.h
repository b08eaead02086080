#pragma once

#include <QByteArray>
#include <QString>

// The "Install DVD decoders" and "Uninstall DVD decoders" buttons: a batch
// file in the program folder that registers or unregisters the two
// decoders, written and handed to the desktop to run.
namespace DecoderRegistration
{

// The batch file as written (Windows-1252, CRLF lines).
QByteArray batch(const QString &directory, bool install);

// Says what success looks like, writes the batch file and runs it; a file
// that cannot be written is not run.
void run(bool install);

} // namespace DecoderRegistration
