#include "desktop_control.h"

TDesktopControl::TDesktopControl(const TQuillonSetting& Setting, const TWiimoteButtonAssign& ButtonAssign,
                                 const TWiimote& Wiimote, IDesktopInput& Desktop, IProcessStarter& Starter,
                                 IDesktopControlHost& Host, TVibracao& Vibracao)
    : FPointer(Setting, Wiimote, Desktop, Host, Vibracao),
      FActions(ButtonAssign, Wiimote, Desktop, Starter, Host, FPointer) {}
