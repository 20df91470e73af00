#include "x11_desktop_input.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#ifdef VIRETA_HAVE_XRANDR
#include <X11/extensions/Xrandr.h>
#endif

#include <cctype>
#include <string>
#include <vector>

namespace {

struct TDisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};

unsigned XButton(TMouseButton Button) {
  switch (Button) {
    case TMouseButton::Left:
      return 1;
    case TMouseButton::Middle:
      return 2;
    case TMouseButton::Right:
      return 3;
  }
  return 1;
}

}  // namespace

struct TX11DesktopInput::TImpl {
  std::unique_ptr<Display, TDisplayCloser> Dpy;
  Window Root = 0;
  bool RandrMonitors = false;

  struct TBinding {
    KeyCode Code;
    KeySym Sym;
  };
  bool SparesSearched = false;
  std::vector<KeyCode> Spares;      // keycodes without any keysym, highest first
  std::vector<TBinding> Bindings;   // spare keycodes bound by us, in the order of Spares
  std::size_t NextReuse = 0;

  explicit TImpl(const char* DisplayName) {
    Dpy.reset(XOpenDisplay(DisplayName));
    if (!Dpy) return;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(Dpy.get(), &event, &error, &major, &minor)) {
      Dpy.reset();
      return;
    }
    Root = DefaultRootWindow(Dpy.get());
#ifdef VIRETA_HAVE_XRANDR
    if (XRRQueryExtension(Dpy.get(), &event, &error) && XRRQueryVersion(Dpy.get(), &major, &minor))
      RandrMonitors = major > 1 || (major == 1 && minor >= 5);
#endif
  }

  ~TImpl() {
    if (!Dpy) return;
    for (const TBinding& b : Bindings) {
      KeySym none = NoSymbol;
      XChangeKeyboardMapping(Dpy.get(), b.Code, 1, &none, 1);
    }
    XSync(Dpy.get(), False);
  }

  // Nothing here asks for events, but every client gets the keyboard's mapping changes: take them in, so
  // the queue stays empty and XKeysymToKeycode sees the current layout.
  void TakeMappingChanges() {
    while (XPending(Dpy.get()) > 0) {
      XEvent event;
      XNextEvent(Dpy.get(), &event);
      if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
    }
  }

  void FindSpares() {
    SparesSearched = true;
    int minCode = 0, maxCode = 0, perCode = 0;
    XDisplayKeycodes(Dpy.get(), &minCode, &maxCode);
    KeySym* map = XGetKeyboardMapping(Dpy.get(), static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
    if (!map) return;
    for (int code = maxCode; code >= minCode; --code) {
      const KeySym* syms = map + static_cast<std::ptrdiff_t>(code - minCode) * perCode;
      bool empty = true;
      for (int i = 0; i < perCode; ++i) empty = empty && syms[i] == NoSymbol;
      if (empty) Spares.push_back(static_cast<KeyCode>(code));
    }
    XFree(map);
  }

  // A spare keycode bound to Sym, reusing the oldest binding when every spare is taken; 0 when the
  // keyboard has no spare keycode.
  KeyCode Bind(KeySym Sym) {
    if (!SparesSearched) FindSpares();
    if (Spares.empty()) return 0;
    KeyCode code = 0;
    if (Bindings.size() < Spares.size()) {
      code = Spares[Bindings.size()];
      Bindings.push_back({code, Sym});
    } else {
      TBinding& reused = Bindings[NextReuse];
      NextReuse = (NextReuse + 1) % Bindings.size();
      reused.Sym = Sym;
      code = reused.Code;
    }
    KeySym syms[2] = {Sym, Sym};  // the same key with or without Shift
    XChangeKeyboardMapping(Dpy.get(), code, 2, syms, 1);
    XSync(Dpy.get(), False);
    return code;
  }

  KeyCode CodeFor(TKeySym Key) {
    for (const TBinding& b : Bindings)
      if (b.Sym == Key) return b.Code;
    TakeMappingChanges();
    const KeyCode code = XKeysymToKeycode(Dpy.get(), Key);
    return code != 0 ? code : Bind(Key);
  }

  void FakeKey(TKeySym Key, bool Down) {
    if (!Dpy) return;
    const KeyCode code = CodeFor(Key);
    if (code == 0) return;
    XTestFakeKeyEvent(Dpy.get(), code, Down ? True : False, CurrentTime);
    XFlush(Dpy.get());
  }

  void FakeButton(unsigned Button, bool Down) {
    if (!Dpy) return;
    XTestFakeButtonEvent(Dpy.get(), Button, Down ? True : False, CurrentTime);
    XFlush(Dpy.get());
  }

  TScreenRect RootRect() {
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(Dpy.get(), Root, &root, &x, &y, &width, &height, &border, &depth)) return {};
    return {0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
  }

  // Every monitor, the primary one first.
  TMonitors MonitorsPrimaryFirst() {
    if (!Dpy) return {};
    TMonitors monitors;
#ifdef VIRETA_HAVE_XRANDR
    if (RandrMonitors) {
      int count = 0;
      XRRMonitorInfo* info = XRRGetMonitors(Dpy.get(), Root, True, &count);
      for (int i = 0; i < count; ++i) {
        const TScreenRect r{info[i].x, info[i].y, info[i].width, info[i].height};
        if (info[i].primary)
          monitors.insert(monitors.begin(), r);
        else
          monitors.push_back(r);
      }
      if (info) XRRFreeMonitors(info);
    }
#endif
    if (monitors.empty()) monitors.push_back(RootRect());
    return monitors;
  }
};

TX11DesktopInput::TX11DesktopInput(const char* DisplayName) : F(std::make_unique<TImpl>(DisplayName)) {}

TX11DesktopInput::~TX11DesktopInput() = default;

bool TX11DesktopInput::Available() const {
  return F->Dpy != nullptr;
}

void TX11DesktopInput::KeyDown(TKeySym Key) {
  F->FakeKey(Key, true);
}

void TX11DesktopInput::KeyUp(TKeySym Key) {
  F->FakeKey(Key, false);
}

void TX11DesktopInput::ButtonDown(TMouseButton Button) {
  F->FakeButton(XButton(Button), true);
}

void TX11DesktopInput::ButtonUp(TMouseButton Button) {
  F->FakeButton(XButton(Button), false);
}

void TX11DesktopInput::Wheel(int Notches) {
  const unsigned button = Notches > 0 ? 4 : 5;
  for (int i = 0; i < (Notches > 0 ? Notches : -Notches); ++i) {
    F->FakeButton(button, true);
    F->FakeButton(button, false);
  }
}

TPoint TX11DesktopInput::CursorPos() {
  if (!F->Dpy) return {};
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned mask = 0;
  XQueryPointer(F->Dpy.get(), F->Root, &root, &child, &rootX, &rootY, &winX, &winY, &mask);
  return {rootX, rootY};
}

void TX11DesktopInput::SetCursorPos(TPoint P) {
  if (!F->Dpy) return;
  XWarpPointer(F->Dpy.get(), None, F->Root, 0, 0, 0, 0, P.X, P.Y);
  XFlush(F->Dpy.get());
}

TMonitors TX11DesktopInput::Monitors() {
  return F->MonitorsPrimaryFirst();
}

std::optional<TKeySym> TX11DesktopInput::KeyByName(std::string_view Name) const {
  std::string name(Name);
  if (name.empty()) return std::nullopt;
  KeySym sym = XStringToKeysym(name.c_str());
  if (sym == NoSymbol) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string lower = name;
    name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    sym = XStringToKeysym(name.c_str());
    if (sym == NoSymbol) sym = XStringToKeysym(lower.c_str());
  }
  if (sym == NoSymbol) return std::nullopt;
  return static_cast<TKeySym>(sym);
}
