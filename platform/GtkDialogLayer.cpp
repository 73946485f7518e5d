#include "platform/GtkDialogLayer.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/DiagnosticTexts.h"
#include "core/Diagnostics.h"
#include "engine/FilePath.h"
#include "engine/WideText.h"
#include "platform/DialogPicture.h"
#include "platform/TerminationSignal.h"
#include "res/DialogTemplates.h"

namespace reef {

namespace {

// The dialog font; its average character size gives the dialog units.
constexpr const char* kDialogFont = "DejaVu Sans 8";
// A drop-down list is this tall when closed; its template height includes the open list.
constexpr int kClosedListUnits = 13;
// How often a running dialog looks for SIGTERM or SIGINT, in milliseconds.
constexpr guint kTerminationPollMs = 100;

// Tight spacing so GTK's widgets keep to the template rectangles.
constexpr const char* kDialogCss = R"css(
.reef-dialog, .reef-dialog * { font-family: "DejaVu Sans"; font-size: 8pt; }
.reef-dialog button { padding: 0px 4px; min-height: 0px; min-width: 0px; }
.reef-dialog button.flat { color: #1a5fb4; }
.reef-dialog entry { padding: 0px 2px; min-height: 0px; min-width: 0px; }
.reef-dialog combobox button { padding: 0px 2px 0px 4px; min-height: 0px; }
.reef-dialog combobox arrow { min-width: 10px; min-height: 10px; }
.reef-dialog scale { padding: 0px 4px; min-height: 0px; }
.reef-dialog scale trough { min-height: 4px; }
.reef-dialog scale slider { min-width: 8px; min-height: 12px; margin: -5px 0px; }
.reef-dialog scale marks mark indicator { min-height: 3px; }
.reef-dialog scrollbar slider { min-width: 6px; min-height: 12px; }
.reef-dialog checkbutton, .reef-dialog radiobutton { padding: 0px; min-height: 0px; }
.reef-dialog check, .reef-dialog radio { min-width: 11px; min-height: 11px; margin: 0px 3px 0px 0px; }
.reef-dialog frame > border { border-color: #a0a0a0; }
)css";

std::string utf8(std::u16string_view text) { return toUtf8(text); }

}  // namespace

struct GtkDialogLayer::Control {
    int id = kUnnumbered;
    ControlKind kind = ControlKind::Label;
    GtkWidget* widget = nullptr;     // what is placed, shown and hidden
    GtkWidget* inner = nullptr;      // the widget that holds the state (tree view, image, ...)
    GtkWidget* noneRadio = nullptr;  // the hidden member checked when none of a radio group is
    GtkListStore* store = nullptr;
    std::vector<int> itemData;
    ScrollInfo scroll;
    bool ticks = false;
    Dialog* dialog = nullptr;
};

struct GtkDialogLayer::Dialog {
    DialogHandle handle = 0;
    const DialogTemplate* tmpl = nullptr;
    DialogHandle parent = 0;
    DialogProcedure* procedure = nullptr;
    GtkWidget* window = nullptr;  // the top-level window of a modal dialog
    GtkWidget* outer = nullptr;   // what is placed in the parent (a child dialog)
    GtkWidget* fixed = nullptr;   // the layout holding the controls
    std::vector<std::unique_ptr<Control>> controls;
    GMainLoop* loop = nullptr;
    int defaultButton = 0;  // the id Enter stands for; 0 when there is none
    bool ended = false;
    int result = 0;
};

namespace {

using Control = GtkDialogLayer::Control;
using Dialog = GtkDialogLayer::Dialog;

int g_quietDepth = 0;  // GTK runs on this one thread; set while the layer changes controls

// Signals caused by the layer's own changes are not the user's: they are not delivered.
struct Quiet {
    Quiet() { ++g_quietDepth; }
    ~Quiet() { --g_quietDepth; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;
};

bool userAction(const Control* c) { return g_quietDepth == 0 && c->dialog->procedure != nullptr; }

void onClicked(GtkButton*, gpointer data) {
    auto* c = static_cast<Control*>(data);
    if (userAction(c)) c->dialog->procedure->onCommand(c->dialog->handle, c->id);
}

void onToggled(GtkToggleButton* button, gpointer data) {
    auto* c = static_cast<Control*>(data);
    // A radio group toggles twice per click; only the newly checked button reports it.
    if (c->kind == ControlKind::RadioButton && !gtk_toggle_button_get_active(button)) return;
    if (userAction(c)) c->dialog->procedure->onCommand(c->dialog->handle, c->id);
}

void onComboChanged(GtkComboBox*, gpointer data) {
    auto* c = static_cast<Control*>(data);
    if (userAction(c)) c->dialog->procedure->onCommand(c->dialog->handle, c->id);
}

void onSelectionChanged(GtkTreeSelection*, gpointer data) {
    auto* c = static_cast<Control*>(data);
    if (userAction(c)) c->dialog->procedure->onItemChanged(c->dialog->handle, c->id);
}

void onTrackChanged(GtkRange*, gpointer data) {
    auto* c = static_cast<Control*>(data);
    if (userAction(c)) c->dialog->procedure->onHorizontalScroll(c->dialog->handle, c->id);
}

ScrollCode scrollCodeFor(GtkScrollType type) {
    switch (type) {
    case GTK_SCROLL_STEP_BACKWARD:
    case GTK_SCROLL_STEP_UP:
    case GTK_SCROLL_STEP_LEFT: return ScrollCode::LineUp;
    case GTK_SCROLL_STEP_FORWARD:
    case GTK_SCROLL_STEP_DOWN:
    case GTK_SCROLL_STEP_RIGHT: return ScrollCode::LineDown;
    case GTK_SCROLL_PAGE_BACKWARD:
    case GTK_SCROLL_PAGE_UP:
    case GTK_SCROLL_PAGE_LEFT: return ScrollCode::PageUp;
    case GTK_SCROLL_PAGE_FORWARD:
    case GTK_SCROLL_PAGE_DOWN:
    case GTK_SCROLL_PAGE_RIGHT: return ScrollCode::PageDown;
    case GTK_SCROLL_START: return ScrollCode::Top;
    case GTK_SCROLL_END: return ScrollCode::Bottom;
    case GTK_SCROLL_JUMP: return ScrollCode::ThumbTrack;
    default: return ScrollCode::ThumbPosition;
    }
}

// The scroll bar does not move by itself: the procedure decides the new position.
gboolean onScrollRequested(GtkRange*, GtkScrollType type, gdouble value, gpointer data) {
    auto* c = static_cast<Control*>(data);
    if (userAction(c))
        c->dialog->procedure->onVerticalScroll(c->dialog->handle, c->id, scrollCodeFor(type),
                                               static_cast<int>(std::lround(value)));
    return TRUE;
}

// A position set from outside (assistive technology) arrives as a thumb position.
void onScrollValueChanged(GtkAdjustment* adjustment, gpointer data) {
    auto* c = static_cast<Control*>(data);
    if (!userAction(c)) return;
    c->dialog->procedure->onVerticalScroll(c->dialog->handle, c->id, ScrollCode::ThumbPosition,
                                           static_cast<int>(std::lround(gtk_adjustment_get_value(adjustment))));
}

gboolean onDeleteEvent(GtkWidget*, GdkEvent*, gpointer data) {
    auto* d = static_cast<Dialog*>(data);
    if (d->procedure && g_quietDepth == 0) d->procedure->onCommand(d->handle, 2);
    return TRUE;  // the procedure ends the dialog; the window goes with it
}

// Escape cancels; Enter presses the default button unless a push button has the focus.
gboolean onKeyPress(GtkWidget* window, GdkEventKey* event, gpointer data) {
    auto* d = static_cast<Dialog*>(data);
    if (!d->procedure) return FALSE;
    if (event->keyval == GDK_KEY_Escape) {
        d->procedure->onCommand(d->handle, 2);
        return TRUE;
    }
    if (event->keyval != GDK_KEY_Return && event->keyval != GDK_KEY_KP_Enter) return FALSE;
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
    const bool pushButton = focus && GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus);
    if (pushButton || d->defaultButton == 0) return FALSE;
    d->procedure->onCommand(d->handle, d->defaultButton);
    return TRUE;
}

// SIGTERM or SIGINT while a dialog runs: it ends as if cancelled, storing nothing.
gboolean onTerminationPoll(gpointer data) {
    auto* d = static_cast<Dialog*>(data);
    if (!terminationRequested() || d->ended) return G_SOURCE_CONTINUE;
    if (d->procedure) d->procedure->onCommand(d->handle, 2);
    if (!d->ended) {
        d->ended = true;
        d->result = 2;
        if (d->loop) g_main_loop_quit(d->loop);
    }
    return G_SOURCE_CONTINUE;
}

gboolean onMessageTerminationPoll(gpointer box) {
    if (terminationRequested()) gtk_dialog_response(GTK_DIALOG(box), GTK_RESPONSE_CANCEL);
    return G_SOURCE_CONTINUE;
}

// Thin frame for bordered child dialogs and pictures.
GtkWidget* framed(GtkWidget* child, GtkShadowType shadow) {
    GtkWidget* frame = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(frame), shadow);
    gtk_container_add(GTK_CONTAINER(frame), child);
    gtk_widget_show(child);
    return frame;
}

// A dialog picture decoded from its checked bytes (never from the file by
// name: the decoder would wait on a FIFO and allocate whatever a header
// declares); nullptr when the file is missing or refused.
GdkPixbuf* loadPicture(const std::string& path) {
    const std::optional<std::vector<uint8_t>> bytes = readDialogPicture(path);
    if (!bytes) return nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("bmp", nullptr);
    if (loader == nullptr) return nullptr;
    // A failed write closes the loader itself; closing again is harmless.
    const bool decoded = gdk_pixbuf_loader_write(loader, bytes->data(), bytes->size(), nullptr) &&
                         gdk_pixbuf_loader_close(loader, nullptr);
    GdkPixbuf* picture = decoded ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
    if (picture != nullptr) g_object_ref(picture);
    if (!decoded) {
        gdk_pixbuf_loader_close(loader, nullptr);
        reportf(Channel::Error, texts::kDialogPictureRefused, nativePath(path).c_str(), texts::kDialogPictureUndecoded);
    }
    g_object_unref(loader);
    return picture;
}

}  // namespace

GtkDialogLayer::GtkDialogLayer(std::string resourceFolder) : m_resourceFolder(std::move(resourceFolder)) {}

GtkDialogLayer::~GtkDialogLayer() {
    while (!m_dialogs.empty()) {
        DialogHandle root = m_dialogs.begin()->first;
        while (find(root)->parent != 0) root = find(root)->parent;
        destroyTree(root);
    }
}

bool GtkDialogLayer::startGtk() {
    if (m_started) return true;
    if (!gtk_init_check(nullptr, nullptr)) {
        const char* display = std::getenv("DISPLAY");
        m_lastError = std::string("cannot open the display \"") + (display ? display : "") +
                      "\"; the settings dialog needs a running X server";
        return false;
    }
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, kDialogCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
    measureDialogFont();
    m_started = true;
    return true;
}

// Dialog units: a quarter of the font's average character width, an eighth of its height.
void GtkDialogLayer::measureDialogFont() {
    PangoFontMap* fonts = pango_cairo_font_map_get_default();
    PangoContext* context = pango_font_map_create_context(fonts);
    pango_cairo_context_set_resolution(context, 96.0);
    PangoLayout* layout = pango_layout_new(context);
    PangoFontDescription* font = pango_font_description_from_string(kDialogFont);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout, &width, &height);
    pango_font_description_free(font);
    g_object_unref(layout);
    g_object_unref(context);
    if (width <= 0 || height <= 0) return;
    const int baseX = (width / 26 + 1) / 2;
    m_unitX = baseX / 4.0;
    m_unitY = height / 8.0;
    m_pixelScaleX = baseX / static_cast<double>(kReferenceBaseX);
    m_pixelScaleY = height / static_cast<double>(kReferenceBaseY);
    reportf(Channel::Debug, "dialog font base units %d x %d", baseX, height);
}

int GtkDialogLayer::toPixelsX(int units) const { return static_cast<int>(std::lround(units * m_unitX)); }
int GtkDialogLayer::toPixelsY(int units) const { return static_cast<int>(std::lround(units * m_unitY)); }

GtkDialogLayer::Dialog* GtkDialogLayer::find(DialogHandle dialog) const {
    auto it = m_dialogs.find(dialog);
    return it == m_dialogs.end() ? nullptr : it->second.get();
}

GtkDialogLayer::Control* GtkDialogLayer::control(DialogHandle dialog, int controlId) const {
    Dialog* d = find(dialog);
    if (d == nullptr) return nullptr;
    for (const auto& c : d->controls)
        if (c->id == controlId) return c.get();
    return nullptr;
}

// ---------------------------------------------------------------- building

DialogHandle GtkDialogLayer::build(int templateId, DialogHandle parent, DialogProcedure* procedure) {
    const DialogTemplate* tmpl = findDialogTemplate(templateId);
    if (tmpl == nullptr) return 0;
    Dialog* parentDialog = parent != 0 ? find(parent) : nullptr;
    if (tmpl->child && parentDialog == nullptr) return 0;

    auto dialog = std::make_unique<Dialog>();
    dialog->handle = m_nextHandle++;
    dialog->tmpl = tmpl;
    dialog->parent = tmpl->child ? parent : 0;
    dialog->procedure = procedure;
    // A layout keeps its own size whatever its children do, and clips them to
    // it (the scrolled set entries); a GtkFixed would grow to hold them all.
    dialog->fixed = gtk_layout_new(nullptr, nullptr);
    const int width = toPixelsX(tmpl->width), height = toPixelsY(tmpl->height);
    gtk_widget_set_size_request(dialog->fixed, width, height);
    gtk_layout_set_size(GTK_LAYOUT(dialog->fixed), static_cast<guint>(width), static_cast<guint>(height));
    gtk_widget_show(dialog->fixed);

    if (tmpl->child) {
        dialog->outer = tmpl->border ? framed(dialog->fixed, GTK_SHADOW_ETCHED_IN) : dialog->fixed;
        gtk_layout_put(GTK_LAYOUT(parentDialog->fixed), dialog->outer, 0, 0);
    } else {
        dialog->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_style_context_add_class(gtk_widget_get_style_context(dialog->window), "reef-dialog");
        gtk_window_set_title(GTK_WINDOW(dialog->window), tmpl->caption);
        gtk_window_set_resizable(GTK_WINDOW(dialog->window), FALSE);
        gtk_window_set_type_hint(GTK_WINDOW(dialog->window), GDK_WINDOW_TYPE_HINT_DIALOG);
        gtk_window_set_position(GTK_WINDOW(dialog->window), GTK_WIN_POS_CENTER);
        if (parentDialog != nullptr && parentDialog->window != nullptr) {
            gtk_window_set_transient_for(GTK_WINDOW(dialog->window), GTK_WINDOW(parentDialog->window));
            gtk_window_set_modal(GTK_WINDOW(dialog->window), TRUE);
        }
        gtk_container_add(GTK_CONTAINER(dialog->window), dialog->fixed);
        g_signal_connect(dialog->window, "delete-event", G_CALLBACK(onDeleteEvent), dialog.get());
        g_signal_connect(dialog->window, "key-press-event", G_CALLBACK(onKeyPress), dialog.get());
        dialog->outer = dialog->window;
    }
    Dialog& built = *dialog;
    m_dialogs[built.handle] = std::move(dialog);
    buildControls(built);
    if (procedure != nullptr) procedure->onInitDialog(built.handle);
    return built.handle;
}

void GtkDialogLayer::buildControls(Dialog& dialog) {
    Quiet quiet;
    GSList* radioGroup = nullptr;
    GtkWidget* defaultButton = nullptr;
    for (const ControlTemplate& ct : dialog.tmpl->controls) {
        auto c = std::make_unique<Control>();
        c->id = ct.id;
        c->kind = ct.kind;
        c->dialog = &dialog;
        c->ticks = (ct.style & kStyleTicks) != 0;
        int width = toPixelsX(ct.rect.width);
        int height = toPixelsY(ct.rect.height);
        if (ct.kind != ControlKind::RadioButton) radioGroup = nullptr;

        switch (ct.kind) {
        case ControlKind::ListView: {
            c->store = gtk_list_store_new(1, G_TYPE_STRING);
            c->inner = gtk_tree_view_new_with_model(GTK_TREE_MODEL(c->store));
            g_object_unref(c->store);
            gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(c->inner), FALSE);
            gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(c->inner), -1, "", gtk_cell_renderer_text_new(),
                                                        "text", 0, nullptr);
            GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(c->inner));
            gtk_tree_selection_set_mode(selection, GTK_SELECTION_SINGLE);
            g_signal_connect(selection, "changed", G_CALLBACK(onSelectionChanged), c.get());
            c->widget = gtk_scrolled_window_new(nullptr, nullptr);
            gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(c->widget), GTK_SHADOW_IN);
            gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(c->widget), GTK_POLICY_NEVER, GTK_POLICY_AUTOMATIC);
            gtk_container_add(GTK_CONTAINER(c->widget), c->inner);
            gtk_widget_show(c->inner);
            break;
        }
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
        case ControlKind::FlatPushButton:
            c->widget = c->inner = gtk_button_new_with_label(ct.text);
            if (ct.kind == ControlKind::FlatPushButton) gtk_button_set_relief(GTK_BUTTON(c->widget), GTK_RELIEF_NONE);
            if (ct.kind == ControlKind::DefaultPushButton) {
                gtk_widget_set_can_default(c->widget, TRUE);
                defaultButton = c->widget;
                dialog.defaultButton = ct.id;
            }
            g_signal_connect(c->widget, "clicked", G_CALLBACK(onClicked), c.get());
            break;
        case ControlKind::Label:
        case ControlKind::CentredLabel: {
            c->widget = c->inner = gtk_label_new(ct.text);
            const bool centred = ct.kind == ControlKind::CentredLabel;
            gtk_label_set_xalign(GTK_LABEL(c->widget), centred ? 0.5f : 0.0f);
            gtk_label_set_yalign(GTK_LABEL(c->widget), 0.0f);
            gtk_label_set_justify(GTK_LABEL(c->widget), centred ? GTK_JUSTIFY_CENTER : GTK_JUSTIFY_LEFT);
            gtk_label_set_line_wrap(GTK_LABEL(c->widget), TRUE);
            gtk_label_set_max_width_chars(GTK_LABEL(c->widget), 1);  // wrap at the template width
            break;
        }
        case ControlKind::Bitmap: {
            c->inner = gtk_image_new();
            const bool bordered = (ct.style & (kStyleBorder | kStyleSunken)) != 0;
            c->widget = bordered ? framed(c->inner, (ct.style & kStyleSunken) ? GTK_SHADOW_IN : GTK_SHADOW_ETCHED_IN)
                                 : c->inner;
            break;
        }
        case ControlKind::GroupBox:
            c->widget = c->inner = gtk_frame_new(ct.text[0] ? ct.text : nullptr);
            break;
        case ControlKind::VerticalScrollBar: {
            GtkAdjustment* adjustment = gtk_adjustment_new(0, 0, 1, 1, 1, 1);
            c->widget = c->inner = gtk_scrollbar_new(GTK_ORIENTATION_VERTICAL, adjustment);
            g_signal_connect(c->widget, "change-value", G_CALLBACK(onScrollRequested), c.get());
            g_signal_connect(adjustment, "value-changed", G_CALLBACK(onScrollValueChanged), c.get());
            break;
        }
        case ControlKind::Trackbar:
            c->widget = c->inner = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, 0, 100, 1);
            gtk_scale_set_draw_value(GTK_SCALE(c->widget), FALSE);
            gtk_scale_set_digits(GTK_SCALE(c->widget), 0);
            gtk_range_set_round_digits(GTK_RANGE(c->widget), 0);
            gtk_range_set_increments(GTK_RANGE(c->widget), 1, 1);
            g_signal_connect(c->widget, "value-changed", G_CALLBACK(onTrackChanged), c.get());
            break;
        case ControlKind::NumberReadout:
            c->widget = c->inner = gtk_entry_new();
            gtk_editable_set_editable(GTK_EDITABLE(c->widget), FALSE);
            gtk_entry_set_alignment(GTK_ENTRY(c->widget), 1.0f);
            gtk_entry_set_width_chars(GTK_ENTRY(c->widget), 1);
            gtk_entry_set_has_frame(GTK_ENTRY(c->widget), TRUE);
            break;
        case ControlKind::CheckBox:
            c->widget = c->inner = ct.text[0] ? gtk_check_button_new_with_label(ct.text) : gtk_check_button_new();
            g_signal_connect(c->widget, "toggled", G_CALLBACK(onToggled), c.get());
            break;
        case ControlKind::RadioButton: {
            if (radioGroup == nullptr) {
                // Each group has a hidden member that holds the "none checked" state.
                c->noneRadio = gtk_radio_button_new(nullptr);
                g_object_ref_sink(c->noneRadio);
                radioGroup = gtk_radio_button_get_group(GTK_RADIO_BUTTON(c->noneRadio));
            } else {
                c->noneRadio = dialog.controls.back()->noneRadio;
            }
            c->widget = c->inner = ct.text[0] ? gtk_radio_button_new_with_label(radioGroup, ct.text)
                                              : gtk_radio_button_new(radioGroup);
            radioGroup = gtk_radio_button_get_group(GTK_RADIO_BUTTON(c->widget));
            g_signal_connect(c->widget, "toggled", G_CALLBACK(onToggled), c.get());
            break;
        }
        case ControlKind::DropDownList:
            c->widget = c->inner = gtk_combo_box_text_new();
            height = std::min(height, toPixelsY(kClosedListUnits));
            g_signal_connect(c->widget, "changed", G_CALLBACK(onComboChanged), c.get());
            break;
        }
        gtk_widget_set_size_request(c->widget, width, height);
        gtk_layout_put(GTK_LAYOUT(dialog.fixed), c->widget, toPixelsX(ct.rect.x), toPixelsY(ct.rect.y));
        if ((ct.style & kStyleHidden) == 0) gtk_widget_show(c->widget);
        if (ct.kind == ControlKind::Bitmap && ct.text[0]) {
            GdkPixbuf* picture = loadPicture(m_resourceFolder + ct.text);
            if (picture) {
                gtk_image_set_from_pixbuf(GTK_IMAGE(c->inner), picture);
                g_object_unref(picture);
            }
        }
        dialog.controls.push_back(std::move(c));
    }
    if (defaultButton != nullptr && dialog.window != nullptr) {
        gtk_window_set_default(GTK_WINDOW(dialog.window), defaultButton);
    }
}

void GtkDialogLayer::destroyTree(DialogHandle root) {
    std::vector<DialogHandle> doomed{root};
    for (size_t i = 0; i < doomed.size(); ++i)
        for (const auto& [handle, d] : m_dialogs)
            if (d->parent == doomed[i]) doomed.push_back(handle);
    Dialog* top = find(root);
    Quiet quiet;
    // Release each group's hidden radio once.
    std::vector<GtkWidget*> released;
    for (DialogHandle handle : doomed)
        for (auto& c : find(handle)->controls)
            if (c->noneRadio && std::find(released.begin(), released.end(), c->noneRadio) == released.end())
                released.push_back(c->noneRadio);
    if (top->window != nullptr)
        gtk_widget_destroy(top->window);
    else if (top->outer != nullptr)
        gtk_widget_destroy(top->outer);
    for (GtkWidget* none : released) {
        gtk_widget_destroy(none);
        g_object_unref(none);
    }
    for (DialogHandle handle : doomed) m_dialogs.erase(handle);
}

// ---------------------------------------------------------------- running

int GtkDialogLayer::runModal(int templateId, DialogHandle owner, DialogProcedure& procedure) {
    if (!startGtk()) return -1;
    const DialogHandle handle = build(templateId, owner, &procedure);
    Dialog* dialog = find(handle);
    if (dialog == nullptr || dialog->window == nullptr) {
        m_lastError = "dialog template " + std::to_string(templateId) + " cannot be built";
        if (dialog != nullptr) destroyTree(handle);
        return -1;
    }
    if (!dialog->ended) {
        gtk_widget_show(dialog->window);
        dialog->loop = g_main_loop_new(nullptr, FALSE);
        const guint watch = g_timeout_add(kTerminationPollMs, onTerminationPoll, dialog);
        g_main_loop_run(dialog->loop);
        g_source_remove(watch);
        g_main_loop_unref(dialog->loop);
        dialog->loop = nullptr;
    }
    const int result = dialog->result;
    destroyTree(handle);
    while (gtk_events_pending()) gtk_main_iteration();
    return result;
}

DialogHandle GtkDialogLayer::createChild(int templateId, DialogHandle parent, DialogProcedure* procedure) {
    const DialogTemplate* tmpl = findDialogTemplate(templateId);
    if (tmpl == nullptr || !tmpl->child) return 0;
    return build(templateId, parent, procedure);
}

int GtkDialogLayer::templateId(DialogHandle dialog) const {
    const Dialog* d = find(dialog);
    return d ? d->tmpl->id : 0;
}

void GtkDialogLayer::endDialog(DialogHandle dialog, int result) {
    Dialog* d = find(dialog);
    if (d == nullptr || d->ended) return;
    d->ended = true;
    d->result = result;
    if (d->loop) g_main_loop_quit(d->loop);
}

void GtkDialogLayer::setTitle(DialogHandle dialog, std::u16string_view text) {
    Dialog* d = find(dialog);
    if (d && d->window) gtk_window_set_title(GTK_WINDOW(d->window), utf8(text).c_str());
}

void GtkDialogLayer::showDialog(DialogHandle dialog, bool visible) {
    Dialog* d = find(dialog);
    if (d && d->outer) gtk_widget_set_visible(d->outer, visible);
}

void GtkDialogLayer::moveDialog(DialogHandle dialog, int x, int y) {
    Dialog* d = find(dialog);
    if (d == nullptr || d->window != nullptr) return;
    Dialog* parent = find(d->parent);
    if (parent)
        gtk_layout_move(GTK_LAYOUT(parent->fixed), d->outer, static_cast<int>(std::lround(x * m_pixelScaleX)),
                       static_cast<int>(std::lround(y * m_pixelScaleY)));
}

// ---------------------------------------------------------------- controls

void GtkDialogLayer::setText(DialogHandle dialog, int controlId, std::u16string_view text) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return;
    const std::string value = utf8(text);
    Quiet quiet;
    switch (c->kind) {
    case ControlKind::Label:
    case ControlKind::CentredLabel: gtk_label_set_text(GTK_LABEL(c->inner), value.c_str()); break;
    case ControlKind::GroupBox: gtk_frame_set_label(GTK_FRAME(c->inner), value.empty() ? nullptr : value.c_str()); break;
    case ControlKind::NumberReadout: gtk_entry_set_text(GTK_ENTRY(c->inner), value.c_str()); break;
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
    case ControlKind::FlatPushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: gtk_button_set_label(GTK_BUTTON(c->inner), value.c_str()); break;
    default: break;
    }
}

std::u16string GtkDialogLayer::text(DialogHandle dialog, int controlId) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return {};
    const char* value = nullptr;
    switch (c->kind) {
    case ControlKind::Label:
    case ControlKind::CentredLabel: value = gtk_label_get_text(GTK_LABEL(c->inner)); break;
    case ControlKind::GroupBox: value = gtk_frame_get_label(GTK_FRAME(c->inner)); break;
    case ControlKind::NumberReadout: value = gtk_entry_get_text(GTK_ENTRY(c->inner)); break;
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
    case ControlKind::FlatPushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: value = gtk_button_get_label(GTK_BUTTON(c->inner)); break;
    default: break;
    }
    return value ? fromUtf8(value) : std::u16string();
}

void GtkDialogLayer::setChecked(DialogHandle dialog, int controlId, bool checked) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || (c->kind != ControlKind::CheckBox && c->kind != ControlKind::RadioButton)) return;
    Quiet quiet;
    if (checked || c->kind == ControlKind::CheckBox) {
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c->inner), checked);
    } else if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(c->inner))) {
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c->noneRadio), TRUE);
    }
}

bool GtkDialogLayer::isChecked(DialogHandle dialog, int controlId) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || (c->kind != ControlKind::CheckBox && c->kind != ControlKind::RadioButton)) return false;
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(c->inner));
}

void GtkDialogLayer::showControl(DialogHandle dialog, int controlId, bool visible) {
    if (Control* c = control(dialog, controlId)) gtk_widget_set_visible(c->widget, visible);
}

void GtkDialogLayer::enableControl(DialogHandle dialog, int controlId, bool enabled) {
    if (Control* c = control(dialog, controlId)) gtk_widget_set_sensitive(c->widget, enabled);
}

void GtkDialogLayer::setAccessibleName(DialogHandle dialog, int controlId, std::u16string_view name) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return;
    AtkObject* accessible = gtk_widget_get_accessible(c->inner);
    if (accessible) atk_object_set_name(accessible, utf8(name).c_str());
}

void GtkDialogLayer::setToolTip(DialogHandle dialog, int controlId, std::u16string_view text) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return;
    const std::string value = utf8(text);
    gtk_widget_set_tooltip_text(c->widget, value.empty() ? nullptr : value.c_str());
}

void GtkDialogLayer::setTrackRange(DialogHandle dialog, int controlId, int min, int max) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::Trackbar || max < min) return;
    Quiet quiet;
    gtk_range_set_range(GTK_RANGE(c->inner), min, max == min ? max + 1 : max);
    gtk_scale_clear_marks(GTK_SCALE(c->inner));
    if (c->ticks)
        for (int pos = min; pos <= max; ++pos) gtk_scale_add_mark(GTK_SCALE(c->inner), pos, GTK_POS_BOTTOM, nullptr);
}

void GtkDialogLayer::setTrackPos(DialogHandle dialog, int controlId, int pos) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::Trackbar) return;
    Quiet quiet;
    gtk_range_set_value(GTK_RANGE(c->inner), pos);
}

int GtkDialogLayer::trackPos(DialogHandle dialog, int controlId) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::Trackbar) return 0;
    return static_cast<int>(std::lround(gtk_range_get_value(GTK_RANGE(c->inner))));
}

void GtkDialogLayer::clearItems(DialogHandle dialog, int controlId) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return;
    Quiet quiet;
    c->itemData.clear();
    if (c->kind == ControlKind::ListView) gtk_list_store_clear(c->store);
    if (c->kind == ControlKind::DropDownList) gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(c->inner));
}

int GtkDialogLayer::addItem(DialogHandle dialog, int controlId, std::u16string_view text, int data) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return -1;
    Quiet quiet;
    const std::string value = utf8(text);
    if (c->kind == ControlKind::ListView) {
        GtkTreeIter row;
        gtk_list_store_append(c->store, &row);
        gtk_list_store_set(c->store, &row, 0, value.c_str(), -1);
    } else if (c->kind == ControlKind::DropDownList) {
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(c->inner), value.c_str());
    } else {
        return -1;
    }
    c->itemData.push_back(data);
    return static_cast<int>(c->itemData.size()) - 1;
}

void GtkDialogLayer::selectItem(DialogHandle dialog, int controlId, int index) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return;
    Quiet quiet;
    const bool inRange = index >= 0 && index < static_cast<int>(c->itemData.size());
    if (c->kind == ControlKind::DropDownList) {
        gtk_combo_box_set_active(GTK_COMBO_BOX(c->inner), inRange ? index : -1);
    } else if (c->kind == ControlKind::ListView) {
        GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(c->inner));
        gtk_tree_selection_unselect_all(selection);
        if (!inRange) return;
        GtkTreePath* path = gtk_tree_path_new_from_indices(index, -1);
        gtk_tree_selection_select_path(selection, path);
        gtk_tree_view_set_cursor(GTK_TREE_VIEW(c->inner), path, nullptr, FALSE);
        gtk_tree_path_free(path);
    }
}

int GtkDialogLayer::selectedItem(DialogHandle dialog, int controlId) {
    Control* c = control(dialog, controlId);
    if (c == nullptr) return -1;
    if (c->kind == ControlKind::DropDownList) return gtk_combo_box_get_active(GTK_COMBO_BOX(c->inner));
    if (c->kind != ControlKind::ListView) return -1;
    GtkTreeModel* model = nullptr;
    GtkTreeIter row;
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(c->inner));
    if (!gtk_tree_selection_get_selected(selection, &model, &row)) return -1;
    GtkTreePath* path = gtk_tree_model_get_path(model, &row);
    const int index = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
    return index;
}

int GtkDialogLayer::itemData(DialogHandle dialog, int controlId, int index) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || index < 0 || index >= static_cast<int>(c->itemData.size())) return -1;
    return c->itemData[index];
}

void GtkDialogLayer::setScrollInfo(DialogHandle dialog, int controlId, const ScrollInfo& info) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::VerticalScrollBar) return;
    c->scroll = info;
    c->scroll.pos = clampScrollPosition(info, info.pos);
    Quiet quiet;
    GtkAdjustment* adjustment = gtk_range_get_adjustment(GTK_RANGE(c->inner));
    // The adjustment's upper end is exclusive; a range shorter than a page leaves nothing to scroll.
    const double upper = std::max(info.max + 1, info.min);
    gtk_adjustment_configure(adjustment, c->scroll.pos, info.min, upper, 1, std::max(info.page, 1),
                             std::max(info.page, 1));
}

ScrollInfo GtkDialogLayer::scrollInfo(DialogHandle dialog, int controlId) {
    Control* c = control(dialog, controlId);
    return c ? c->scroll : ScrollInfo{};
}

int GtkDialogLayer::setScrollPos(DialogHandle dialog, int controlId, int pos) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::VerticalScrollBar) return 0;
    c->scroll.pos = clampScrollPosition(c->scroll, pos);
    Quiet quiet;
    gtk_adjustment_set_value(gtk_range_get_adjustment(GTK_RANGE(c->inner)), c->scroll.pos);
    return c->scroll.pos;
}

bool GtkDialogLayer::setBitmap(DialogHandle dialog, int controlId, const std::string& path) {
    Control* c = control(dialog, controlId);
    if (c == nullptr || c->kind != ControlKind::Bitmap) return false;
    GdkPixbuf* picture = loadPicture(path);
    if (picture == nullptr) {
        gtk_image_clear(GTK_IMAGE(c->inner));
        return false;
    }
    gtk_image_set_from_pixbuf(GTK_IMAGE(c->inner), picture);
    // A picture control takes the size of its picture (and its frame).
    const int frame = c->widget != c->inner ? 2 : 0;
    gtk_widget_set_size_request(c->widget, gdk_pixbuf_get_width(picture) + frame,
                                gdk_pixbuf_get_height(picture) + frame);
    g_object_unref(picture);
    return true;
}

void GtkDialogLayer::showMessage(DialogHandle owner, std::u16string_view text, std::u16string_view caption) {
    if (!startGtk()) {
        report(Channel::Error, utf8(text));
        return;
    }
    Dialog* d = find(owner);
    GtkWindow* parent = (d && d->window) ? GTK_WINDOW(d->window) : nullptr;
    GtkWidget* box = gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, GTK_MESSAGE_WARNING, GTK_BUTTONS_OK, "%s",
                                            utf8(text).c_str());
    gtk_window_set_title(GTK_WINDOW(box), utf8(caption).c_str());
    const guint watch = g_timeout_add(kTerminationPollMs, onMessageTerminationPoll, box);
    gtk_dialog_run(GTK_DIALOG(box));
    g_source_remove(watch);
    gtk_widget_destroy(box);
}

void GtkDialogLayer::openUri(const std::string& uri) {
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error)) {
        reportf(Channel::Error, "Error: cannot open %s: %s", uri.c_str(), error ? error->message : "no handler");
        if (error) g_error_free(error);
    }
}

}  // namespace reef
