#include "platform/session_lock.h"

#include <gio/gio.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

struct SessionLockWatcher::State {
  Callback on_locked;
  Callback on_unlocked;
  Report report;
  GMainContext* context = nullptr;
  GMainLoop* loop = nullptr;
  std::thread thread;
  std::atomic<int> sources{0};
  int locked = -1;  // unknown until the first signal; watcher thread only

  struct Subscription {
    GDBusConnection* connection;
    guint id;
  };
  std::vector<Subscription> subscriptions;  // watcher thread only

  void Apply(bool now_locked) {
    const int value = now_locked ? 1 : 0;
    if (locked == value) return;
    locked = value;
    const Callback& callback = now_locked ? on_locked : on_unlocked;
    if (callback) callback();
  }
  void Run(std::promise<void>& ready);
  void WatchLogind();
  void WatchScreenSavers();
  void Subscribe(GDBusConnection* connection, const char* sender, const char* interface,
                 const char* path);
  static void OnSignal(GDBusConnection* connection, const gchar* sender, const gchar* path,
                       const gchar* interface, const gchar* member, GVariant* parameters,
                       gpointer data);
};

namespace {

std::string ErrorText(GError* error) {
  std::string text = error ? error->message : "unknown error";
  g_clear_error(&error);
  return text;
}

// The session bus address without starting a bus: the environment's, else
// the per-user socket when it exists.
std::string SessionBusAddress() {
  const char* env = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (env && *env) return env;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) {
    std::string socket = std::string(runtime) + "/bus";
    if (access(socket.c_str(), F_OK) == 0) return "unix:path=" + socket;
  }
  return {};
}

}  // namespace

void SessionLockWatcher::State::OnSignal(GDBusConnection*, const gchar*, const gchar*,
                                         const gchar* interface, const gchar* member,
                                         GVariant* parameters, gpointer data) {
  auto* state = static_cast<State*>(data);
  const std::string name = member;
  if (g_str_equal(interface, "org.freedesktop.login1.Session")) {
    if (name == "Lock") state->Apply(true);
    if (name == "Unlock") state->Apply(false);
    return;
  }
  if (name == "ActiveChanged" && g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)"))) {
    gboolean active = FALSE;
    g_variant_get(parameters, "(b)", &active);
    state->Apply(active);
  }
}

void SessionLockWatcher::State::Subscribe(GDBusConnection* connection, const char* sender,
                                          const char* interface, const char* path) {
  guint id = g_dbus_connection_signal_subscribe(connection, sender, interface, nullptr, path,
                                                nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnSignal,
                                                this, nullptr);
  subscriptions.push_back({G_DBUS_CONNECTION(g_object_ref(connection)), id});
  ++sources;
}

void SessionLockWatcher::State::WatchLogind() {
  GError* error = nullptr;
  GDBusConnection* system = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, &error);
  if (!system) {
    report("session lock: system bus unavailable (" + ErrorText(error) + ")");
    return;
  }
  GVariant* reply = g_dbus_connection_call_sync(
      system, "org.freedesktop.login1", "/org/freedesktop/login1",
      "org.freedesktop.login1.Manager", "GetSessionByPID",
      g_variant_new("(u)", static_cast<guint32>(getpid())), G_VARIANT_TYPE("(o)"),
      G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, &error);
  if (!reply) {
    report("session lock: no login session (" + ErrorText(error) + ")");
    g_object_unref(system);
    return;
  }
  const gchar* path = nullptr;
  g_variant_get(reply, "(&o)", &path);
  Subscribe(system, "org.freedesktop.login1", "org.freedesktop.login1.Session", path);
  g_variant_unref(reply);
  g_object_unref(system);
}

void SessionLockWatcher::State::WatchScreenSavers() {
  const std::string address = SessionBusAddress();
  if (address.empty()) {
    report("session lock: no session bus");
    return;
  }
  GError* error = nullptr;
  GDBusConnection* session = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  if (!session) {
    report("session lock: session bus unavailable (" + ErrorText(error) + ")");
    return;
  }
  Subscribe(session, nullptr, "org.freedesktop.ScreenSaver", nullptr);
  Subscribe(session, nullptr, "org.gnome.ScreenSaver", nullptr);
  g_object_unref(session);
}

void SessionLockWatcher::State::Run(std::promise<void>& ready) {
  g_main_context_push_thread_default(context);
  WatchLogind();
  WatchScreenSavers();
  ready.set_value();
  g_main_loop_run(loop);
  for (const Subscription& s : subscriptions) {
    g_dbus_connection_signal_unsubscribe(s.connection, s.id);
    g_object_unref(s.connection);
  }
  subscriptions.clear();
  // Let pending deliveries of the unsubscribed signals finish here.
  while (g_main_context_iteration(context, FALSE)) {
  }
  g_main_context_pop_thread_default(context);
}

SessionLockWatcher::SessionLockWatcher() = default;

SessionLockWatcher::~SessionLockWatcher() { Stop(); }

bool SessionLockWatcher::Start(Callback on_locked, Callback on_unlocked, Report report) {
  if (state_) return false;
  state_ = std::make_unique<State>();
  state_->on_locked = std::move(on_locked);
  state_->on_unlocked = std::move(on_unlocked);
  state_->report = report ? std::move(report) : [](const std::string&) {};
  state_->context = g_main_context_new();
  state_->loop = g_main_loop_new(state_->context, FALSE);
  std::promise<void> ready;
  std::future<void> started = ready.get_future();
  State* state = state_.get();
  state_->thread = std::thread([state, &ready] { state->Run(ready); });
  started.wait();
  return true;
}

void SessionLockWatcher::Stop() {
  if (!state_) return;
  // Queued on the loop's own context, so it also ends a loop that has not
  // begun to run yet.
  g_main_context_invoke(
      state_->context,
      [](gpointer loop) -> gboolean {
        g_main_loop_quit(static_cast<GMainLoop*>(loop));
        return G_SOURCE_REMOVE;
      },
      state_->loop);
  state_->thread.join();
  g_main_loop_unref(state_->loop);
  g_main_context_unref(state_->context);
  state_.reset();
}

int SessionLockWatcher::SourceCount() const { return state_ ? state_->sources.load() : 0; }

}  // namespace platform
