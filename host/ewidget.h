// The host's widget toolkit, as the plug-in sees it.
//
// Ownership: a widget constructed with a parent belongs to that parent and is
// deleted by it; the plug-in never deletes a child widget itself. Top-level
// windows (no parent) are owned by whoever constructed them, usually as a
// local object of the function that runs them.
//
// Coordinates: move/resize place the outer frame relative to the parent's
// client area (the screen for a window); cmove/cresize place and size the
// client area and let the frame follow. For every class but eWindow the
// client area is the whole widget.
#pragma once
#include <vector>
#include "estring.h"
#include "geometry.h"
#include "graphics.h"
#include "host_api.h"
#include "sigc_compat.h"

// Remote-control key codes in an eRCKey. 0x21 and 0x22 (page up, page down)
// are the raw codes the news article view reads.
enum eRCKeyCode {
    rcKey0 = 0x00,  // rcKey0 + n for digit n
    rcUp = 0x10, rcDown = 0x11, rcLeft = 0x12, rcRight = 0x13,
    rcOk = 0x14, rcExit = 0x15,
    rcRed = 0x16, rcGreen = 0x17, rcYellow = 0x18, rcBlue = 0x19,
    rcPageUp = 0x21, rcPageDown = 0x22,
};

// One key record: flags 0 is a press (1 repeat, 2 release).
struct eRCKey {
    int code;
    int flags;
};

// An action of an action map; compared by address.
class HOST_API eAction {
public:
    explicit eAction(const char* identifier) : identifier(identifier) {}
    eAction(const eAction&) = delete;
    eAction& operator=(const eAction&) = delete;
    const char* getIdentifier() const { return identifier; }
private:
    const char* identifier;
};

// The cursor action map: what the arrow, OK and exit keys mean.
struct eCursorActions {
    eAction up{"up"}, down{"down"}, left{"left"}, right{"right"}, ok{"ok"}, cancel{"cancel"};
};
extern HOST_API eCursorActions* i_cursorActions;

struct eWidgetEvent {
    enum eventType {
        evtKey = 0,      // key: a raw key record
        willShow = 1,
        willHide = 2,
        gotFocus = 3,
        lostFocus = 4,
        changedText = 5,
        evtAction = 15,  // action: an action of i_cursorActions
        evtText = 20,    // text: UTF-8 characters typed into an editing field
    };
    int type;
    union {
        int parameter;
        const eRCKey* key;
        const eAction* action;
        const char* text;
    };
    explicit eWidgetEvent(int type, int parameter = 0) : type(type), parameter(parameter) {}
    eWidgetEvent(int type, const eRCKey* key) : type(type), key(key) {}
    eWidgetEvent(int type, const eAction* action) : type(type), action(action) {}
    eWidgetEvent(int type, const char* text) : type(type), text(text) {}
};

// Key routing: a key reaches only the innermost running modal window (the
// top of the exec stack). There the focused widget's eventHandler sees the
// evtKey first; if it returns 0 the window's eventHandler sees it. The
// window's base handler triggers a child button whose shortcut matches the
// key, or else translates the key into an action of i_cursorActions and
// offers it as evtAction to the focused widget, then to the window's own
// (virtual) eventHandler. The base window moves the focus on up/left and
// down/right and rejects itself on cancel.
class HOST_API eWidget : public virtual SigC::Object {
public:
    explicit eWidget(eWidget* parent = nullptr, int takeFocus = 0);
    virtual ~eWidget();  // deletes every child
    eWidget(const eWidget&) = delete;
    eWidget& operator=(const eWidget&) = delete;

    // Geometry (see the header comment).
    void move(ePoint position);
    void resize(eSize size);
    void cmove(ePoint clientPosition);
    void cresize(eSize clientSize);
    ePoint getPosition() const;         // outer frame, in the parent's client area
    eSize getSize() const;              // outer frame
    eSize getClientSize() const;        // client area
    eRect getClientRect() const;        // client area, relative to the outer frame
    ePoint getAbsolutePosition() const; // outer frame, on the screen
    ePoint getAbsoluteClientPosition() const;

    void show();
    void hide();
    bool isVisible() const;  // shown itself (not asking about its parents)
    bool isShown() const;    // shown itself and every parent is shown

    void setText(const eString& text);
    const eString& getText() const;
    void setName(const eString& name);
    const eString& getName() const;
    void setFont(const gFont& font);
    const gFont& getFont() const;
    // A key name ("0".."9", "red", "green", "yellow", "blue") that triggers
    // this widget from anywhere in its window.
    void setShortcut(const eString& keyName);
    const eString& getShortcut() const;
    void setProperty(const eString& property, const eString& value);
    eString getProperty(const eString& property) const;
    void setPixmap(gPixmapPtr pixmap);
    const gPixmapPtr& getPixmap() const;

    // Focus, within this widget's top-level window.
    void setFocus(eWidget* widget);
    eWidget* getFocus() const;  // the focused widget of this widget's window
    bool hasFocus() const;
    int takesFocus() const;

    // Modal run: exec shows nothing by itself; it runs a nested main loop
    // until close(code) and returns code. accept() is close(0), reject()
    // close(-1). Loops nest to any depth.
    int exec();
    void close(int result);
    void accept();
    void reject();
    bool isRunning() const;

    eWidget* getParent() const;
    eWidget* getTLW();  // top-level window
    const std::vector<eWidget*>& getChildren() const;

    virtual int eventHandler(const eWidgetEvent& event);  // 1 = consumed
    virtual void redrawWidget(gPainter* target, const eRect& area);
    virtual const char* className() const { return "eWidget"; }

    struct Private;
    Private& impl() const { return *d; }
private:
    Private* d;  // owned; freed by the destructor
};

class HOST_API eWindow : public eWidget {
public:
    explicit eWindow(int takeFocus = 0);
    ~eWindow() override;
    int eventHandler(const eWidgetEvent& event) override;
    void redrawWidget(gPainter* target, const eRect& area) override;
    const char* className() const override { return "eWindow"; }
};

// A widget with a named decoration (border style) from the skin.
class HOST_API eDecoWidget : public eWidget {
public:
    eDecoWidget(eWidget* parent, int takeFocus, const char* decoration);
    void loadDeco();
    const eString& getDecoration() const;
    bool decorationLoaded() const;
    const char* className() const override { return "eDecoWidget"; }
private:
    eString decoration;
    bool loaded = false;
};

class HOST_API eLabel : public eDecoWidget {
public:
    enum { flagWrap = 1 };  // multi-line, word-wrapped text
    eLabel(eWidget* parent, int flags = 0, int takeFocus = 0, const char* decoration = "eLabel");
    void setFlags(int flags);  // adds flags
    int getFlags() const;
    // Size of the laid-out text at the label's current width (wrapped when
    // flagWrap is set).
    eSize getExtend();
    void setBlitFlags(int flags);
    int getBlitFlags() const;
    void setPixmapPosition(ePoint position);
    ePoint getPixmapPosition() const;
    void setShortcutPixmap(const eString& keyName);
    const eString& getShortcutPixmap() const;
    const char* className() const override { return "eLabel"; }
private:
    int flags;
    int blitFlags = 0;
    ePoint pixmapPosition;
    eString shortcutPixmap;
};

class HOST_API eButton : public eLabel {
public:
    eButton(eWidget* parent, eLabel* description = nullptr, int takeFocus = 1,
            const char* decoration = "eButton");
    int eventHandler(const eWidgetEvent& event) override;  // ok -> selected
    const char* className() const override { return "eButton"; }
    SigC::Signal0<void> selected;
};

// A bar that shows a filled part: start and size in per cent.
class HOST_API eProgress : public eDecoWidget {
public:
    explicit eProgress(eWidget* parent, int takeFocus = 0);
    void setStart(int percent);
    void setPerc(int percent);
    void setParams(int start, int size);
    int getStart() const;
    int getPerc() const;
    int direction = 0;  // 0 horizontal, 1 vertical
    const char* className() const override { return "eProgress"; }
private:
    int start = 0, perc = 0;
};

// A one-line text field. OK enters and leaves edit mode; while editing,
// typed text (evtText) is inserted, left/right move the cursor and the
// field never holds more than its maximum number of characters.
class HOST_API eTextInputField : public eButton {
public:
    eTextInputField(eWidget* parent, eLabel* description = nullptr, eWidget* help = nullptr,
                    const char* decoration = "eNumber");
    void setMaxChars(int characters);  // UTF-8 characters
    int getMaxChars() const;
    bool isEditing() const;
    int eventHandler(const eWidgetEvent& event) override;
    const char* className() const override { return "eTextInputField"; }
private:
    int maxChars = 0;  // 0: unlimited
    bool editing = false;
    int cursor = 0;    // byte offset while editing
};

class eListBoxBase;

// One entry of a list box, owned by the list.
class HOST_API eListBoxEntry {
public:
    eListBoxEntry(eListBoxBase* list, const eString& helpText);
    virtual ~eListBoxEntry() = default;
    virtual const eString& getText() const = 0;
    const eString& getHelpText() const { return helpText; }
private:
    eString helpText;
};

class HOST_API eListBoxEntryText : public eListBoxEntry {
public:
    // Appends itself to `list`, which owns it from then on.
    eListBoxEntryText(eListBoxBase* list, const eString& text, int key = 0, int align = 0,
                      const eString& helpText = eString(), int keyType = 0);
    static int getEntryHeight();
    const eString& getText() const override { return text; }
    int getKey() const { return key; }
    int getAlign() const { return align; }
private:
    eString text;
    int key, align;
};

// Entries, one current; up/down move it, left/right move by a page, OK
// emits selected(current), cancel emits selected(nullptr).
class HOST_API eListBoxBase : public eDecoWidget {
public:
    eListBoxBase(eWidget* parent, const eWidget* description, int takeFocus, int entryHeight,
                 const char* decoration);
    ~eListBoxBase() override;  // deletes the entries
    void setColumns(int columns);
    int getColumns() const;
    void beginAtomic();  // batch updates: no redraw until endAtomic
    void endAtomic();
    void clearList();
    void append(eListBoxEntry* entry);  // takes ownership; used by entry constructors
    int getCount() const;
    const std::vector<eListBoxEntry*>& getEntries() const;
    eListBoxEntry* getCurrentEntry() const;  // nullptr when empty
    int getCurrentIndex() const;             // -1 when empty
    void setCurrentIndex(int index);
    int getEntryHeightPx() const;
    int getTopIndex() const;  // first visible entry
    int eventHandler(const eWidgetEvent& event) override;
    const char* className() const override { return "eListBox"; }
protected:
    virtual void sendSelected(eListBoxEntry* entry) = 0;
private:
    std::vector<eListBoxEntry*> entries;
    int current = -1, top = 0, columns = 1, entryHeight, atomic = 0;
};

template <class T>
class eListBox : public eListBoxBase {
public:
    eListBox(eWidget* parent, const eWidget* description = nullptr, int takeFocus = 1,
             int entryHeight = T::getEntryHeight(), const char* decoration = "eListBox")
        : eListBoxBase(parent, description, takeFocus, entryHeight, decoration) {}
    T* getCurrent() const { return static_cast<T*>(getCurrentEntry()); }
    void SendSelected(T* entry) { selected(entry); }
    SigC::Signal1<void, T*> selected;
protected:
    void sendSelected(eListBoxEntry* entry) override { selected(static_cast<T*>(entry)); }
};

// A button that shows its current entry; OK opens its list as a popup of
// `openEntries` rows, where OK picks and cancel leaves.
class HOST_API eComboBox : public eButton {
public:
    eComboBox(eWidget* parent, int openEntries = 5, eLabel* description = nullptr, int takeFocus = 1,
              const char* decoration = "eComboBox");
    ~eComboBox() override;
    eListBox<eListBoxEntryText>* getList();  // add entries here; owned by the combo box
    eListBoxEntryText* getCurrent() const;
    void setCurrent(int position, bool sendSelected = false);
    int eventHandler(const eWidgetEvent& event) override;
    const char* className() const override { return "eComboBox"; }
    SigC::Signal1<void, eListBoxEntryText*> selected_id;
private:
    struct Popup;
    Popup* popup;  // owned
    int openEntries;
};

// A modal message box. Construct, show, exec, hide, destroy.
class HOST_API eMessageBox : public eWindow {
public:
    enum {
        btOK = 1, btCancel = 2, btYes = 4, btNo = 8, btMax = 15,
        iconInfo = 0x10, iconWarning = 0x20, iconQuestion = 0x40, iconError = 0x80,
    };
    // exec() returns the chosen button, or -1 when the box is left with exit.
    eMessageBox(eString text, eString caption, int flags = btOK, int defaultButton = btOK,
                int timeout = 0);
    ~eMessageBox() override;
    int getFlags() const;
    const eString& getMessage() const;
    const char* className() const override { return "eMessageBox"; }
private:
    eString message;
    int flags;
};
