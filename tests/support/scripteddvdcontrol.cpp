#include "support/scripteddvdcontrol.h"

#include "engine/control/dvdcontrolinstance.h"

ScriptedDvdControl *ScriptedDvdControl::install()
{
    auto control = std::make_unique<ScriptedDvdControl>();
    auto *raw = control.get();
    installDvdControl(std::move(control));
    return raw;
}
