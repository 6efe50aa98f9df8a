#include "CLockKeyState.h"

#include <QGuiApplication>

#ifdef DORVANE_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

#ifdef DORVANE_HAVE_X11
namespace {

bool IndicatorOn(Display* pDisplay, const char* name)
{
    const Atom atom = XInternAtom(pDisplay, name, True);
    if (atom == None)
        return false;
    Bool on = False;
    if (!XkbGetNamedIndicator(pDisplay, atom, nullptr, &on, nullptr, nullptr))
        return false;
    return on == True;
}

}  // namespace
#endif

CLockKeyState CLockKeyState::Query()
{
    CLockKeyState state;
#ifdef DORVANE_HAVE_X11
    auto* pX11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!pX11 || !pX11->display())
        return state;
    Display* pDisplay = pX11->display();
    state.m_bKnown = true;
    state.m_bCaps = IndicatorOn(pDisplay, "Caps Lock");
    state.m_bNum = IndicatorOn(pDisplay, "Num Lock");
    state.m_bScroll = IndicatorOn(pDisplay, "Scroll Lock");
#endif
    return state;
}
