#include "input/desktop/desktop_control.h"

TDesktopControl::TDesktopControl(const TQuillonSetting& Setting, const TWiimoteButtonAssign& ButtonAssign,
                                 const TWiimote& Wiimote, IDesktopInput& Desktop, IProcessStarter& Starter,
                                 IDesktopControlHost& Host, TRumbleState& Vibracao)
    : pointer_(Setting, Wiimote, Desktop, Host, Vibracao),
      actions_(ButtonAssign, Wiimote, Desktop, Starter, Host, pointer_) {}
