#pragma once

#include "base/errors.h"
#include "core/bookmarks.h"
#include "engine/control/dvdcontrolinstance.h"

#include <QDir>
#include <QString>

#include <optional>
#include <string>

// The real DVD control on the generated sample disc, for end-to-end tests.
namespace RealControl
{

// Installs the real control as the program's control and gives the sample
// disc's folder (ending in '/'); nothing, with the reason in whyNot, when no
// disc was generated or the control does not start.
inline std::optional<QString> installOnSampleDisc(std::string &whyNot)
{
    const QString discs = qEnvironmentVariable("VIDORA_TEST_DISCS");
    const QString disc = discs + "/sample/";
    if (discs.isEmpty() || !QDir(disc).exists("VIDEO_TS")) {
        whyNot = "no generated test disc";
        return std::nullopt;
    }
    try {
        installDvdControl(createRealDvdControl({}, Bookmarks::FilePath()));
    } catch (const AppError &error) {
        whyNot = error.description().toStdString();
        return std::nullopt;
    }
    return disc;
}

} // namespace RealControl
