#pragma once

#include <string>

namespace quorvex {

enum class CursorShape { Normal, Busy, AppStarting };

// What the core asks of the window around the grid. Every call has a harmless
// default so that commands run without one.
class EditorView {
public:
    virtual ~EditorView() = default;
    // Closes the in-place cell editor; its text already is the cell's text.
    virtual void endCellEditing() {}
    // The document's cells, counts or widths changed.
    virtual void documentChanged() {}
    virtual void statusBarChanged() {}
    virtual void showCellPreview(int /*col*/, int /*row*/) {}
    virtual void menuStateChanged() {}
    virtual void setCursorShape(CursorShape /*shape*/) {}
    virtual void setWindowTitle(const char * /*utf8*/) {}
    // Disables (true) or enables again the menus, the grid and the tool-bar
    // boxes while a list file is read or written.
    virtual void setFileOperationLock(bool /*locked*/) {}
    // The information text after a save, shown in place of the cell preview.
    virtual void showSaveInformation(const std::string & /*utf8*/) {}
    // Another list took the document's place: views of the old one (a filter) end.
    virtual void listReplaced() {}
};

} // namespace quorvex
