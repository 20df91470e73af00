#include "input/desktop/x11_desktop_input.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#ifdef VIRETA_HAVE_XRANDR
#include <X11/extensions/Xrandr.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/ascii_text.h"

namespace {

// Xlib has one handler of broken connections for the whole process, and its default ends the process.
// This one answers for the displays the service opened (whose own exit handler then lets the process go
// on) and hands every other display to the handler that was there before. Xlib's API makes this state
// process-wide; it is kept here and nowhere else.
class TConnectionLoss {
 public:
  static void Watch(Display* d) {
    TState& s = State();
    const std::lock_guard lock(s.Mutex);
    if (!s.Installed) {
      s.Previous = XSetIOErrorHandler(&TConnectionLoss::OnBroken);
      s.Installed = true;
    }
    s.Ours.push_back(d);
  }
  static void Forget(Display* d) {
    TState& s = State();
    const std::lock_guard lock(s.Mutex);
    std::erase(s.Ours, d);
  }

 private:
  struct TState {
    std::mutex Mutex;
    bool Installed = false;
    XIOErrorHandler Previous = nullptr;
    std::vector<Display*> Ours;
  };
  static TState& State() {
    static TState state;
    return state;
  }
  static int OnBroken(Display* d) {
    XIOErrorHandler previous = nullptr;
    {
      TState& s = State();
      const std::lock_guard lock(s.Mutex);
      if (std::find(s.Ours.begin(), s.Ours.end(), d) != s.Ours.end()) return 0;
      previous = s.Previous;
    }
    return previous ? previous(d) : 0;
  }
};

struct TDisplayCloser {
  void operator()(Display* d) const {
    XCloseDisplay(d);
    TConnectionLoss::Forget(d);
  }
};

// A server that is there may still refuse a connection now and then (a full listen queue right after
// other clients came and went): a few quick tries tell that apart from no server at all.
Display* OpenDisplay(const char* DisplayName) {
  const char* name = DisplayName ? DisplayName : std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return nullptr;
  constexpr int Tries = 5;
  for (int attempt = 1;; ++attempt) {
    if (Display* d = XOpenDisplay(name)) return d;
    if (attempt == Tries) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(5 * attempt));
  }
}

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
  bool Lost = false;  // the connection broke (the server ended): Dpy may only be closed
  Window Root = 0;
  bool RandrMonitors = false;

  struct TBinding {
    KeyCode Code;
    KeySym Sym;
  };
  bool SparesSearched = false;
  std::vector<KeyCode> Spares;     // keycodes without any keysym, highest first
  std::vector<TBinding> Bindings;  // spare keycodes bound by us, in the order of Spares
  std::size_t NextReuse = 0;

  explicit TImpl(const char* DisplayName) {
    Dpy.reset(OpenDisplay(DisplayName));
    if (!Dpy) return;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(Dpy.get(), &event, &error, &major, &minor)) {
      Dpy.reset();
      return;
    }
    // Xlib ends the process when the connection breaks. The sandbox does not depend on this server (it
    // may be an XWayland that went away), so the desktop actions just stop.
    TConnectionLoss::Watch(Dpy.get());
    XSetIOErrorExitHandler(Dpy.get(), &TImpl::ConnectionLost, this);
    Root = DefaultRootWindow(Dpy.get());
    // Without this a client of the keyboard extension hears of no layout change, and XKeysymToKeycode
    // would keep answering from the layout of the start.
    XkbSelectEvents(Dpy.get(), XkbUseCoreKbd, XkbMapNotifyMask, XkbMapNotifyMask);
#ifdef VIRETA_HAVE_XRANDR
    if (XRRQueryExtension(Dpy.get(), &event, &error) && XRRQueryVersion(Dpy.get(), &major, &minor))
      RandrMonitors = major > 1 || (major == 1 && minor >= 5);
#endif
  }

  static void ConnectionLost(Display*, void* Self) {
    static_cast<TImpl*>(Self)->Lost = true;
  }

  bool Usable() const {
    return Dpy && !Lost;
  }

  ~TImpl() {
    if (!Usable()) return;
    for (const TBinding& b : Bindings) {
      KeySym none = NoSymbol;
      XChangeKeyboardMapping(Dpy.get(), b.Code, 1, &none, 1);
    }
    XSync(Dpy.get(), False);
  }

  // The only events here are the keyboard's mapping changes: taking them in keeps the queue empty and lets
  // Xlib bring its copy of the layout up to date.
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
    KeySym* map =
        XGetKeyboardMapping(Dpy.get(), static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
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
    if (!Usable()) return;
    const KeyCode code = CodeFor(Key);
    if (code == 0) return;
    XTestFakeKeyEvent(Dpy.get(), code, Down ? True : False, CurrentTime);
    XFlush(Dpy.get());
  }

  void FakeButton(unsigned Button, bool Down) {
    if (!Usable()) return;
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
    if (!Usable()) return {};
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

TX11DesktopInput::TX11DesktopInput(const char* DisplayName) : impl_(std::make_unique<TImpl>(DisplayName)) {}

TX11DesktopInput::~TX11DesktopInput() = default;

bool TX11DesktopInput::Available() const {
  return impl_->Usable();
}

void TX11DesktopInput::KeyDown(TKeySym Key) {
  impl_->FakeKey(Key, true);
}

void TX11DesktopInput::KeyUp(TKeySym Key) {
  impl_->FakeKey(Key, false);
}

void TX11DesktopInput::ButtonDown(TMouseButton Button) {
  impl_->FakeButton(XButton(Button), true);
}

void TX11DesktopInput::ButtonUp(TMouseButton Button) {
  impl_->FakeButton(XButton(Button), false);
}

void TX11DesktopInput::Wheel(int Notches) {
  const unsigned button = Notches > 0 ? 4 : 5;
  for (int i = 0; i < (Notches > 0 ? Notches : -Notches); ++i) {
    impl_->FakeButton(button, true);
    impl_->FakeButton(button, false);
  }
}

TPoint TX11DesktopInput::CursorPos() {
  if (!impl_->Usable()) return {};
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned mask = 0;
  XQueryPointer(impl_->Dpy.get(), impl_->Root, &root, &child, &rootX, &rootY, &winX, &winY, &mask);
  return {rootX, rootY};
}

void TX11DesktopInput::SetCursorPos(TPoint P) {
  if (!impl_->Usable()) return;
  XWarpPointer(impl_->Dpy.get(), None, impl_->Root, 0, 0, 0, 0, P.X, P.Y);
  XFlush(impl_->Dpy.get());
}

TMonitors TX11DesktopInput::Monitors() {
  return impl_->MonitorsPrimaryFirst();
}

std::optional<TKeySym> TX11DesktopInput::KeyByName(std::string_view Name) const {
  std::string name(Name);
  if (name.empty()) return std::nullopt;
  KeySym sym = XStringToKeysym(name.c_str());
  if (sym == NoSymbol) {
    MakeLowerAscii(name);
    const std::string lower = name;
    name[0] = ToUpperAscii(name[0]);
    sym = XStringToKeysym(name.c_str());
    if (sym == NoSymbol) sym = XStringToKeysym(lower.c_str());
  }
  if (sym == NoSymbol) return std::nullopt;
  return static_cast<TKeySym>(sym);
}
