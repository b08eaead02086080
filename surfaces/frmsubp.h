#pragma once

#include "surfaces/streamdialog.h"

// Chooses the subtitle stream, or no subtitles at all.
class frmSubp : public StreamDialog
{
    Q_OBJECT
public:
    frmSubp();

    skinButton *skinButton1 = nullptr; // "No Subtitles"

protected:
    int entryCount() const override;
    Entry entryAt(int index) const override;
    // Sets the stream only: subtitles switched off stay off.
    void select(int number) override;

private:
    void skinButton1_Click();
};
