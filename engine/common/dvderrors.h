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
// Playback goes on after the title: nothing of it past `time90k` could be read.
AppError unreadablePast(int title, int64_t time90k);
AppError notPlaying();
AppError notPermitted(const QString &operation, const QString &reason);
AppError prohibitedByDisc(const QString &operation);
AppError noSuchStream(const QString &kind, int requested, int available);
AppError invalidArgument(const QString &what);

} // namespace DvdErrors
