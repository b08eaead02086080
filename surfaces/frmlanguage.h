#pragma once

#include "surfaces/streamdialog.h"

// Chooses the audio stream: one entry per stream, in stream order.
class frmLanguage : public StreamDialog
{
    Q_OBJECT
public:
    frmLanguage();

protected:
    int entryCount() const override;
    Entry entryAt(int index) const override;
    void select(int number) override;
};
