#pragma once

#include "app/send/SendLineEditor.h"
#include "core/send/CheckCode.h"

#include <cstdint>

// The send editor: the line editor plus the check codes and the MODBUS example line.
class CSendEditor : public CSendLineEditor
{
    Q_OBJECT
public:
    explicit CSendEditor(QWidget* parent = nullptr);

    // Appends the check code of the caret line (or of the selection) to the caret line,
    // or rewrites the line as a MODBUS query; one undo step. Returns the code, 0xFFFF
    // when the text was refused (after telling the user why) or the editor is read-only.
    std::uint16_t AppendCheckCode(CheckKind kind);

protected:
    bool HandleKey(QKeyEvent* e) override;
    bool IsOwnKey(const QKeyEvent* e) const override;
};
