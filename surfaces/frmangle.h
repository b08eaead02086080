#pragma once

#include "surfaces/streamdialog.h"

// Chooses the camera angle: one entry per angle of the title, 1 to n.
class frmAngle : public StreamDialog
{
    Q_OBJECT
public:
    frmAngle();

protected:
    int entryCount() const override;
    Entry entryAt(int index) const override;
    void select(int number) override;
};
