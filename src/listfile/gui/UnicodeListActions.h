#pragma once

#include "listfile/core/UnicodeListSetting.h"

#include <QObject>

#include <functional>

class QAction;

namespace quorvex {

class Editor;

// The two commands of Unicode lists: "Convert to Unicode List" and the
// checkable setting "New Lists Hold Unicode Text" (unicode.mtr).
class UnicodeListActions : public QObject {
    Q_OBJECT
public:
    UnicodeListActions(Editor &editor, QObject *parent = nullptr);

    QAction *convertAction() const { return m_ConvertToUnicodeBtn; }
    QAction *newListsAction() const { return m_UnicodeNewListsBtn; }
    bool newListsUnicode() const { return m_setting.newListsUnicode; }

    // Reads unicode.mtr from the program folder and checks the item to match.
    void readSetting();
    // Called with the setting whenever it is read or changed.
    std::function<void(bool unicode)> settingChanged;

    void ConvertToUnicodeBtnClick();
    void UnicodeNewListsBtnClick(bool checked);

private:
    Editor &m_editor;
    UnicodeListSetting m_setting;
    QAction *m_ConvertToUnicodeBtn = nullptr;
    QAction *m_UnicodeNewListsBtn = nullptr;
};

} // namespace quorvex
