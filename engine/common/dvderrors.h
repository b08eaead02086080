#pragma once

#include "base/errors.h"

#include <QString>

// Every failure of the DVD control, with a description that says what
// happened and what the user can do. Numbers come from ErrorNumbers.
namespace DvdErrors
{

AppError noDisc(const QString &tried);
AppError sourceMissing(const QString &source);
AppError notADiscFolder(const QString &folder);
AppError unreadableSource(const QString &source, const QString &detail);
AppError encryptedWithoutLibrary(const QString &source);
AppError decoderMissing(const QString &codec);
AppError decoderFailed(const QString &detail);
AppError endlessCommandLoop();
AppError notPlaying();
AppError notPermitted(const QString &operation, const QString &reason);
AppError prohibitedByDisc(const QString &operation);
AppError noSuchStream(const QString &kind, int requested, int available);
AppError invalidArgument(const QString &what);

} // namespace DvdErrors
