#pragma once

#include <QRegion>

#include <cstdint>

class QImage;
class QWidget;

// The area of the picture whose pixels are not of the transparent colour
// (0x00BBGGRR, compared exactly in all three channels), built from runs of
// opaque pixels, with rows of equal runs merged into bands.
QRegion RegionFromPicture(const QImage &picture, int32_t transparentColor);

// Makes the window borderless, sizes it to the picture and cuts away every
// pixel of the transparent colour. Throws AppError when there is no picture.
void MakeRegion(QWidget *window, const QImage &picture, int32_t transparentColor);
