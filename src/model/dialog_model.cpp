// The in-memory dialog behind the control layer's ops. The list behaves as the
// platform's report list with LVS_SORTASCENDING and check boxes does: rows are
// placed by text, a new row of a list with check boxes starts unticked, and
// "every row" is index -1.
#include "model/dialog_model.h"

#include "common/text.h"
#include "ui/list_order.h"
#include "ui/message_echo.h"
#include "common/codepage.h"

enum : uint32_t { kCheckBoxesStyle = 0x4, kStateImageBits = 0xF000, kUntickedImage = 0x1000 };

static const int32_t kMainDialogIds[] = {99, 2, 1001, 1002, 1010, 1031, 1032, 1033, 1041, 1042, 1043, 1047, 1048};

static DialogModel* AsDialog(void* handle) {
    return static_cast<DialogModel*>(handle);
}

static ModelControl* AsControl(void* handle) {
    return static_cast<ModelControl*>(handle);
}

static ModelControl* AsList(void* handle) {
    ModelControl* control = AsControl(handle);
    return control->isList ? control : nullptr;
}

static void CopyOut(const std::u16string& text, char16_t* out, int32_t capacity) {
    CopyTextLimited(text.c_str(), out, capacity);
}

static std::string Narrow(const std::u16string& text) {
    std::vector<char> bytes(text.size() + 1);
    WideToAnsi(text.c_str(), bytes.data(), static_cast<int32_t>(bytes.size()));
    return std::string(bytes.data());
}

static std::u16string Widen(const char* text) {
    std::vector<char16_t> wide(static_cast<size_t>(TextLengthA(text)) + 1);
    AnsiToWide(text, wide.data(), static_cast<int32_t>(wide.size()));
    return std::u16string(wide.data());
}

static void Retext(ModelControl* control, const std::u16string& text, const std::string& narrow) {
    control->text = text;
    control->textA = narrow;
    if (control->dialog && control->dialog->onTextChanged) control->dialog->onTextChanged(*control);
}

static int32_t Record(DialogModel* model, const char16_t* text, const char16_t* title, uint32_t style) {
    if (!model) return kIdOkResult;
    model->messages.push_back(ModelMessage{text, title, style});
    if (model->echoMessages) EchoMessageBox(text, title, style);
    return kIdOkResult;
}

ModelControl* FindModelControl(DialogModel* model, int32_t id) {
    if (!model) return nullptr;
    for (const std::unique_ptr<ModelControl>& control : model->controls)
        if (control->id == id) return control.get();
    return nullptr;
}

// --- the dialog ---------------------------------------------------------------

static bool DialogChild(void* dialog, int32_t id, Window* control) {
    ModelControl* found = FindModelControl(AsDialog(dialog), id);
    if (!found) return false;
    *control = found->window;
    return true;
}

static void DialogGetText(void* dialog, char16_t* text, int32_t capacity) {
    CopyOut(AsDialog(dialog)->caption, text, capacity);
}

static void DialogSetText(void* dialog, const char16_t* text) {
    AsDialog(dialog)->caption = text;
}

static void DialogGetTextA(void* dialog, char* text, int32_t capacity) {
    WideToAnsi(AsDialog(dialog)->caption.c_str(), text, capacity);
}

static void DialogSetTextA(void* dialog, const char* text) {
    AsDialog(dialog)->caption = Widen(text);
}

static void DialogGetItemText(void* dialog, int32_t id, char16_t* text, int32_t capacity) {
    ModelControl* control = FindModelControl(AsDialog(dialog), id);
    if (control) CopyOut(control->text, text, capacity);
}

static void DialogSetItemText(void* dialog, int32_t id, const char16_t* text) {
    ModelControl* control = FindModelControl(AsDialog(dialog), id);
    if (control) Retext(control, text, Narrow(text));
}

static void DialogSetItemTextA(void* dialog, int32_t id, const char* text) {
    ModelControl* control = FindModelControl(AsDialog(dialog), id);
    if (control) Retext(control, Widen(text), text);
}

static bool DialogIsItemChecked(void* dialog, int32_t id) {
    ModelControl* control = FindModelControl(AsDialog(dialog), id);
    return control && control->checked;
}

static void DialogCheckItem(void* dialog, int32_t id, bool ticked) {
    ModelControl* control = FindModelControl(AsDialog(dialog), id);
    if (control) control->checked = ticked;
}

static void DialogHideItem(void* dialog, int32_t id) {
    ModelControl* control = FindModelControl(AsDialog(dialog), id);
    if (control) control->visible = false;
}

static void DialogShowItem(void* dialog, int32_t id, bool visible) {
    ModelControl* control = FindModelControl(AsDialog(dialog), id);
    if (control) control->visible = visible;
}

static void DialogEnableItem(void* dialog, int32_t id, bool enabled) {
    ModelControl* control = FindModelControl(AsDialog(dialog), id);
    if (control) control->enabled = enabled;
}

static void DialogSetProgress(void* dialog, int32_t id, int32_t position) {
    ModelControl* control = FindModelControl(AsDialog(dialog), id);
    if (control) control->positions.push_back(position);
}

static void DialogKeepAnswering(void* dialog) {
    DialogModel* model = AsDialog(dialog);
    if (model->onAnswering) model->onAnswering(*model);
}

static void DialogSetTitleFont(void* dialog, int32_t id) {
    ModelControl* control = FindModelControl(AsDialog(dialog), id);
    if (control) control->titleFont = true;
}

static int32_t DialogMessageBox(void* owner, const char16_t* text, const char16_t* title, uint32_t style) {
    return Record(AsDialog(owner), text, title, style);
}

// A dialog is no list: its list entries answer as an empty list does.
static int32_t NoRowCount(void*) { return 0; }
static int32_t NoInsertRow(void*, int32_t, const char16_t*, uint32_t) { return -1; }
static int32_t NoFindData(void*, uint32_t) { return -1; }
static bool NoGetRow(void*, int32_t, char16_t*, int32_t, uint32_t*) { return false; }
static uint32_t NoGetState(void*, int32_t, uint32_t) { return 0; }
static void NoSetState(void*, int32_t, uint32_t, uint32_t) {}
static void NoInsertColumn(void*, int32_t, int32_t, int32_t, const char16_t*) {}
static void NoSetColumnText(void*, int32_t, const char16_t*) {}
static int32_t NoClientWidth(void*) { return 0; }
static void NoExtendedStyle(void*, uint32_t) {}

// --- a control ----------------------------------------------------------------

static bool NoChild(void*, int32_t, Window*) { return false; }
static void NoGetItemText(void*, int32_t, char16_t* text, int32_t capacity) { CopyTextLimited(u"", text, capacity); }
static void NoSetItemText(void*, int32_t, const char16_t*) {}
static void NoSetItemTextA(void*, int32_t, const char*) {}
static bool NoIsItemChecked(void*, int32_t) { return false; }
static void NoCheckItem(void*, int32_t, bool) {}
static void NoItem(void*, int32_t) {}
static void NoShowItem(void*, int32_t, bool) {}
static void NoEnableItem(void*, int32_t, bool) {}
static void NoProgress(void*, int32_t, int32_t) {}
static void NoAnswering(void*) {}

static void ControlGetText(void* control, char16_t* text, int32_t capacity) {
    CopyOut(AsControl(control)->text, text, capacity);
}

static void ControlSetText(void* control, const char16_t* text) {
    Retext(AsControl(control), text, Narrow(text));
}

static void ControlGetTextA(void* control, char* text, int32_t capacity) {
    WideToAnsi(AsControl(control)->text.c_str(), text, capacity);
}

static void ControlSetTextA(void* control, const char* text) {
    Retext(AsControl(control), Widen(text), text);
}

static int32_t ControlMessageBox(void* owner, const char16_t* text, const char16_t* title, uint32_t style) {
    return Record(AsControl(owner)->dialog, text, title, style);
}

static bool ValidRow(const ModelControl* list, int32_t index) {
    return list && index >= 0 && static_cast<size_t>(index) < list->rows.size();
}

static int32_t ListRows(void* handle) {
    ModelControl* list = AsList(handle);
    return list ? static_cast<int32_t>(list->rows.size()) : 0;
}

// The index asked for does not matter to a sorted list: the row goes after the
// last row whose text does not sort after its own.
static int32_t ListInsert(void* handle, int32_t, const char16_t* text, uint32_t data) {
    ModelControl* list = AsList(handle);
    if (!list) return -1;
    size_t at = 0;
    while (at < list->rows.size() && CompareListText(list->rows[at].text.c_str(), text) <= 0) ++at;
    uint32_t state = (list->extendedStyle & kCheckBoxesStyle) ? static_cast<uint32_t>(kUntickedImage) : 0u;
    list->rows.insert(list->rows.begin() + static_cast<std::ptrdiff_t>(at), ModelRow{text, data, state});
    return static_cast<int32_t>(at);
}

static int32_t ListFind(void* handle, uint32_t data) {
    ModelControl* list = AsList(handle);
    if (!list) return -1;
    for (size_t i = 0; i < list->rows.size(); ++i)
        if (list->rows[i].data == data) return static_cast<int32_t>(i);
    return -1;
}

static bool ListRow(void* handle, int32_t index, char16_t* text, int32_t capacity, uint32_t* data) {
    ModelControl* list = AsList(handle);
    if (!ValidRow(list, index)) return false;
    const ModelRow& row = list->rows[static_cast<size_t>(index)];
    CopyOut(row.text, text, capacity);
    *data = row.data;
    return true;
}

static uint32_t ListState(void* handle, int32_t index, uint32_t mask) {
    ModelControl* list = AsList(handle);
    if (!ValidRow(list, index)) return 0;
    return list->rows[static_cast<size_t>(index)].state & mask;
}

static void SetRowState(ModelRow* row, uint32_t state, uint32_t mask) {
    row->state = (row->state & ~mask) | (state & mask);
}

static void ListSetRowState(void* handle, int32_t index, uint32_t state, uint32_t mask) {
    ModelControl* list = AsList(handle);
    if (!list) return;
    if (index == -1) {
        for (ModelRow& row : list->rows) SetRowState(&row, state, mask);
        return;
    }
    if (ValidRow(list, index)) SetRowState(&list->rows[static_cast<size_t>(index)], state, mask);
}

static void ListAddColumn(void* handle, int32_t index, int32_t format, int32_t width, const char16_t* text) {
    ModelControl* list = AsList(handle);
    if (!list || index < 0) return;
    size_t at = static_cast<size_t>(index);
    if (at > list->columnTexts.size()) at = list->columnTexts.size();
    std::ptrdiff_t offset = static_cast<std::ptrdiff_t>(at);
    list->columnTexts.insert(list->columnTexts.begin() + offset, text);
    list->columnWidths.insert(list->columnWidths.begin() + offset, width);
    list->columnFormats.insert(list->columnFormats.begin() + offset, format);
}

static void ListColumnText(void* handle, int32_t index, const char16_t* text) {
    ModelControl* list = AsList(handle);
    if (!list || index < 0 || static_cast<size_t>(index) >= list->columnTexts.size()) return;
    list->columnTexts[static_cast<size_t>(index)] = text;
}

static int32_t ListWidth(void* handle) {
    ModelControl* list = AsList(handle);
    return list ? list->clientWidth : 0;
}

// Turning check boxes on gives every row the unticked image, as the platform does.
static void ListStyle(void* handle, uint32_t style) {
    ModelControl* list = AsList(handle);
    if (!list) return;
    bool boxesAppear = (style & kCheckBoxesStyle) && !(list->extendedStyle & kCheckBoxesStyle);
    list->extendedStyle = style;
    if (!boxesAppear) return;
    for (ModelRow& row : list->rows) SetRowState(&row, kUntickedImage, kStateImageBits);
}

const WindowOps kModelWindowOps = {
    DialogChild,       DialogGetText,      DialogSetText,  DialogGetTextA,  DialogSetTextA,
    DialogGetItemText, DialogSetItemText,  DialogSetItemTextA, DialogIsItemChecked, DialogCheckItem,
    DialogHideItem,    DialogShowItem,     DialogEnableItem, DialogSetProgress, DialogKeepAnswering,
    DialogSetTitleFont, DialogMessageBox,  NoRowCount,     NoInsertRow,
    NoFindData,        NoGetRow,           NoGetState,     NoSetState,      NoInsertColumn,
    NoSetColumnText,   NoClientWidth,      NoExtendedStyle,
};

const WindowOps kModelControlOps = {
    NoChild,        ControlGetText, ControlSetText,  ControlGetTextA, ControlSetTextA,
    NoGetItemText,  NoSetItemText,  NoSetItemTextA,  NoIsItemChecked, NoCheckItem,
    NoItem,         NoShowItem,     NoEnableItem,    NoProgress,      NoAnswering,
    NoItem,         ControlMessageBox, ListRows,      ListInsert,
    ListFind,       ListRow,        ListState,       ListSetRowState, ListAddColumn,
    ListColumnText, ListWidth,      ListStyle,
};

DialogModel::~DialogModel() {
    const Window* current = CurrentDialog();
    if (current && current->handle == this) SetCurrentDialog(nullptr);
}

std::unique_ptr<DialogModel> CreateMainDialogModel(bool withLanguageList, int32_t listClientWidth) {
    std::unique_ptr<DialogModel> model(new DialogModel());
    model->window = Window{&kModelWindowOps, model.get()};
    for (int32_t id : kMainDialogIds) {
        if (id == kIdLanguageList && !withLanguageList) continue;
        std::unique_ptr<ModelControl> control(new ModelControl());
        control->id = id;
        control->isList = id == kIdLanguageList;
        control->clientWidth = control->isList ? listClientWidth : 0;
        // The progress bar shows only while a pass runs.
        control->visible = id != kIdProgress;
        if (id == kIdBrowse) {
            control->text = u"...";
            control->textA = "...";
        }
        control->dialog = model.get();
        control->window = Window{&kModelControlOps, control.get()};
        model->controls.push_back(std::move(control));
    }
    SetCurrentDialog(&model->window);
    return model;
}
