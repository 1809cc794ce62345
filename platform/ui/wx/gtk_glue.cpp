#include "platform/ui/wx/gtk_glue.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <wx/toplevel.h>

#include <cstdlib>

namespace ui::wx {
namespace {

struct MapWatch {
  wxTopLevelWindow* window;
  std::function<void()> mapped;
};

GdkFilterReturn OnNativeEvent(GdkXEvent* native, GdkEvent* /*event*/, gpointer data) {
  auto* watch = static_cast<MapWatch*>(data);
  if (static_cast<XEvent*>(native)->type == MapNotify && !watch->window->IsShown()) watch->mapped();
  return GDK_FILTER_CONTINUE;
}

GtkWidget* WidgetOf(wxTopLevelWindow* window) { return window->GetHandle(); }

}  // namespace

void PrepareGtk() {
  gtk_disable_setlocale();
  const char* x = std::getenv("DISPLAY");
  if (x && *x) gdk_set_allowed_backends("x11");
}

bool GtkUsesX11() {
  GdkDisplay* display = gdk_display_get_default();
  return display && GDK_IS_X11_DISPLAY(display);
}

void CreateNativeWindow(wxTopLevelWindow* window) { gtk_widget_realize(WidgetOf(window)); }

void MakeModal(wxTopLevelWindow* window) {
  gtk_window_set_modal(GTK_WINDOW(WidgetOf(window)), TRUE);
}

void MarkAsSplash(wxTopLevelWindow* window) {
  GtkWindow* gtk_window = GTK_WINDOW(WidgetOf(window));
  gtk_window_set_type_hint(gtk_window, GDK_WINDOW_TYPE_HINT_SPLASHSCREEN);
  gtk_window_set_accept_focus(gtk_window, FALSE);
  gtk_window_set_focus_on_map(gtk_window, FALSE);
}

void WatchForeignMap(wxTopLevelWindow* window, std::function<void()> mapped) {
  GdkWindow* native = gtk_widget_get_window(WidgetOf(window));
  if (!native || !GDK_IS_X11_WINDOW(native)) return;
  auto* watch = new MapWatch{window, std::move(mapped)};
  g_object_ref(native);
  gdk_window_add_filter(native, OnNativeEvent, watch);
  // The watch lives as long as the wx window.
  window->Bind(wxEVT_DESTROY, [native, watch, window](wxWindowDestroyEvent& event) {
    event.Skip();
    if (event.GetEventObject() != window) return;
    gdk_window_remove_filter(native, OnNativeEvent, watch);
    g_object_unref(native);
    delete watch;
  });
}

}  // namespace ui::wx
